#include "util/Testo.h"

namespace quandora {

// Native builds upper-case the letters Windows-1252 can hold, as a Western
// European Windows does.
std::string Maiuscolo(const std::string& testo) {
    std::string out;
    out.reserve(testo.size());
    for (size_t pos = 0; pos < testo.size();) {
        char32_t c = NextUtf8(testo, pos);
        if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c -= 0x20;
        } else if (c == 0xFF) {
            c = 0x178;
        } else if (c == 0x153 || c == 0x161 || c == 0x17E) {
            c -= 1;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace quandora
