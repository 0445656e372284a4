#include <windows.h>

#include "chart/Programma_win32.h"

#include <commctrl.h>

#include <cmath>

#include "chart/Formati.h"
#include "util/Testo.h"

namespace quandora {

namespace {
// A free identifier for the picture until it takes Grafico's.
constexpr int kIdImmagineNuova = 1999;
}  // namespace

Data LeggiDataPicker(HWND picker) {
    SYSTEMTIME st = {};
    if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) {
        return 0;
    }
    return DataSerial(st.wYear, st.wMonth, st.wDay);
}

void ScriviDataPicker(HWND picker, Data data) {
    const ParteData p = ScomponiData(std::floor(data));
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(p.Anno);
    st.wMonth = static_cast<WORD>(p.Mese);
    st.wDay = static_cast<WORD>(p.Giorno);
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

ProgrammaTrevalto::ProgrammaTrevalto(bool chiudeProgramma) {
    finestra_ = std::make_unique<FrmMain>(*this, chiudeProgramma);
    const HWND hwnd = finestra_->Finestra();
    RECT r;
    GetWindowRect(finestra_->Controlli().Grafico, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    immagine_ = std::make_unique<FinestraGrafico>(hwnd, kIdImmagineNuova, r.left, r.top,
                                                  r.right - r.left, r.bottom - r.top);
    finestra_->SostituisciGrafico(immagine_->Finestra());
    grafico_ = std::make_unique<GraficoSaldi>(immagine_->Superficie(), *this);
    run_ = std::make_unique<Elaborazione>(*grafico_, *this);
    comandi_ = std::make_unique<ComandiGrafico>(*grafico_, *immagine_, hwnd);

    immagine_->MouseMove = [this](int16_t b, int16_t s, float x, float y) {
        Grafico_MouseMove(b, s, x, y);
    };
    immagine_->MouseUp = [this](int16_t b, int16_t s, float x, float y) {
        Grafico_MouseUp(b, s, x, y);
    };

    // The picture's tooltip: a tooltip control bound to it, whose text
    // follows the mouse.
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ != nullptr) {
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(immagine_->Finestra());
        ti.lpszText = const_cast<char*>("");
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageA(finestra_->Controlli().Stato, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

ProgrammaTrevalto::~ProgrammaTrevalto() {
    if (tooltip_ != nullptr && IsWindow(tooltip_)) DestroyWindow(tooltip_);
    comandi_.reset();
    run_.reset();
    grafico_.reset();
    // The window goes before the picture's object, which then only forgets
    // its (already destroyed) window.
    finestra_.reset();
    immagine_.reset();
}

bool ProgrammaTrevalto::Form_Initialize() {
    return InizializzaProgramma(*this, *run_, *grafico_);
}

void ProgrammaTrevalto::Form_Load() {
    finestra_->TooltipElabora("Inizia la generazione del grafico");
    SYSTEMTIME oggi;
    GetLocalTime(&oggi);
    ScriviDataPicker(finestra_->Controlli().DataIniziale, DataSerial(oggi.wYear, 1, 1));
    ScriviDataPicker(finestra_->Controlli().DataFinale,
                     DataSerial(oggi.wYear, oggi.wMonth, oggi.wDay));
    AggiornaTotaleGiorni();
}

void ProgrammaTrevalto::AggiornaTotaleGiorni() {
    const auto n = static_cast<int64_t>(DataFinale()) - static_cast<int64_t>(DataIniziale());
    const std::string testo =
        "Totale giorni: " + FormattaGiorni(static_cast<int32_t>(n), SimboliUtente());
    SetWindowTextA(finestra_->Controlli().lblTot, ToAnsi(testo).c_str());
}

void ProgrammaTrevalto::ImpostaTooltip(const std::string& testo) {
    if (testo == testoTooltip_ || tooltip_ == nullptr) return;
    testoTooltip_ = testo;
    testoTooltipAnsi_ = ToAnsi(testo);
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = finestra_->Finestra();
    ti.uId = reinterpret_cast<UINT_PTR>(immagine_->Finestra());
    ti.lpszText = testoTooltipAnsi_.data();
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    if (testo.empty()) SendMessageA(tooltip_, TTM_POP, 0, 0);
}

void ProgrammaTrevalto::Grafico_MouseMove(int16_t, int16_t, float X, float Y) {
    ImpostaTooltip(grafico_->TestoTooltip(X, Y));
}

void ProgrammaTrevalto::Grafico_MouseUp(int16_t Button, int16_t, float X, float Y) {
    grafico_->UltimoX = X;
    grafico_->UltimoY = Y;
    if (Button != 2) {
        if (grafico_->Grafico_Visibile() && !run_->Elaborazione_In_Corso()) {
            grafico_->SegnaPunto(kSegnoPunto);
        }
        return;
    }
    POINT p;
    GetCursorPos(&p);
    finestra_->ApriMenuGrafico(p);
}

// --- ComandiFrmMain ---

void ProgrammaTrevalto::AzzeraGrafico() {
    if (grafico_) grafico_->AzzeraGrafico();
}
void ProgrammaTrevalto::ApriVrt() {
    comandi_->ApriVrt();
}
void ProgrammaTrevalto::SalvaComeVrt() {
    comandi_->SalvaComeVrt();
}
void ProgrammaTrevalto::CopiaInClipboard() {
    comandi_->CopiaInClipboard();
}
void ProgrammaTrevalto::AnnullaSegno() {
    grafico_->AnnullaSegno();
}
void ProgrammaTrevalto::SalvaComeBitmap() {
    comandi_->SalvaComeBitmap();
}
void ProgrammaTrevalto::StampaGrafico() {
    comandi_->StampaGrafico();
}
void ProgrammaTrevalto::SegnaPunto(int16_t tipo) {
    grafico_->SegnaPunto(tipo);
}
void ProgrammaTrevalto::RipulisciSegni() {
    grafico_->RipulisciSegni();
}
void ProgrammaTrevalto::AggiornaGrafico() {
    if (grafico_) grafico_->AggiornaGrafico();
}
void ProgrammaTrevalto::cmdElabora_Click() {
    run_->cmdElabora_Click();
}
bool ProgrammaTrevalto::Grafico_Visibile() const {
    return grafico_ && grafico_->Grafico_Visibile();
}
bool ProgrammaTrevalto::Form_QueryUnload(int UnloadMode) {
    return run_ && run_->Form_QueryUnload(UnloadMode);
}

// --- ControlliElaborazione ---

int32_t ProgrammaTrevalto::ContoSelezionato() {
    const HWND lista = finestra_->Controlli().CboConti;
    const LRESULT i = SendMessageA(lista, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return -1;
    return static_cast<int32_t>(SendMessageA(lista, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
}

std::string ProgrammaTrevalto::TestoConto() {
    const HWND lista = finestra_->Controlli().CboConti;
    const LRESULT i = SendMessageA(lista, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return {};
    const LRESULT n = SendMessageA(lista, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == CB_ERR) return {};
    std::string testo(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(lista, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(testo.data()));
    testo.resize(static_cast<size_t>(n));
    return FromAnsi(testo);
}

Data ProgrammaTrevalto::DataIniziale() {
    return LeggiDataPicker(finestra_->Controlli().DataIniziale);
}
Data ProgrammaTrevalto::DataFinale() {
    return LeggiDataPicker(finestra_->Controlli().DataFinale);
}

bool ProgrammaTrevalto::NoStatistiche() {
    return SendMessageA(finestra_->Controlli().chkNoStat, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool ProgrammaTrevalto::Differenza() {
    return SendMessageA(finestra_->Controlli().chkdifferenza, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ProgrammaTrevalto::Abilita(const std::string& controllo, bool abilitato) {
    const ControlliFrmMain& c = finestra_->Controlli();
    if (controllo == "Toolbar1") {
        finestra_->AbilitaToolbar(abilitato);
        return;
    }
    HWND h = nullptr;
    if (controllo == "DataIniziale") h = c.DataIniziale;
    if (controllo == "DataFinale") h = c.DataFinale;
    if (controllo == "chkNoStat") h = c.chkNoStat;
    if (controllo == "CboConti") h = c.CboConti;
    if (controllo == "chkdifferenza") h = c.chkdifferenza;
    if (h != nullptr) EnableWindow(h, abilitato);
}

void ProgrammaTrevalto::CaptionElabora(const std::string& testo) {
    SetWindowTextA(finestra_->Controlli().cmdElabora, ToAnsi(testo).c_str());
}

// The window's own run state drives the button's picture and tooltip, the
// pointer and the enabling of the toolbar and the chart's menu.
void ProgrammaTrevalto::PulsanteElabora(bool inCorso, const std::string& tooltip) {
    finestra_->Elaborazione_In_Corso(inCorso);
    finestra_->TooltipElabora(tooltip);
}

void ProgrammaTrevalto::PuntatoreMouse(int tipo) {
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(tipo == 11 ? 32514 : 32512)));
}

void ProgrammaTrevalto::MostraStato(bool visibile) {
    ShowWindow(finestra_->Controlli().Stato, visibile ? SW_SHOW : SW_HIDE);
}

void ProgrammaTrevalto::ValoreStato(int valore) {
    SendMessageA(finestra_->Controlli().Stato, PBM_SETPOS, static_cast<WPARAM>(valore), 0);
}

void ProgrammaTrevalto::Chiudi() {
    DestroyWindow(finestra_->Finestra());
}

// --- ListaConti, PulsantiGrafico ---

void ProgrammaTrevalto::AggiungiVoce(const std::string& testo, int32_t dati) {
    const HWND lista = finestra_->Controlli().CboConti;
    const LRESULT i =
        SendMessageA(lista, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToAnsi(testo).c_str()));
    if (i >= 0) {
        SendMessageA(lista, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(dati));
    }
}

void ProgrammaTrevalto::Seleziona(int indice) {
    SendMessageA(finestra_->Controlli().CboConti, CB_SETCURSEL, static_cast<WPARAM>(indice), 0);
    finestra_->CboConti_Click();
}

void ProgrammaTrevalto::AbilitaPulsante(const std::string& chiave, bool abilitato) {
    finestra_->AbilitaPulsante(chiave, abilitato);
}

}  // namespace quandora
