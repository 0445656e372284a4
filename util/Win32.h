#pragma once
// Owners of the kernel's resources: handles, file searches, processes,
// registry keys, loaded libraries and LZ files. Each holds one resource and
// gives it back to Windows once, on every way out of its scope; get() lends
// the raw handle to the API, release() hands it over to whoever takes it.
//
// The foundation's other owners: GDI objects and device contexts in
// util/Gdi_win32.h; COM pointers, BSTRs, VARIANTs, COM's initialisation
// and late-bound calls in util/Com_win32.h; windows, menus, image lists and
// the clipboard in util/Finestra_win32.h; the UTF-16 form of texts in
// util/Testo_win32.h.

#include <windows.h>
// After windows.h, which it needs.
#include <lzexpand.h>

#include <memory>
#include <type_traits>

namespace quandora {

struct ChiudiHandle {
    void operator()(HANDLE h) const noexcept {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
// A kernel handle (file, process, thread, event...). Windows says "none"
// with nullptr or INVALID_HANDLE_VALUE, by function: test with Valido().
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, ChiudiHandle>;

inline bool Valido(const Handle& h) {
    return h.get() != nullptr && h.get() != INVALID_HANDLE_VALUE;
}

struct ChiudiRicerca {
    void operator()(HANDLE h) const noexcept {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) FindClose(h);
    }
};
// A directory search of FindFirstFile, ended with FindClose.
using RicercaFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, ChiudiRicerca>;

// The first entry matching nome; empty when there is none.
inline RicercaFile CercaFile(const char* nome, WIN32_FIND_DATAA& dati) {
    const HANDLE h = FindFirstFileA(nome, &dati);
    return RicercaFile(h != INVALID_HANDLE_VALUE ? h : nullptr);
}

// A process and its first thread, as CreateProcess returns them: both
// handles are closed with the object (the process itself goes on).
class Processo {
  public:
    Processo() = default;
    explicit Processo(const PROCESS_INFORMATION& pi)
        : processo_(pi.hProcess), thread_(pi.hThread), id_(pi.dwProcessId) {}

    HANDLE get() const { return processo_.get(); }
    DWORD Id() const { return id_; }
    explicit operator bool() const { return Valido(processo_); }
    // For a caller that waits on the process only.
    void ChiudiThread() { thread_.reset(); }

  private:
    Handle processo_;
    Handle thread_;
    DWORD id_ = 0;
};

struct ChiudiChiave {
    void operator()(HKEY k) const noexcept {
        if (k != nullptr) RegCloseKey(k);
    }
};
// An open registry key.
using ChiaveRegistro = std::unique_ptr<std::remove_pointer_t<HKEY>, ChiudiChiave>;

struct LiberaLibreria {
    void operator()(HMODULE m) const noexcept {
        if (m != nullptr) FreeLibrary(m);
    }
};
// A library loaded by LoadLibrary.
using Libreria = std::unique_ptr<std::remove_pointer_t<HMODULE>, LiberaLibreria>;

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

}  // namespace quandora
