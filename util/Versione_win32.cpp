// Reading the file version of a file's version resource (version.dll).

#include <windows.h>

#include <cstring>
#include <vector>

#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

std::string uxUtilita::GetVersione(const std::string& file) const {
    const std::string nome = ToAnsi(file);
    DWORD handle = 0;
    const DWORD dimensione = GetFileVersionInfoSizeA(nome.c_str(), &handle);
    if (dimensione == 0) return "0.0.0.0";

    std::vector<unsigned char> buffer(dimensione);
    VS_FIXEDFILEINFO info;
    std::memset(&info, 0, sizeof info);
    if (GetFileVersionInfoA(nome.c_str(), 0, dimensione, buffer.data())) {
        void* blocco = nullptr;
        UINT lunghezza = 0;
        char radice[] = "\\";
        if (VerQueryValueA(buffer.data(), radice, &blocco, &lunghezza) && blocco != nullptr) {
            std::memcpy(&info, blocco, lunghezza < sizeof info ? lunghezza : sizeof info);
        }
    }
    return std::to_string(ParteAlta(info.dwFileVersionMS)) + "." +
           std::to_string(ParteBassa(info.dwFileVersionMS)) + "." +
           std::to_string(ParteAlta(info.dwFileVersionLS)) + "." +
           std::to_string(ParteBassa(info.dwFileVersionLS));
}

}  // namespace quandora
