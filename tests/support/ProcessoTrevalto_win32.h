#pragma once
// Trevalto.exe as a process of its own, driven from outside through its
// windows, boxes, controls, popup menu and the picture on the screen. The
// common controls' messages that carry a pointer get memory inside the
// program: Windows copies no structure across processes for them.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

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
    ~MemoriaRemota() {
        if (indirizzo_ != nullptr) VirtualFreeEx(processo_, indirizzo_, 0, MEM_RELEASE);
    }
    MemoriaRemota(const MemoriaRemota&) = delete;
    MemoriaRemota& operator=(const MemoriaRemota&) = delete;

    LPARAM Indirizzo(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(indirizzo_ + offset);
    }
    bool Scrivi(size_t offset, const void* dati, size_t n) {
        SIZE_T fatti = 0;
        return indirizzo_ != nullptr &&
               WriteProcessMemory(processo_, indirizzo_ + offset, dati, n, &fatti) && fatti == n;
    }
    bool Leggi(size_t offset, void* dati, size_t n) const {
        SIZE_T fatti = 0;
        return indirizzo_ != nullptr &&
               ReadProcessMemory(processo_, indirizzo_ + offset, dati, n, &fatti) && fatti == n;
    }

  private:
    HANDLE processo_;
    char* indirizzo_;
};

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

    std::vector<HWND> Tutte(const char* classe) const { return FinestreDi(processo_.Id(), classe); }
    // A visible window of the class (and title, when given) but tranne;
    // Cerca looks once, Finestra waits.
    HWND Cerca(const char* classe, const std::string& titolo = "", HWND tranne = nullptr) const {
        for (HWND h : Tutte(classe))
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

    // The main window waited for; what came instead in perche.
    bool Avviato(std::string& perche) {
        finestra_ = Finestra(FrmMain::kClasse);
        if (finestra_ == nullptr)
            perche = "no window; " + DescriviBox(Cerca("#32770")) + "; exit " +
                     std::to_string(CodiceUscita(processo_, 0));
        return finestra_ != nullptr;
    }
    HWND Principale() const { return finestra_; }
    HWND Controllo(int id) const { return GetDlgItem(finestra_, id); }

    bool Periodo(double da, double a) {
        bool ok = true;
        for (auto [id, data] :
             {std::pair{FrmMain::kIdDataIniziale, da}, {FrmMain::kIdDataFinale, a}}) {
            const ParteData p = ScomponiData(data);
            SYSTEMTIME st = {};
            st.wYear = WORD(p.Anno);
            st.wMonth = WORD(p.Mese);
            st.wDay = WORD(p.Giorno);
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
    bool AttendiFineRun(DWORD limiteMs = 60000) const {
        return Attendi([&] { return !InCorso() && !IsWindowVisible(Controllo(FrmMain::kIdStato)); },
                       limiteMs);
    }
    // A whole run, the click handled before the call returns.
    bool Elabora() const {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(Controllo(FrmMain::kIdCmdElabora), BM_CLICK, 0, 0, SMTO_NORMAL, 60000,
                            &r);
        return AttendiFineRun();
    }

    // The toolbar, by its buttons' keys.
    static int Pulsante(const std::string& chiave) {
        const char* chiavi[] = {"clear", "open", "save", "clipboard", "undo", "bitmap", "printer"};
        for (int i = 0; i < 7; ++i)
            if (chiave == chiavi[i]) return FrmMain::kIdPrimoPulsante + i;
        return -1;
    }
    bool Abilitato(const std::string& chiave) const {
        return SendMessageA(Controllo(FrmMain::kIdToolbar1), TB_ISBUTTONENABLED, Pulsante(chiave),
                            0) != 0;
    }
    // Pressed and returned at once (for a dialog), or handled first.
    void Premi(const std::string& chiave) const {
        PostMessageA(finestra_, WM_COMMAND, Pulsante(chiave), 0);
    }
    void PremiEAttendi(const std::string& chiave) const {
        SendMessageA(finestra_, WM_COMMAND, Pulsante(chiave), 0);
    }
    // A file dialog's button pressed, the name typed; the save's box text.
    std::string Salva(const std::string& chiave, const std::string& titolo,
                      const std::string& nome) const {
        Premi(chiave);
        const HWND d = Dialogo(titolo);
        if (d == nullptr || !ScegliFile(d, nome)) return "(nessun dialogo \"" + titolo + "\")";
        return ChiudiBox("Salvataggio");
    }
    bool ApriVrt(const std::string& nome) const {
        Premi("open");
        const HWND d = Dialogo("Apri Grafico Trevalto File...");
        return d != nullptr && ScegliFile(d, nome) && AttendiChiusura(d);
    }

    HWND Picture() const { return Controllo(FrmMain::kIdGrafico); }
    SIZE Dimensione() const {
        RECT r;
        GetClientRect(Picture(), &r);
        return {r.right, r.bottom};
    }
    // Chart units (3000 by 3000 over the picture) to pixels and back.
    int PixelX(double x) const { return int(std::lround(x * Dimensione().cx / 3000)); }
    int PixelY(double y) const { return int(std::lround(y * Dimensione().cy / 3000)); }
    double UnitaX(int px) const { return double(px) * 3000 / Dimensione().cx; }
    void Mouse(UINT messaggio, int px, int py) const {
        SendMessageA(Picture(), messaggio, 0, MAKELPARAM(px, py));
    }
    void Clic(UINT pressione, int px, int py) const {
        Mouse(pressione, px, py);
        Mouse(pressione + 1, px, py);
    }
    // The picture off the screen, repainted, once two captures agree.
    Pixel Immagine() const {
        RedrawWindow(Picture(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pixel prima = Schermo(AreaCliente(Picture()));
        Attendi([&] {
            Pixel dopo = Schermo(AreaCliente(Picture()));
            const bool ferma = Differenze(prima, dopo) == 0;
            prima = std::move(dopo);
            return ferma;
        });
        return prima;
    }

    std::string Tooltip() const {
        constexpr size_t kTesto = 2048;  // the control copies up to 1024 bytes
        MemoriaRemota m(Processo(), sizeof(TOOLINFOA) + kTesto);
        for (HWND t : Tutte(TOOLTIPS_CLASSA)) {
            TOOLINFOA ti = {};
            ti.cbSize = TTTOOLINFOA_V1_SIZE;
            ti.hwnd = finestra_;
            ti.uId = reinterpret_cast<UINT_PTR>(Picture());
            ti.lpszText = reinterpret_cast<char*>(m.Indirizzo(sizeof ti));
            const char vuoto = 0;
            // Only the picture's own tooltip control knows this tool.
            if (!m.Scrivi(0, &ti, sizeof ti) || !m.Scrivi(sizeof ti, &vuoto, 1) ||
                !SendMessageA(t, TTM_GETTOOLINFOA, 0, m.Indirizzo()))
                continue;
            m.Scrivi(0, &ti, sizeof ti);
            SendMessageA(t, TTM_GETTEXTA, kTesto, m.Indirizzo());
            char testo[kTesto] = {};
            m.Leggi(sizeof ti, testo, kTesto - 1);
            return FromAnsi(testo);
        }
        return "(nessun tooltip)";
    }

    // A right click on the picture: the popup menu, waited for.
    HWND Menu(int px, int py) const {
        PostMessageA(Picture(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(px, py));
        PostMessageA(Picture(), WM_RBUTTONUP, 0, MAKELPARAM(px, py));
        return Finestra("#32768");
    }
    // Its items off the screen, once n of them read the same twice: true
    // for black text, false for grey; descrizione tells the bands read.
    static std::vector<bool> Voci(HWND menu, size_t n, std::string& descrizione) {
        std::vector<bool> prima, voci;
        Attendi([&] {
            RECT r;
            GetWindowRect(menu, &r);
            descrizione.clear();
            prima = std::exchange(voci, VociAbilitate(Schermo(r), descrizione));
            return voci.size() == n && voci == prima;
        });
        return voci;
    }
    // An item chosen with the keys, or the menu closed.
    static void ScegliVoce(HWND menu, int voce) {
        for (int i = 0; i <= voce; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_CHAR, '\r', 0);
        AttendiChiusura(menu);
    }
    static void ChiudiMenu(HWND menu) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        AttendiChiusura(menu);
    }

  private:
    // A band of text rows is an item, black or grey by most of its pixels;
    // one or two rows high, a separator. The frame's two pixels left out.
    static std::vector<bool> VociAbilitate(const Pixel& menu, std::string& descrizione) {
        std::vector<bool> voci;
        int inizio = -1, neri = 0, grigi = 0;
        auto chiudi = [&](int fine) {
            if (inizio < 0) return;
            if (fine - inizio > 2) voci.push_back(neri > grigi);
            descrizione += "[" + std::to_string(inizio) + "+" + std::to_string(fine - inizio) +
                           " neri " + std::to_string(neri) + " grigi " + std::to_string(grigi) +
                           "] ";
            inizio = -1;
            neri = grigi = 0;
        };
        for (int y = 2; y < menu.Altezza - 2; ++y) {
            int n = 0, g = 0;
            for (int x = 2; x < menu.Larghezza - 2; ++x) {
                const uint32_t c = menu(x, y);
                const int r = (c >> 16) & 0xFF, v = (c >> 8) & 0xFF, b = c & 0xFF;
                n += r < 60 && v < 60 && b < 60;
                g += r >= 100 && r <= 175 && std::abs(r - v) < 12 && std::abs(r - b) < 12;
            }
            if (n + g == 0) {
                chiudi(y);
            } else {
                if (inizio < 0) inizio = y;
                neri += n;
                grigi += g;
            }
        }
        chiudi(menu.Altezza - 2);
        return voci;
    }

    quandora::Processo processo_;
    HWND finestra_ = nullptr;
};

}  // namespace quandora::test
