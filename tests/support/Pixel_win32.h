#pragma once
// Pixels for the tests of what the program shows and writes: a window on
// the screen, a bitmap, a BMP file, in one form (0x00RRGGBB, rows from the
// top) so that they compare.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "util/Gdi_win32.h"

namespace quandora::test {

struct Pixel {
    int Larghezza = 0;
    int Altezza = 0;
    std::vector<uint32_t> Dati;
    bool operator==(const Pixel&) const = default;
};

inline Pixel DaBitmap(HDC dc, HBITMAP bitmap, int larghezza, int altezza) {
    Pixel p{larghezza, altezza, std::vector<uint32_t>(size_t(larghezza) * size_t(altezza))};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = larghezza;
    bi.bmiHeader.biHeight = -altezza;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc, bitmap, 0, altezza, p.Dati.data(), &bi, DIB_RGB_COLORS) != altezza)
        p.Dati.clear();
    for (auto& v : p.Dati)
        v &= 0xFFFFFF;
    return p;
}

// A window's client area as a person sees it on the screen.
inline Pixel Schermo(HWND finestra) {
    RECT r;
    GetClientRect(finestra, &r);
    MapWindowPoints(finestra, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const DCFinestra schermo = PrendiDC(nullptr);
    const Bitmap bitmap(CreateCompatibleBitmap(schermo.get(), w, h));
    const DCCreato memoria = CreaDCMemoria(schermo.get());
    OggettoSelezionato selezionata(memoria.get(), bitmap.get());
    BitBlt(memoria.get(), 0, 0, w, h, schermo.get(), r.left, r.top, SRCCOPY);
    selezionata.Ripristina();
    return DaBitmap(memoria.get(), bitmap.get(), w, h);
}

// What the program writes: a 24-bit BMP file, rows from the bottom, sizes
// in its header that agree with its length; its pixels, or none when the
// bytes are not such a file.
inline Pixel DaFileBmp(const std::string& b) {
    const auto u32 = [&b](size_t o) {
        uint32_t v = 0;
        std::memcpy(&v, b.data() + o, 4);
        return v;
    };
    if (b.size() < 54 || b.compare(0, 2, "BM") != 0 || u32(2) != b.size() || u32(10) != 54 ||
        u32(14) != 40 || u32(26) != (1 | 24 << 16) || u32(30) != BI_RGB)
        return {};
    Pixel p{static_cast<int32_t>(u32(18)), static_cast<int32_t>(u32(22)), {}};
    const size_t riga = (size_t(p.Larghezza) * 3 + 3) & ~size_t{3};
    if (p.Larghezza <= 0 || p.Altezza <= 0 || b.size() != 54 + riga * size_t(p.Altezza)) return {};
    for (int y = p.Altezza - 1; y >= 0; --y)
        for (int x = 0; x < p.Larghezza; ++x) {
            const auto* q = reinterpret_cast<const unsigned char*>(b.data()) + 54 +
                            size_t(y) * riga + size_t(x) * 3;
            p.Dati.push_back(q[0] | (q[1] << 8) | (q[2] << 16));
        }
    return p;
}

// The chart's blue series.
inline size_t Blu(const Pixel& p) {
    size_t n = 0;
    for (uint32_t c : p.Dati)
        n += (c & 0xFF) > 150 && ((c >> 8) & 0xFF) < 90 && ((c >> 16) & 0xFF) < 90;
    return n;
}

}  // namespace quandora::test
