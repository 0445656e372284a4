// Launching: documents with their associated program, registered programs,
// command lines waited for, and waits.
//
// Choices:
// - EseguiEx called without `muto` shows its messages: a caller that does
//   not say otherwise learns why nothing opened.
// - WaitSecondi sleeps until the next window event or 10 ms, whichever
//   comes first, instead of spinning: the window answers as promptly and
//   the processor stays free. It counts the time that has passed, so a wait
//   across midnight ends after the same number of seconds. A WM_QUIT seen
//   while waiting is put back for the caller's loop and ends the wait.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cmath>
#include <exception>
#include <vector>

#include "util/Interazione.h"
#include "util/Modulo.h"
#include "util/Orologio.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

// Documents open with the drive root of the module folder as working folder.
std::string CartellaLavoro() {
    return ToAnsi(CartellaModulo().substr(0, 3));
}

HWND Finestra(intptr_t hWnd) {
    return reinterpret_cast<HWND>(hWnd);
}

INT_PTR ApriConShell(intptr_t hWnd, const std::string& file) {
    const std::string ansi = ToAnsi(file);
    const std::string cartella = CartellaLavoro();
    return reinterpret_cast<INT_PTR>(ShellExecuteA(Finestra(hWnd), nullptr, ansi.c_str(), nullptr,
                                                   cartella.empty() ? nullptr : cartella.c_str(),
                                                   SW_SHOWNORMAL));
}

}  // namespace

bool uxUtilita::EseguiEx(intptr_t hWnd, const std::string& file, bool muto) const {
    try {
        const INT_PTR codice = ApriConShell(hWnd, file);
        if (codice > 32) return true;
        std::string messaggio = file;
        if (codice == SE_ERR_FNF)
            messaggio += ": file non trovato!";
        else if (codice == SE_ERR_NOASSOC)
            messaggio += ": nessun programma associato a questo tipo di file!";
        else
            messaggio += ": accesso negato!";
        if (!muto) InterazioneAttiva().MsgBox(messaggio, mb::kOk | mb::kIconCritical, "Errore");
        return false;
    } catch (const std::exception& e) {
        if (!muto) InterazioneAttiva().MsgBox(e.what(), mb::kOk | mb::kIconCritical, "Errore");
        return false;
    }
}

bool uxUtilita::ShellSospensiva(const std::string& ToRun,
                                const std::optional<std::string>& COMMANDLINE) const {
    std::string comando = ToAnsi(ToRun);
    if (COMMANDLINE) {
        comando += ' ';
        comando += ToAnsi(*COMMANDLINE);
    }
    std::vector<char> riga(comando.begin(), comando.end());
    riga.push_back('\0');

    STARTUPINFOA avvio;
    ZeroMemory(&avvio, sizeof avvio);
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    if (!CreateProcessA(nullptr, riga.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &avvio, &pi)) {
        return false;
    }
    Processo processo(pi);
    WaitForInputIdle(processo.get(), INFINITE);
    processo.ChiudiThread();
    WaitForSingleObject(processo.get(), INFINITE);
    return true;
}

bool uxUtilita::StartApplicazione(const std::string& applicazione) const {
    bool avviato = false;
    try {
        std::string programma;
        if (LeggiPercorsoApplicazione(applicazione, programma) && !programma.empty()) {
            std::string comando = ToAnsi(programma);
            std::vector<char> riga(comando.begin(), comando.end());
            riga.push_back('\0');
            STARTUPINFOA avvio;
            ZeroMemory(&avvio, sizeof avvio);
            avvio.cb = sizeof avvio;
            avvio.dwFlags = STARTF_USESHOWWINDOW;
            avvio.wShowWindow = SW_SHOWNORMAL;
            PROCESS_INFORMATION pi;
            ZeroMemory(&pi, sizeof pi);
            if (CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &avvio, &pi)) {
                const Processo processo(pi);
                avviato = true;
            }
        }
    } catch (const std::exception&) {
        avviato = false;
    }
    if (!avviato) {
        InterazioneAttiva().MsgBox(applicazione + ": Applicazione non trovata.",
                                   mb::kOk | mb::kIconExclamation, "Errore");
    }
    return avviato;
}

void uxUtilita::WaitSecondi(int16_t sec) const {
    Orologio& orologio = OrologioAttivo();
    const double inizio = std::floor(orologio.SecondiDelGiorno());
    const double obiettivo = inizio + sec;
    double ultimo = inizio;
    double giorniPassati = 0;
    for (;;) {
        const double ora = orologio.SecondiDelGiorno();
        if (ora < ultimo) giorniPassati += 86400.0;  // past midnight
        ultimo = ora;
        if (ora + giorniPassati >= obiettivo) return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void uxUtilita::Sleep(int32_t millisecondi) const {
    ::Sleep(millisecondi < 0 ? 0 : static_cast<DWORD>(millisecondi));
}

void uxUtilita::ApriIndirizzo(intptr_t hWnd, const std::string& indirizzo) const {
    try {
        ApriConShell(hWnd, indirizzo);
    } catch (const std::exception&) {
    }
}

void uxUtilita::Homepage(intptr_t hWnd) const {
    ApriIndirizzo(hWnd, kIndirizzoHomepage);
}

void uxUtilita::GoWeb(intptr_t hWnd, const std::string& indirizzoWeb) const {
    ApriIndirizzo(hWnd, indirizzoWeb);
}

void uxUtilita::EMail(intptr_t hWnd) const {
    ApriIndirizzo(hWnd, kIndirizzoEMail);
}

}  // namespace quandora
