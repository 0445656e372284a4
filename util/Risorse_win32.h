#pragma once
// Owners for Windows handles, so that no error path leaks one.

#include <windows.h>

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

}  // namespace quandora
