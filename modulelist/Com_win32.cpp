#include "modulelist/Com_win32.h"

#include <vector>

namespace quandora {

Bstr::Bstr(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (b_ != nullptr && n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), b_, n);
    }
}

std::string Utf8DaBstr(BSTR b) {
    const int len = static_cast<int>(SysStringLen(b));
    if (len == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, b, len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, b, len, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace quandora
