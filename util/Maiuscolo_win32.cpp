#include <windows.h>

#include "util/Testo.h"
#include "util/Testo_win32.h"

namespace quandora {

// Upper case through Windows' own tables, on the UTF-16 form of the text.
std::string Maiuscolo(const std::string& testo) {
    if (testo.empty()) return {};
    std::wstring wide = Utf16DaUtf8(testo);
    if (wide.empty()) return testo;
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Utf8DaUtf16(wide);
}

}  // namespace quandora
