#pragma once
// Pixels for the tests of what the program shows and writes: a rectangle
// of the screen as a person sees it, a bitmap's and a BMP file's pixels, in
// one form (0x00RRGGBB, rows from the top) so that they can be compared.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/Gdi_win32.h"

namespace quandora::test {

// Pixels as 0x00RRGGBB, rows from the top.
struct Pixel {
    int Larghezza = 0;
    int Altezza = 0;
    std::vector<uint32_t> Dati;
    uint32_t operator()(int x, int y) const { return Dati[size_t(y) * size_t(Larghezza) + x]; }
};

// What a bitmap holds, as 32-bit pixels from the top.
inline Pixel DaBitmap(HDC dc, HBITMAP bitmap, int larghezza, int altezza) {
    Pixel p;
    p.Larghezza = larghezza;
    p.Altezza = altezza;
    p.Dati.resize(size_t(larghezza) * size_t(altezza));
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

// A rectangle of the screen, as a person sees it.
inline Pixel Schermo(const RECT& r) {
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

// A window's client area on the screen.
inline RECT AreaCliente(HWND finestra) {
    RECT r;
    GetClientRect(finestra, &r);
    MapWindowPoints(finestra, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline uint32_t LeggiU32(const std::string& b, size_t o) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + o, 4);
    return v;
}
inline uint16_t LeggiU16(const std::string& b, size_t o) {
    uint16_t v = 0;
    std::memcpy(&v, b.data() + o, 2);
    return v;
}

// A BMP file's pixels (24 or 32 bits, rows either way up); empty when the
// bytes are not such a file.
inline Pixel DaFileBmp(const std::string& b) {
    Pixel p;
    if (b.size() < 54 || b.compare(0, 2, "BM") != 0 || LeggiU32(b, 2) != b.size()) return p;
    const int32_t larghezza = static_cast<int32_t>(LeggiU32(b, 18));
    const int32_t altezzaFile = static_cast<int32_t>(LeggiU32(b, 22));
    const int bit = LeggiU16(b, 28);
    const uint32_t inizio = LeggiU32(b, 10);
    if (larghezza <= 0 || altezzaFile == 0 || (bit != 24 && bit != 32) || LeggiU32(b, 30) != BI_RGB)
        return p;
    const int altezza = std::abs(altezzaFile);
    const size_t riga = ((size_t(larghezza) * size_t(bit) + 31) / 32) * 4;
    if (inizio > b.size() || b.size() - inizio < riga * size_t(altezza)) return p;
    p.Larghezza = larghezza;
    p.Altezza = altezza;
    p.Dati.resize(size_t(larghezza) * size_t(altezza));
    for (int y = 0; y < altezza; ++y) {
        const int sorgente = altezzaFile > 0 ? altezza - 1 - y : y;
        const auto* r =
            reinterpret_cast<const unsigned char*>(b.data()) + inizio + size_t(sorgente) * riga;
        for (int x = 0; x < larghezza; ++x) {
            const unsigned char* q = r + size_t(x) * size_t(bit / 8);
            p.Dati[size_t(y) * size_t(larghezza) + x] = q[0] | (q[1] << 8) | (q[2] << 16);
        }
    }
    return p;
}

// How many pixels differ; every pixel when the sizes differ.
inline size_t Differenze(const Pixel& a, const Pixel& b) {
    if (a.Larghezza != b.Larghezza || a.Altezza != b.Altezza)
        return std::max(a.Dati.size(), b.Dati.size()) + 1;
    size_t n = 0;
    for (size_t i = 0; i < a.Dati.size(); ++i)
        n += a.Dati[i] != b.Dati[i];
    return n;
}

// The chart's blue series, and its black guides and labels.
inline size_t Blu(const Pixel& p) {
    size_t n = 0;
    for (uint32_t c : p.Dati)
        n += (c & 0xFF) > 150 && ((c >> 8) & 0xFF) < 90 && ((c >> 16) & 0xFF) < 90;
    return n;
}
inline size_t Neri(const Pixel& p) {
    size_t n = 0;
    for (uint32_t c : p.Dati)
        n += c == 0;
    return n;
}

// A GDI colour (0x00BBGGRR) in the form of these pixels.
inline uint32_t DaColorref(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

}  // namespace quandora::test
