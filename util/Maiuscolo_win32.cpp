#include <windows.h>

#include <vector>

#include "util/Testo.h"

namespace quandora {

// Upper case through Windows' own tables, on the UTF-16 form of the text.
std::string Maiuscolo(const std::string& testo) {
    if (testo.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
    if (n <= 0) return testo;
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), wide.data(), n);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(n));
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(m > 0 ? m : 0), '\0');
    if (m > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

}  // namespace quandora
