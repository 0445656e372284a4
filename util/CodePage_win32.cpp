#include <windows.h>

#include <vector>

#include "util/Testo.h"

namespace quandora {

namespace {

// The ANSI code page of the running system, through Windows' own tables.
class AnsiCodePage final : public CodePage {
  public:
    std::string ToUtf8(std::string_view ansi) const override {
        if (ansi.empty()) return {};
        const int n =
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0) {
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                n);
        }
        std::string out;
        out.reserve(wide.size());
        for (size_t i = 0; i < wide.size(); ++i) {
            char32_t cp = wide[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                wide[i + 1] < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
                ++i;
            }
            AppendUtf8(out, cp);
        }
        return out;
    }

    std::string FromUtf8(std::string_view utf8) const override {
        std::wstring wide;
        wide.reserve(utf8.size());
        for (size_t pos = 0; pos < utf8.size();) {
            char32_t cp = NextUtf8(utf8, pos);
            if (cp >= 0x10000) {
                cp -= 0x10000;
                wide += static_cast<wchar_t>(0xD800 + (cp >> 10));
                wide += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            } else {
                wide += static_cast<wchar_t>(cp);
            }
        }
        if (wide.empty()) return {};
        const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, "?", nullptr);
        std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0) {
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                n, "?", nullptr);
        }
        return out;
    }
};

}  // namespace

const CodePage& SystemCodePage() {
    static const AnsiCodePage instance;
    return instance;
}

}  // namespace quandora
