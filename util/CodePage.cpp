#include "util/Testo.h"

#include <array>

namespace quandora {

std::string TogliSpazi(std::string_view s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t NextUtf8(std::string_view s, size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + len > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are malformed.
    static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += len;
    return cp;
}

namespace {

// Bytes 0x80 to 0x9F of Windows-1252; 0 marks the five unassigned ones,
// which map to the C1 controls of the same value as Windows does.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

class Cp1252 final : public CodePage {
  public:
    std::string ToUtf8(std::string_view ansi) const override {
        std::string out;
        out.reserve(ansi.size());
        for (char c : ansi) {
            const auto b = static_cast<unsigned char>(c);
            char32_t cp = b;
            if (b >= 0x80 && b < 0xA0 && kHigh1252[b - 0x80] != 0) cp = kHigh1252[b - 0x80];
            AppendUtf8(out, cp);
        }
        return out;
    }

    std::string FromUtf8(std::string_view utf8) const override {
        std::string out;
        out.reserve(utf8.size());
        for (size_t pos = 0; pos < utf8.size();) {
            const char32_t cp = NextUtf8(utf8, pos);
            out += static_cast<char>(ByteOf(cp));
        }
        return out;
    }

  private:
    static unsigned char ByteOf(char32_t cp) {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
        for (size_t i = 0; i < kHigh1252.size(); ++i) {
            if (kHigh1252[i] == cp) return static_cast<unsigned char>(0x80 + i);
        }
        if (cp >= 0x80 && cp < 0xA0 && kHigh1252[cp - 0x80] == 0) {
            return static_cast<unsigned char>(cp);
        }
        return '?';
    }
};

}  // namespace

const CodePage& Windows1252() {
    static const Cp1252 instance;
    return instance;
}

}  // namespace quandora
