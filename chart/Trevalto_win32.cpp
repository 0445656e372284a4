// Trevalto.exe: the program's entry point. Prepares the common controls and
// COM, creates the main window, runs the start-up (which may end the
// program before anything is shown), shows the window and runs the message
// loop until the window is closed.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "chart/Programma_win32.h"
#include "util/Errore.h"
#include "util/Interazione.h"

namespace {

// COM for the life of the program (the module list's class, the
// clipboard); released on every way out.
class ComAttivo {
  public:
    ComAttivo() : attivo_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~ComAttivo() {
        if (attivo_) OleUninitialize();
    }
    ComAttivo(const ComAttivo&) = delete;
    ComAttivo& operator=(const ComAttivo&) = delete;

  private:
    bool attivo_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int nCmdShow) {
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES |
                ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    const ComAttivo com;

    try {
        quandora::ProgrammaTrevalto programma(true);
        quandora::FrmMain& finestra = programma.Finestra();
        if (!programma.Form_Initialize()) return 0;
        programma.Form_Load();
        ShowWindow(finestra.Finestra(), nCmdShow);
        UpdateWindow(finestra.Finestra());

        MSG msg;
        int esito;
        while ((esito = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
            if (esito == -1) break;
            if (!finestra.PreTraduciMessaggio(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
    } catch (const quandora::Errore& e) {
        quandora::InterazioneAttiva().MsgBox(
            e.Descrizione(), quandora::mb::kOk | quandora::mb::kIconCritical, "Errore");
        return 1;
    }
}
