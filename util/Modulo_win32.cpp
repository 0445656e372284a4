#include <windows.h>

#include <vector>

#include "util/Modulo.h"
#include "util/Testo.h"

namespace quandora {

std::string PercorsoModulo() {
    HMODULE modulo = nullptr;
    // The module that contains this function: the library when linked into
    // Varniko.dll, the program otherwise.
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&PercorsoModulo), &modulo);
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameA(modulo, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return FromAnsi(std::string_view(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

std::string CartellaModulo() {
    const std::string percorso = PercorsoModulo();
    const auto sep = percorso.find_last_of("\\/");
    return sep == std::string::npos ? std::string() : percorso.substr(0, sep + 1);
}

}  // namespace quandora
