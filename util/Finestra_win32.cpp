#include "util/Finestra_win32.h"

#include <utility>

#include "util/Errore.h"

namespace quandora {

HWND FinestraBase::CreaFinestra(DWORD stileEsteso, const char* classe, const char* titolo,
                                DWORD stile, int x, int y, int larghezza, int altezza,
                                HWND genitore, HMENU menu) {
    // The procedure reads the object back from this very pointer type.
    return CreateWindowExA(stileEsteso, classe, titolo, stile, x, y, larghezza, altezza, genitore,
                           menu, GetModuleHandleA(nullptr), static_cast<FinestraBase*>(this));
}

void FinestraBase::Distruggi() noexcept {
    const HWND finestra = std::exchange(hwnd_, nullptr);
    if (finestra == nullptr) return;
    SetWindowLongPtrA(finestra, GWLP_USERDATA, 0);
    DestroyWindow(finestra);
}

LRESULT CALLBACK FinestraBase::Procedura(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        auto* oggetto = static_cast<FinestraBase*>(cs->lpCreateParams);
        oggetto->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(oggetto));
    }
    auto* oggetto = reinterpret_cast<FinestraBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (oggetto == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The window's last message: the object lets go of it.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        oggetto->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return SenzaEccezioni([&] { return oggetto->Messaggio(msg, wp, lp); }, LRESULT{0});
}

}  // namespace quandora
