#pragma once
// Owners of GDI's resources: pens, brushes, fonts and bitmaps, device
// contexts (a window's, one the program made, a paint's), and the
// selection of an object into a device context. Each gives its resource
// back once, on every way out of its scope.
//
// Order matters where they meet: an object must not be deleted while a
// device context holds it selected, so a selection guard is declared after
// the owner of its object (and goes first), and a device context that
// holds a bitmap selected is declared after the bitmap.

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace quandora {

struct EliminaOggettoGdi {
    void operator()(HGDIOBJ o) const noexcept {
        if (o != nullptr) DeleteObject(o);
    }
};
// A GDI object of the kind of H, deleted with DeleteObject.
template <class H>
using OggettoGdi = std::unique_ptr<std::remove_pointer_t<H>, EliminaOggettoGdi>;
using Penna = OggettoGdi<HPEN>;
using Pennello = OggettoGdi<HBRUSH>;
using Carattere = OggettoGdi<HFONT>;
using Bitmap = OggettoGdi<HBITMAP>;

struct RilasciaDC {
    HWND finestra;
    void operator()(HDC dc) const noexcept {
        if (dc != nullptr) ReleaseDC(finestra, dc);
    }
};
// A window's device context from GetDC (the screen's for a null window),
// released to its window.
using DCFinestra = std::unique_ptr<std::remove_pointer_t<HDC>, RilasciaDC>;

inline DCFinestra PrendiDC(HWND finestra) {
    return DCFinestra(GetDC(finestra), RilasciaDC{finestra});
}

struct EliminaDC {
    void operator()(HDC dc) const noexcept {
        if (dc != nullptr) DeleteDC(dc);
    }
};
// A device context the program made (CreateCompatibleDC, a printer's from
// CreateDC), deleted with DeleteDC.
using DCCreato = std::unique_ptr<std::remove_pointer_t<HDC>, EliminaDC>;

// A memory device context compatible with dc (the screen's for nullptr).
inline DCCreato CreaDCMemoria(HDC dc) {
    return DCCreato(CreateCompatibleDC(dc));
}

// The device context of a window's WM_PAINT, from BeginPaint to EndPaint.
class DCPittura {
  public:
    explicit DCPittura(HWND finestra) : finestra_(finestra), dc_(BeginPaint(finestra, &ps_)) {}
    ~DCPittura() { EndPaint(finestra_, &ps_); }
    DCPittura(const DCPittura&) = delete;
    DCPittura& operator=(const DCPittura&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND finestra_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a device context: the object it replaced is put
// back when the guard goes. Seleziona puts further objects of the same kind
// in its place; the one put back stays the first one's predecessor, so
// that the device context ends as the guard found it.
class OggettoSelezionato {
  public:
    OggettoSelezionato() = default;
    OggettoSelezionato(HDC dc, HGDIOBJ oggetto) { Seleziona(dc, oggetto); }
    ~OggettoSelezionato() { Ripristina(); }
    OggettoSelezionato(OggettoSelezionato&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)), precedente_(std::exchange(o.precedente_, nullptr)) {}
    OggettoSelezionato& operator=(OggettoSelezionato&& o) noexcept {
        if (this != &o) {
            Ripristina();
            dc_ = std::exchange(o.dc_, nullptr);
            precedente_ = std::exchange(o.precedente_, nullptr);
        }
        return *this;
    }
    OggettoSelezionato(const OggettoSelezionato&) = delete;
    OggettoSelezionato& operator=(const OggettoSelezionato&) = delete;

    // Selects oggetto into dc (the same device context at every call).
    void Seleziona(HDC dc, HGDIOBJ oggetto) {
        HGDIOBJ prima = SelectObject(dc, oggetto);
        if (precedente_ == nullptr) {
            dc_ = dc;
            precedente_ = prima;
        }
    }
    // Puts the first object's predecessor back now.
    void Ripristina() noexcept {
        if (precedente_ != nullptr) SelectObject(dc_, precedente_);
        dc_ = nullptr;
        precedente_ = nullptr;
    }

  private:
    HDC dc_ = nullptr;
    HGDIOBJ precedente_ = nullptr;
};

}  // namespace quandora
