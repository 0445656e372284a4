#include "util/Testo_win32.h"

#include <windows.h>

namespace quandora {

std::wstring Utf16DaUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int lunghezza = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), lunghezza, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), lunghezza, w.data(), n);
    return w;
}

std::string Utf8DaUtf16(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int lunghezza = static_cast<int>(utf16.size());
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), lunghezza, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), lunghezza, s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace quandora
