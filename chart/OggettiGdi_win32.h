#pragma once
// Owners for the window's GDI and user objects (fonts, image lists, menus),
// so that no path leaks one; the general ones are in util/Risorse_win32.h.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <type_traits>

#include "util/Risorse_win32.h"

namespace quandora {

using Carattere = std::unique_ptr<std::remove_pointer_t<HFONT>, EliminaOggettoGdi>;

struct DistruggiListaImmagini {
    void operator()(HIMAGELIST l) const noexcept {
        if (l != nullptr) ImageList_Destroy(l);
    }
};
using ListaImmagini = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, DistruggiListaImmagini>;

struct DistruggiMenu {
    void operator()(HMENU m) const noexcept {
        if (m != nullptr) DestroyMenu(m);
    }
};
// A menu and its submenus.
using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, DistruggiMenu>;

}  // namespace quandora
