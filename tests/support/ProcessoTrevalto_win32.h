#pragma once
// Trevalto.exe started as a process of its own, as a person starts it, and
// the means to drive it from outside: its windows found by its process id,
// and memory inside it for the common controls' messages that carry
// pointers (Windows copies no structure across processes for them).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

// The delivered program, beside the test programs' folder.
inline std::string ProgrammaTrevalto() {
    return CartellaModulo() + "..\\Trevalto.exe";
}

class ProcessoTrevalto {
  public:
    // The program of the build tree, or the one at the path given (an
    // installed copy).
    explicit ProcessoTrevalto(const std::string& programma = ProgrammaTrevalto()) {
        std::string riga = "\"" + ToAnsi(programma) + "\"";
        std::vector<char> comando(riga.begin(), riga.end());
        comando.push_back('\0');
        STARTUPINFOA avvio{};
        avvio.cb = sizeof avvio;
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(CreateProcessA(nullptr, comando.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &avvio, &pi))
            << "CreateProcess: error " << GetLastError();
        processo_ = quandora::Processo(pi);
    }
    ~ProcessoTrevalto() {
        if (processo_ && WaitForSingleObject(processo_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(processo_.get(), 1);
            WaitForSingleObject(processo_.get(), 5000);
        }
    }
    ProcessoTrevalto(const ProcessoTrevalto&) = delete;
    ProcessoTrevalto& operator=(const ProcessoTrevalto&) = delete;

    HANDLE Processo() const { return processo_.get(); }

    // A visible top-level window of the process with the class given (and
    // the title, when one is given), waited for up to attesaMs.
    HWND Finestra(const char* classe, int attesaMs = 20000, const char* titolo = nullptr) const {
        for (int t = 0;; t += 50) {
            HWND h = Cerca(classe, titolo);
            if (h != nullptr || t >= attesaMs) return h;
            Sleep(50);
        }
    }
    // The visible top-level window, looked for once.
    HWND Cerca(const char* classe, const char* titolo = nullptr) const {
        for (HWND h : Tutte(classe)) {
            if (!IsWindowVisible(h)) continue;
            if (titolo != nullptr) {
                char t[256] = {};
                GetWindowTextA(h, t, sizeof t);
                if (ToAnsi(titolo) != t) continue;
            }
            return h;
        }
        return nullptr;
    }
    // Every top-level window of the process with the class given, visible
    // or not.
    std::vector<HWND> Tutte(const char* classe) const {
        Elenco e{processo_.Id(), classe, {}};
        EnumWindows(Raccogli, reinterpret_cast<LPARAM>(&e));
        return e.trovate;
    }

    // The exit code once it ended (STILL_ACTIVE after 30 s).
    DWORD Fine() const {
        WaitForSingleObject(processo_.get(), 30000);
        DWORD esito = STILL_ACTIVE;
        GetExitCodeProcess(processo_.get(), &esito);
        return esito;
    }

  private:
    struct Elenco {
        DWORD processo;
        const char* classe;
        std::vector<HWND> trovate;
    };
    static BOOL CALLBACK Raccogli(HWND h, LPARAM lp) {
        auto* e = reinterpret_cast<Elenco*>(lp);
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        char nome[64] = {};
        GetClassNameA(h, nome, sizeof nome);
        if (p == e->processo && lstrcmpiA(nome, e->classe) == 0) e->trovate.push_back(h);
        return TRUE;
    }

    quandora::Processo processo_;
};

// A block of memory inside another process, freed with the object.
class MemoriaRemota {
  public:
    MemoriaRemota(HANDLE processo, size_t dimensione)
        : processo_(processo),
          indirizzo_(VirtualAllocEx(processo, nullptr, dimensione, MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE)) {}
    ~MemoriaRemota() {
        if (indirizzo_ != nullptr) VirtualFreeEx(processo_, indirizzo_, 0, MEM_RELEASE);
    }
    MemoriaRemota(const MemoriaRemota&) = delete;
    MemoriaRemota& operator=(const MemoriaRemota&) = delete;

    bool Valida() const { return indirizzo_ != nullptr; }
    // The address as the other process sees it, offset bytes in.
    LPARAM Indirizzo(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(indirizzo_) + offset);
    }
    bool Scrivi(size_t offset, const void* dati, size_t n) {
        SIZE_T scritti = 0;
        return WriteProcessMemory(processo_, static_cast<char*>(indirizzo_) + offset, dati, n,
                                  &scritti) &&
               scritti == n;
    }
    bool Leggi(size_t offset, void* dati, size_t n) const {
        SIZE_T letti = 0;
        return ReadProcessMemory(processo_, static_cast<char*>(indirizzo_) + offset, dati, n,
                                 &letti) &&
               letti == n;
    }

  private:
    HANDLE processo_;
    void* indirizzo_;
};

}  // namespace quandora::test
