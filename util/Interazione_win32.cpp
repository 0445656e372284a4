#include <windows.h>

#include <commdlg.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "util/Com_win32.h"
#include "util/Interazione.h"
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
    bool MostraDialogoFile(intptr_t hWnd, DialogoFile& dialogo, bool salva) override {
        // The filter's "|" become the NULs Windows wants, with a final
        // double NUL.
        std::string filtro = ToAnsi(dialogo.Filtro);
        for (char& c : filtro) {
            if (c == '|') c = '\0';
        }
        filtro.append(2, '\0');
        const std::string titolo = ToAnsi(dialogo.Titolo);
        const std::string estensione = ToAnsi(dialogo.DefaultExt);
        std::vector<char> nome(32768, '\0');
        const std::string iniziale = ToAnsi(dialogo.FileName);
        if (iniziale.size() < nome.size()) iniziale.copy(nome.data(), iniziale.size());

        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = reinterpret_cast<HWND>(hWnd);
        ofn.lpstrFilter = filtro.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = nome.data();
        ofn.nMaxFile = static_cast<DWORD>(nome.size());
        ofn.lpstrTitle = titolo.empty() ? nullptr : titolo.c_str();
        ofn.lpstrDefExt = estensione.empty() ? nullptr : estensione.c_str();
        ofn.Flags = dialogo.Flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
        const BOOL scelto = salva ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        if (!scelto) return false;
        dialogo.FileName = FromAnsi(nome.data());
        return true;
    }

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
        const MemoriaCom<ITEMIDLIST> scelta(SHBrowseForFolderA(&info));
        if (!scelta) return {};
        char percorso[MAX_PATH + 1] = {};
        const BOOL ok = SHGetPathFromIDListA(scelta.get(), percorso);
        return ok ? FromAnsi(percorso) : std::string();
    }
};

}  // namespace

Interazione& InterazionePredefinita() {
    static InterazioneWindows instance;
    return instance;
}

}  // namespace quandora
