#pragma once
// What the Windows tests do with other processes and their windows: start a
// program, run a command line through cmd, wait for a condition with a
// deadline (which only bounds a failure), read windows and message boxes.

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/CartellaTemporanea.h"
#include "util/Testo.h"
#include "util/Testo_win32.h"
#include "util/Win32.h"

namespace quandora::test {

// Waits until the condition holds, handling this thread's messages and
// looking again whenever one comes or every 20 ms, for at most limiteMs;
// the condition's last value.
template <class Condizione>
bool Attendi(Condizione&& condizione, DWORD limiteMs = 30000) {
    const DWORD inizio = GetTickCount();
    while (!condizione()) {
        if (GetTickCount() - inizio >= limiteMs) return condizione();
        for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// A program started with the command line given; an empty Processo when it
// could not start.
inline Processo AvviaProcesso(const std::string& riga) {
    std::wstring comando = Utf16DaUtf8(riga);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, comando.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return {};
    return Processo(pi);
}

// The process's exit code once it has ended; STILL_ACTIVE when it has not
// within limiteMs, -1 when there is no process.
inline DWORD CodiceUscita(const Processo& p, DWORD limiteMs = 30000) {
    if (!p) return static_cast<DWORD>(-1);
    WaitForSingleObject(p.get(), limiteMs);
    DWORD codice = STILL_ACTIVE;
    GetExitCodeProcess(p.get(), &codice);
    return codice;
}

// A command line run through cmd as the tests run the system's tools
// (regsvr32, cscript, msiexec): its exit code, what it printed (standard
// output and error) to uscita when given.
inline DWORD Esegui(const std::string& riga, std::string* uscita = nullptr,
                    DWORD limiteMs = 60000) {
    const CartellaTemporanea dir;
    const std::string file = dir.File("uscita.txt");
    const DWORD codice =
        CodiceUscita(AvviaProcesso("cmd /c \"" + riga + " > \"" + file + "\" 2>&1\""), limiteMs);
    if (uscita) *uscita = FromAnsi(CartellaTemporanea::Leggi(file));
    return codice;
}

inline std::string TestoFinestra(HWND h) {
    std::wstring t(size_t(GetWindowTextLengthW(h)) + 1, L'\0');
    t.resize(size_t(GetWindowTextW(h, t.data(), int(t.size()))));
    return Utf8DaUtf16(t);
}

// The top-level windows of a process with the class given, visible or not.
inline std::vector<HWND> FinestreDi(DWORD processo, const std::string& classe) {
    std::vector<HWND> trovate;
    for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, classe.c_str(), nullptr)) != nullptr;) {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == processo) trovate.push_back(h);
    }
    return trovate;
}

// A message box's message: the last static text of the dialog (its icon is
// a static control without text).
inline std::string TestoBox(HWND box) {
    std::string trovato;
    for (HWND h = nullptr; (h = FindWindowExA(box, h, "Static", nullptr)) != nullptr;)
        if (!TestoFinestra(h).empty()) trovato = TestoFinestra(h);
    return trovato;
}

}  // namespace quandora::test
