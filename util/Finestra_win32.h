#pragma once
// Windows as objects, and the owners of the user interface's resources:
// menus, image lists and the clipboard.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace quandora {

// A window whose messages go to a member function. A derived class registers
// its window class with FinestraBase::Procedura and creates its window with
// CreaFinestra; from WM_NCCREATE on, the procedure finds the object in the
// window's GWLP_USERDATA and hands it every message (Messaggio), until
// WM_NCDESTROY, after which the object holds no window. Messages before
// WM_NCCREATE, or after the object has let go of its window, go to
// DefWindowProc. What Messaggio throws is reported as the program reports
// errors (SenzaEccezioni) and never crosses the system's frames.
//
// The window may go before the object (its parent destroys it) or with it:
// the object destroys its window when it goes. A derived class that owns
// what its window uses (fonts, bitmaps) calls Distruggi in its own
// destructor, so that the window goes before them.
class FinestraBase {
  public:
    FinestraBase(const FinestraBase&) = delete;
    FinestraBase& operator=(const FinestraBase&) = delete;

    // The window; nullptr before its creation and after its destruction.
    HWND Finestra() const { return hwnd_; }

  protected:
    FinestraBase() = default;
    ~FinestraBase() { Distruggi(); }

    // The window procedure of every class whose windows are such objects.
    static LRESULT CALLBACK Procedura(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // A message of the window, from WM_NCCREATE to WM_NCDESTROY excluded.
    virtual LRESULT Messaggio(UINT msg, WPARAM wp, LPARAM lp) = 0;

    // Creates the window of this object (CreateWindowEx); nullptr when
    // Windows refuses.
    HWND CreaFinestra(DWORD stileEsteso, const char* classe, const char* titolo, DWORD stile, int x,
                      int y, int larghezza, int altezza, HWND genitore, HMENU menu);
    // Destroys the window now, without its messages reaching the object
    // (which may be half destroyed itself).
    void Distruggi() noexcept;

    HWND hwnd_ = nullptr;
};

struct DistruggiMenu {
    void operator()(HMENU m) const noexcept {
        if (m != nullptr) DestroyMenu(m);
    }
};
// A menu and its submenus.
using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, DistruggiMenu>;

struct DistruggiListaImmagini {
    void operator()(HIMAGELIST l) const noexcept {
        if (l != nullptr) ImageList_Destroy(l);
    }
};
// An image list of the common controls.
using ListaImmagini = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, DistruggiListaImmagini>;

// The clipboard, open for the object's scope (OpenClipboard, CloseClipboard).
// What SetClipboardData takes belongs to the clipboard from then on.
class Appunti {
  public:
    explicit Appunti(HWND proprietario) : aperti_(OpenClipboard(proprietario) != FALSE) {}
    ~Appunti() {
        if (aperti_) CloseClipboard();
    }
    Appunti(const Appunti&) = delete;
    Appunti& operator=(const Appunti&) = delete;
    // False when another window holds the clipboard open.
    bool Aperti() const { return aperti_; }

  private:
    bool aperti_;
};

}  // namespace quandora
