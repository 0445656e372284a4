#include <windows.h>

#include "chart/Programma_win32.h"

#include <commctrl.h>

#include <cmath>

#include "chart/Formati.h"
#include "util/Testo.h"

namespace quandora {

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
    FinestraGrafico& immagine = finestra_->Immagine();
    grafico_ = std::make_unique<GraficoSaldi>(immagine.Superficie(), *this);
    run_ = std::make_unique<Elaborazione>(*grafico_, *this);
    comandi_ = std::make_unique<ComandiGrafico>(*grafico_, immagine, hwnd);

    immagine.MouseMove = [this](int16_t b, int16_t s, float x, float y) {
        Grafico_MouseMove(b, s, x, y);
    };
    immagine.MouseUp = [this](int16_t b, int16_t s, float x, float y) {
        Grafico_MouseUp(b, s, x, y);
    };

    // The picture's tooltip: a tooltip control bound to it, whose text
    // follows the mouse. The window owns it.
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ != nullptr) {
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(immagine.Finestra());
        ti.lpszText = const_cast<char*>("");
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

ProgrammaTrevalto::~ProgrammaTrevalto() {
    // The parts that use the window and its picture go before them.
    comandi_.reset();
    run_.reset();
    grafico_.reset();
    finestra_.reset();
}

bool ProgrammaTrevalto::Form_Initialize() {
    return InizializzaProgramma(*this, *run_, *grafico_);
}

void ProgrammaTrevalto::Form_Load() {
    finestra_->TooltipElabora("Inizia la generazione del grafico");
    SYSTEMTIME oggi;
    GetLocalTime(&oggi);
    ScriviDataPicker(finestra_->Finestra(Controllo::DataIniziale), DataSerial(oggi.wYear, 1, 1));
    ScriviDataPicker(finestra_->Finestra(Controllo::DataFinale),
                     DataSerial(oggi.wYear, oggi.wMonth, oggi.wDay));
    AggiornaTotaleGiorni();
}

void ProgrammaTrevalto::AggiornaTotaleGiorni() {
    const auto n = static_cast<int64_t>(DataFinale()) - static_cast<int64_t>(DataIniziale());
    const std::string testo =
        "Totale giorni: " + FormattaGiorni(static_cast<int32_t>(n), SimboliUtente());
    SetWindowTextA(finestra_->Finestra(Controllo::lblTot), ToAnsi(testo).c_str());
}

void ProgrammaTrevalto::ImpostaTooltip(const std::string& testo) {
    if (testo == testoTooltip_ || tooltip_ == nullptr) return;
    testoTooltip_ = testo;
    testoTooltipAnsi_ = ToAnsi(testo);
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = finestra_->Finestra();
    ti.uId = reinterpret_cast<UINT_PTR>(finestra_->Immagine().Finestra());
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

bool ProgrammaTrevalto::Grafico_Visibile() const {
    return grafico_ && grafico_->Grafico_Visibile();
}

// --- ControlliElaborazione ---

int32_t ProgrammaTrevalto::ContoSelezionato() {
    const HWND lista = finestra_->Finestra(Controllo::CboConti);
    const LRESULT i = SendMessageA(lista, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return -1;
    return static_cast<int32_t>(SendMessageA(lista, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
}

std::string ProgrammaTrevalto::TestoConto() {
    const HWND lista = finestra_->Finestra(Controllo::CboConti);
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
    return LeggiDataPicker(finestra_->Finestra(Controllo::DataIniziale));
}
Data ProgrammaTrevalto::DataFinale() {
    return LeggiDataPicker(finestra_->Finestra(Controllo::DataFinale));
}

bool ProgrammaTrevalto::NoStatistiche() {
    return SendMessageA(finestra_->Finestra(Controllo::chkNoStat), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}
bool ProgrammaTrevalto::Differenza() {
    return SendMessageA(finestra_->Finestra(Controllo::chkdifferenza), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

void ProgrammaTrevalto::Abilita(Controllo controllo, bool abilitato) {
    if (controllo == Controllo::Toolbar1)
        finestra_->AbilitaToolbar(abilitato);
    else
        EnableWindow(finestra_->Finestra(controllo), abilitato);
}

void ProgrammaTrevalto::CaptionElabora(const std::string& testo) {
    SetWindowTextA(finestra_->Finestra(Controllo::cmdElabora), ToAnsi(testo).c_str());
}

// The window's own run state drives the button's picture and tooltip, the
// pointer and the enabling of the toolbar and the chart's menu.
void ProgrammaTrevalto::PulsanteElabora(bool inCorso, const std::string& tooltip) {
    finestra_->Elaborazione_In_Corso(inCorso);
    finestra_->TooltipElabora(tooltip);
}

void ProgrammaTrevalto::PuntatoreMouse(Puntatore puntatore) {
    // IDC_WAIT, IDC_ARROW
    SetCursor(
        LoadCursorA(nullptr, MAKEINTRESOURCEA(puntatore == Puntatore::Clessidra ? 32514 : 32512)));
}

void ProgrammaTrevalto::MostraStato(bool visibile) {
    ShowWindow(finestra_->Finestra(Controllo::Stato), visibile ? SW_SHOW : SW_HIDE);
}

void ProgrammaTrevalto::ValoreStato(int valore) {
    SendMessageA(finestra_->Finestra(Controllo::Stato), PBM_SETPOS, static_cast<WPARAM>(valore), 0);
}

void ProgrammaTrevalto::Chiudi() {
    DestroyWindow(finestra_->Finestra());
}

// --- ListaConti, PulsantiGrafico ---

void ProgrammaTrevalto::AggiungiVoce(const std::string& testo, int32_t dati) {
    const HWND lista = finestra_->Finestra(Controllo::CboConti);
    const LRESULT i =
        SendMessageA(lista, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToAnsi(testo).c_str()));
    if (i >= 0) {
        SendMessageA(lista, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(dati));
    }
}

void ProgrammaTrevalto::Seleziona(int indice) {
    SendMessageA(finestra_->Finestra(Controllo::CboConti), CB_SETCURSEL,
                 static_cast<WPARAM>(indice), 0);
    finestra_->CboConti_Click();
}

void ProgrammaTrevalto::AbilitaPulsante(const std::string& chiave, bool abilitato) {
    finestra_->AbilitaPulsante(chiave, abilitato);
}

}  // namespace quandora
