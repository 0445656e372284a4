#pragma once
// Trevalto.exe as a process of its own, driven from outside through its
// windows, boxes, controls, popup menu and the picture on the screen. The
// common controls' messages that carry a pointer get memory inside the
// program: Windows copies no structure across processes for them.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart/ComandiFrmMain_win32.h"
#include "chart/FrmMain_win32.h"
#include "host/DatiDemo.h"
#include "tests/support/Pixel_win32.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/DataOle.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

inline std::string ProgrammaTrevalto() {
    return CartellaModulo() + "..\\Trevalto.exe";
}

// The demo's data to 7-12-2026 and the stand-in quandora.exe (3.3.0.0)
// installed and registered as the host; false when the copy failed.
inline bool InstallaHostDemo(const std::string& cartella) {
    host::ScriviHost(cartella, DataSerial(2026, 12, 7));
    const std::string exe = CartellaModulo() + "..\\host\\quandora\\quandora.exe";
    if (!CopyFileA(ToAnsi(exe).c_str(), ToAnsi(cartella + "\\quandora.exe").c_str(), FALSE))
        return false;
    RegistraQuandora(cartella + "\\quandora.exe");
    return true;
}

// A block of memory inside another process, freed with the object.
class MemoriaRemota {
  public:
    MemoriaRemota(HANDLE processo, size_t dimensione)
        : processo_(processo),
          indirizzo_(static_cast<char*>(VirtualAllocEx(
              processo, nullptr, dimensione, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~MemoriaRemota() { VirtualFreeEx(processo_, indirizzo_, 0, MEM_RELEASE); }
    MemoriaRemota(const MemoriaRemota&) = delete;
    MemoriaRemota& operator=(const MemoriaRemota&) = delete;

    LPARAM Indirizzo(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(indirizzo_ + offset);
    }
    bool Scrivi(size_t offset, const void* dati, size_t n) const {
        return WriteProcessMemory(processo_, indirizzo_ + offset, dati, n, nullptr);
    }
    bool Leggi(size_t offset, void* dati, size_t n) const {
        return ReadProcessMemory(processo_, indirizzo_ + offset, dati, n, nullptr);
    }

  private:
    HANDLE processo_;
    char* indirizzo_;
};

// A toolbar button's command, by its key in the program's table.
inline WPARAM Pulsante(std::string_view chiave) {
    for (const Comando& k : ComandiToolbar())
        if (k.chiave != nullptr && k.chiave == chiave) return static_cast<WPARAM>(k.id);
    return 0;
}

class ProcessoTrevalto {
  public:
    // The build tree's program, or an installed copy.
    explicit ProcessoTrevalto(const std::string& programma = ProgrammaTrevalto())
        : processo_(AvviaProcesso("\"" + programma + "\"")) {
        EXPECT_TRUE(processo_) << "CreateProcess: error " << GetLastError();
    }
    ~ProcessoTrevalto() {
        if (processo_ && WaitForSingleObject(processo_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(processo_.get(), 1);
            WaitForSingleObject(processo_.get(), 30000);
        }
    }
    ProcessoTrevalto(const ProcessoTrevalto&) = delete;
    ProcessoTrevalto& operator=(const ProcessoTrevalto&) = delete;

    HANDLE Processo() const { return processo_.get(); }
    DWORD Fine() const { return CodiceUscita(processo_); }

    // A visible window of the class (and title, when given) but tranne;
    // Cerca looks once, Finestra waits.
    HWND Cerca(const char* classe, const std::string& titolo = "", HWND tranne = nullptr) const {
        for (HWND h : FinestreDi(processo_.Id(), classe))
            if (h != tranne && IsWindowVisible(h) && (titolo.empty() || TestoFinestra(h) == titolo))
                return h;
        return nullptr;
    }
    HWND Finestra(const char* classe, const std::string& titolo = "", HWND tranne = nullptr) const {
        HWND h = nullptr;
        Attendi([&] { return (h = Cerca(classe, titolo, tranne)) != nullptr; });
        return h;
    }
    HWND Dialogo(const std::string& titolo) const { return Finestra("#32770", titolo); }
    // Answers the box of the title given and gives back its message.
    std::string ChiudiBox(const std::string& titolo, int risposta = IDOK) const {
        const HWND box = Dialogo(titolo);
        if (box == nullptr) return "(nessun box \"" + titolo + "\")";
        const std::string testo = TestoBox(box);
        PostMessageA(box, WM_COMMAND, risposta, 0);
        AttendiChiusura(box);
        return testo;
    }
    static bool AttendiChiusura(HWND h) {
        return Attendi([&] { return !IsWindow(h) || !IsWindowVisible(h); });
    }

    // The main window waited for; what came instead as the failure.
    ::testing::AssertionResult Avviato() {
        finestra_ = Finestra(FrmMain::kClasse);
        if (finestra_ != nullptr) return ::testing::AssertionSuccess();
        const HWND box = Cerca("#32770");
        return ::testing::AssertionFailure()
               << "no window; box " << (box ? TestoFinestra(box) + ": " + TestoBox(box) : "none")
               << "; exit " << CodiceUscita(processo_, 0);
    }
    HWND Principale() const { return finestra_; }
    HWND Controllo(int id) const { return GetDlgItem(finestra_, id); }

    bool Periodo(double da, double a) {
        bool ok = true;
        for (auto [id, data] :
             {std::pair{FrmMain::kIdDataIniziale, da}, {FrmMain::kIdDataFinale, a}}) {
            const ParteData p = ScomponiData(data);
            const SYSTEMTIME st = {WORD(p.Anno), WORD(p.Mese), 0, WORD(p.Giorno), 0, 0, 0, 0};
            MemoriaRemota m(Processo(), sizeof st);
            ok = ok && m.Scrivi(0, &st, sizeof st) &&
                 SendMessageA(Controllo(id), DTM_SETSYSTEMTIME, GDT_VALID, m.Indirizzo());
        }
        return ok;
    }
    bool InCorso() const {
        return TestoFinestra(Controllo(FrmMain::kIdCmdElabora)) == "Interrompi";
    }
    bool AvviaRun() const {
        PostMessageA(Controllo(FrmMain::kIdCmdElabora), BM_CLICK, 0, 0);
        return Attendi([&] { return InCorso(); });
    }
    // Over: the button reads "Elabora" again and the progress bar is gone.
    bool AttendiFineRun() const {
        return Attendi([&] { return !InCorso() && !IsWindowVisible(Controllo(FrmMain::kIdStato)); },
                       60000);
    }
    // A whole run, the click handled before the call returns.
    bool Elabora() const {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(Controllo(FrmMain::kIdCmdElabora), BM_CLICK, 0, 0, SMTO_NORMAL, 60000,
                            &r);
        return AttendiFineRun();
    }

    bool Abilitato(const char* b) const {
        return SendMessageA(Controllo(FrmMain::kIdToolbar1), TB_ISBUTTONENABLED, Pulsante(b), 0);
    }
    // Pressed and returned at once (for a dialog), or handled first.
    void Premi(const char* b) const { PostMessageA(finestra_, WM_COMMAND, Pulsante(b), 0); }
    void PremiEAttendi(const char* b) const { SendMessageA(finestra_, WM_COMMAND, Pulsante(b), 0); }
    // A file dialog's button pressed, the name typed once its field is there
    // (combo box 0x47C in the Explorer-style dialogs, edit 0x480 in the old
    // ones) and OK pressed: the dialog, or none.
    HWND Scegli(const char* b, const std::string& titolo, const std::string& nome) const {
        Premi(b);
        const HWND d = Dialogo(titolo);
        HWND campo = nullptr;
        if (d == nullptr || !Attendi([&] {
                campo = GetDlgItem(d, 0x47C);
                if (campo == nullptr) campo = GetDlgItem(d, 0x480);
                return campo != nullptr && IsWindowVisible(campo);
            }))
            return nullptr;
        SetWindowTextW(campo, Utf16DaUtf8(nome).c_str());
        return PostMessageW(d, WM_COMMAND, IDOK, 0) ? d : nullptr;
    }
    // The save's box text.
    std::string Salva(const char* b, const std::string& titolo, const std::string& nome) const {
        if (!Scegli(b, titolo, nome)) return "(nessun dialogo \"" + titolo + "\")";
        return ChiudiBox("Salvataggio");
    }

    HWND Picture() const { return Controllo(FrmMain::kIdGrafico); }
    SIZE Dimensione() const {
        RECT r;
        GetClientRect(Picture(), &r);
        return {r.right, r.bottom};
    }
    // Chart units (3000 by 3000 over the picture) to pixels.
    int PixelX(double x) const { return int(std::lround(x * Dimensione().cx / 3000)); }
    int PixelY(double y) const { return int(std::lround(y * Dimensione().cy / 3000)); }
    // Handled, or given up at the deadline (a click that opened a menu).
    void Mouse(UINT messaggio, int px, int py) const {
        SendMessageTimeoutA(Picture(), messaggio, 0, MAKELPARAM(px, py), SMTO_NORMAL, 30000,
                            nullptr);
    }
    void Clic(UINT pressione, int px, int py) const {
        Mouse(pressione, px, py);
        Mouse(pressione + 1, px, py);
    }
    // Whether the picture read off the screen, repainted, comes to meet the
    // condition.
    template <class Condizione>
    bool Mostra(Condizione&& condizione) const {
        RedrawWindow(Picture(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return Attendi([&] { return condizione(Schermo(Picture())); });
    }

    // The picture's tooltip: the text of the program's tooltip control that
    // knows the picture as a tool.
    std::string Tooltip() const {
        constexpr size_t kTesto = 2048;  // the control copies up to 1024 bytes
        MemoriaRemota m(Processo(), sizeof(TOOLINFOA) + kTesto);
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = finestra_;
        ti.uId = reinterpret_cast<UINT_PTR>(Picture());
        ti.lpszText = reinterpret_cast<char*>(m.Indirizzo(sizeof ti));
        for (HWND t : FinestreDi(processo_.Id(), TOOLTIPS_CLASSA)) {
            char testo[kTesto] = {};
            m.Scrivi(0, &ti, sizeof ti);
            m.Scrivi(sizeof ti, testo, 1);
            SendMessageA(t, TTM_GETTEXTA, kTesto, m.Indirizzo());
            m.Leggi(sizeof ti, testo, kTesto - 1);
            if (testo[0] != 0) return FromAnsi(testo);
        }
        return "";
    }

    // A right click on the picture, and the popup menu's item chosen with
    // the keys once the menu is there.
    bool Menu(int px, int py, int voce) const {
        PostMessageA(Picture(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(px, py));
        PostMessageA(Picture(), WM_RBUTTONUP, 0, MAKELPARAM(px, py));
        const HWND menu = Finestra("#32768");
        for (int i = 0; menu != nullptr && i <= voce; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        return menu != nullptr && PostMessageA(menu, WM_CHAR, '\r', 0) && AttendiChiusura(menu);
    }

  private:
    quandora::Processo processo_;
    HWND finestra_ = nullptr;
};

}  // namespace quandora::test
