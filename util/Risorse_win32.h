#pragma once
// Owners for Windows handles, so that no error path leaks one.

#include <windows.h>
// After windows.h, which they need.
#include <lzexpand.h>
#include <oleauto.h>

#include <memory>
#include <type_traits>

namespace quandora {

struct ChiudiHandle {
    void operator()(HANDLE h) const noexcept {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
// A kernel handle (file, process, event...). Holds INVALID_HANDLE_VALUE or
// nullptr when empty; test with Valido().
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, ChiudiHandle>;

inline bool Valido(const Handle& h) {
    return h.get() != nullptr && h.get() != INVALID_HANDLE_VALUE;
}

struct ChiudiChiave {
    void operator()(HKEY k) const noexcept {
        if (k != nullptr) RegCloseKey(k);
    }
};
using ChiaveRegistro = std::unique_ptr<std::remove_pointer_t<HKEY>, ChiudiChiave>;

struct LiberaLibreria {
    void operator()(HMODULE m) const noexcept {
        if (m != nullptr) FreeLibrary(m);
    }
};
using Libreria = std::unique_ptr<std::remove_pointer_t<HMODULE>, LiberaLibreria>;

struct RilasciaDC {
    HWND finestra;
    void operator()(HDC dc) const noexcept {
        if (dc != nullptr) ReleaseDC(finestra, dc);
    }
};
// A window's device context from GetDC, released to its window.
using DCFinestra = std::unique_ptr<std::remove_pointer_t<HDC>, RilasciaDC>;

inline DCFinestra PrendiDC(HWND finestra) {
    return DCFinestra(GetDC(finestra), RilasciaDC{finestra});
}

struct EliminaOggettoGdi {
    void operator()(HGDIOBJ o) const noexcept {
        if (o != nullptr) DeleteObject(o);
    }
};
using Pennello = std::unique_ptr<std::remove_pointer_t<HBRUSH>, EliminaOggettoGdi>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, EliminaOggettoGdi>;

// A file handle of the LZ functions (a positive number when open).
class FileLz {
  public:
    explicit FileLz(INT h) : h_(h) {}
    ~FileLz() {
        if (h_ > 0) LZClose(h_);
    }
    FileLz(const FileLz&) = delete;
    FileLz& operator=(const FileLz&) = delete;
    INT get() const { return h_; }
    bool Aperto() const { return h_ > 0; }

  private:
    INT h_;
};

// A COM interface pointer, released once.
template <typename T>
class PuntatoreCom {
  public:
    PuntatoreCom() = default;
    ~PuntatoreCom() { Reset(); }
    PuntatoreCom(const PuntatoreCom&) = delete;
    PuntatoreCom& operator=(const PuntatoreCom&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For functions that return a new reference through T**.
    T** Ricevi() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

  private:
    T* p_ = nullptr;
};

// A VARIANT cleared once.
class Variante {
  public:
    Variante() { VariantInit(&v_); }
    ~Variante() { VariantClear(&v_); }
    Variante(const Variante&) = delete;
    Variante& operator=(const Variante&) = delete;
    VARIANT* operator&() { return &v_; }
    VARIANT& get() { return v_; }

  private:
    VARIANT v_;
};

// COM initialised on this thread for the lifetime of the object, when it
// was not already (in a compatible way).
class ComInizializzato {
  public:
    ComInizializzato() : esito_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComInizializzato() {
        if (SUCCEEDED(esito_)) CoUninitialize();
    }
    ComInizializzato(const ComInizializzato&) = delete;
    ComInizializzato& operator=(const ComInizializzato&) = delete;
    // False only when COM cannot be used on this thread at all.
    bool Usabile() const { return SUCCEEDED(esito_) || esito_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT esito_;
};

}  // namespace quandora
