#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "util/Interazione.h"
#include "util/Risorse_win32.h"
#include "util/Testo.h"

namespace quandora {

namespace {

// The real message boxes, owned by the active window of the thread so that
// they are modal to the program's window.
class InterazioneWindows final : public Interazione {
  public:
    int MsgBox(std::string_view testo, unsigned stile, std::string_view titolo) override {
        const std::string t = ToAnsi(testo);
        const std::string c = ToAnsi(titolo);
        return MessageBoxA(GetActiveWindow(), t.c_str(), c.c_str(), stile);
    }

    // Dispatches every message waiting for the thread, with the dialog
    // navigation of the window that owns the message (Tab, Enter, access
    // keys), as the program's own message loop does.
    void DoEvents() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave it for the main loop, which ends the program.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            HWND radice = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (radice != nullptr && IsDialogMessageA(radice, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // SHBrowseForFolderA from the desktop, file-system folders only.
    std::string SfogliaCartella(intptr_t hWnd, std::string_view titolo) override {
        const ComInizializzato com;  // the dialog's shell objects need it
        const std::string istruzione = ToAnsi(titolo);
        char nome[MAX_PATH + 1] = {};
        BROWSEINFOA info;
        ZeroMemory(&info, sizeof info);
        info.hwndOwner = reinterpret_cast<HWND>(hWnd);
        info.pidlRoot = nullptr;
        info.pszDisplayName = nome;
        info.lpszTitle = istruzione.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST scelta = SHBrowseForFolderA(&info);
        if (scelta == nullptr) return {};
        char percorso[MAX_PATH + 1] = {};
        const BOOL ok = SHGetPathFromIDListA(scelta, percorso);
        CoTaskMemFree(scelta);
        return ok ? FromAnsi(percorso) : std::string();
    }
};

}  // namespace

Interazione& InterazionePredefinita() {
    static InterazioneWindows instance;
    return instance;
}

}  // namespace quandora
