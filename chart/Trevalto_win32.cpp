// Trevalto.exe: the program's entry point. Prepares the common controls and
// COM, creates the main window, runs the start-up (which may end the
// program before anything is shown), shows the window and runs the message
// loop until the window is closed.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "chart/Programma_win32.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Interazione.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int nCmdShow) {
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES |
                ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    // COM and OLE for the life of the program (the module list's class,
    // DAO, the clipboard), ended on every way out.
    const quandora::ComInizializzato com(quandora::ComInizializzato::Con::Ole);

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
