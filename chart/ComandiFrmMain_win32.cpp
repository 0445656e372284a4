#include "chart/ComandiFrmMain_win32.h"

#include <commctrl.h>

#include <array>

#include "chart/Programma_win32.h"
#include "chart/RisorseTrevalto.h"

namespace quandora {

namespace {

using enum Controllo;
using enum TipoCarattere;

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP | WS_GROUP;

// Not a default button: Enter in the parameters must not start a run,
// which drops the chart on the screen and its marks. The run button's two
// pictures are kept in hidden images, as the button borrows them.
// clang-format off
constexpr std::array<ProgettoControllo, kNumeroControlli> kControlli{{
    {Grafico,       nullptr,             nullptr,         WS_VISIBLE,                 {},           {120, 2640, 8055, 4215},  Nessuno},
    {Stato,         PROGRESS_CLASSA,     nullptr,         0,                          {},           {0, 7350, 12330, 375},    Nessuno},
    {Toolbar1,      TOOLBARCLASSNAMEA,   nullptr,         WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                                                                                      {},           {0, 0, 12330, 360},       Nessuno},
    {fraParametri,  WC_BUTTONA,          "Parametri ",    WS_VISIBLE | BS_GROUPBOX,   {},           {120, 480, 4335, 2055},   Grassetto},
    {CboConti,      WC_COMBOBOXA,        nullptr,         kTab | WS_VSCROLL | CBS_DROPDOWNLIST,
                                                                                      fraParametri, {120, 480, 3855, 360},    Grande},
    {DataIniziale,  DATETIMEPICK_CLASSA, nullptr,         kTab | DTS_SHORTDATEFORMAT, fraParametri, {120, 1200, 1695, 375},   Grande},
    {DataFinale,    DATETIMEPICK_CLASSA, nullptr,         kTab | DTS_SHORTDATEFORMAT, fraParametri, {2280, 1200, 1695, 375},  Grande},
    {Label3,        WC_STATICA,          "Conto:",        WS_VISIBLE | SS_LEFT,       fraParametri, {120, 240, 1335, 495},    Regolare},
    {Label2,        WC_STATICA,          "Data Finale:",  WS_VISIBLE | SS_LEFT,       fraParametri, {2280, 960, 1335, 375},   Regolare},
    {Label1,        WC_STATICA,          "Data Iniziale:", WS_VISIBLE | SS_LEFT,      fraParametri, {120, 960, 1335, 375},    Regolare},
    {fraOpzioni,    WC_BUTTONA,          "Opzioni ",      WS_VISIBLE | BS_GROUPBOX,   {},           {4560, 480, 4935, 2055},  Grassetto},
    {chkNoStat,     WC_BUTTONA,          "Esclude i movimenti con il flag No Statistiche",
                                                          kTab | BS_AUTOCHECKBOX,     fraOpzioni,   {240, 480, 4215, 255},    Regolare},
    {chkdifferenza, WC_BUTTONA,          "Relativo rispetto al saldo della data iniziale",
                                                          kTab | BS_AUTOCHECKBOX | BS_MULTILINE,
                                                                                      fraOpzioni,   {240, 840, 3615, 495},    Regolare},
    {fraCmd,        WC_BUTTONA,          "Comandi ",      WS_VISIBLE | BS_GROUPBOX,   {},           {9600, 480, 1215, 2055},  Grassetto},
    {cmdElabora,    WC_BUTTONA,          "Elabora",       kTab | BS_PUSHBUTTON,       fraCmd,       {120, 600, 975, 735},     Regolare},
    {lblTot,        WC_STATICA,          "Totale giorni:", WS_VISIBLE | SS_LEFT,      fraParametri, {120, 1680, 3855, 300},   Regolare},
    {imgElabora,    WC_STATICA,          nullptr,         SS_ICON,                    {},           {8400, 3360, 240, 240},   Nessuno},
    {imgInterrompi, WC_STATICA,          nullptr,         SS_ICON,                    {},           {8400, 3000, 240, 240},   Nessuno},
}};
// clang-format on

constexpr bool InOrdine() {
    for (size_t i = 0; i < kControlli.size(); ++i)
        if (static_cast<size_t>(kControlli[i].controllo) != i) return false;
    return true;
}
static_assert(InOrdine(), "the table of controls follows Controllo");

using P = ProgrammaTrevalto;
constexpr Comando kSeparatore{0, nullptr, nullptr, 0, Regola::Sempre, nullptr};

const Comando kToolbar[] = {
    {100, "clear", "Nuovo grafico", IDI_NUOVO, Regola::Sempre,
     [](P& p) { p.Grafico().AzzeraGrafico(); }},
    {101, "open", "Apri file Grafico Trevalto Saldo...", IDI_APRI, Regola::Sempre,
     [](P& p) { p.Comandi().ApriVrt(); }},
    {102, "save", "Salva Grafico Trevalto Saldo come file...", IDI_SALVA, Regola::ConGrafico,
     [](P& p) { p.Comandi().SalvaComeVrt(); }},
    kSeparatore,
    {103, "clipboard", "Copia l'immagine del grafico negli appunti di sistema", IDI_APPUNTI,
     Regola::ConGrafico, [](P& p) { p.Comandi().CopiaInClipboard(); }},
    {104, "undo", "Annulla l'ultima operazione", IDI_ANNULLA, Regola::ConGrafico,
     [](P& p) { p.Grafico().AnnullaSegno(); }},
    {105, "bitmap", "Esporta Grafico come file immagine bitmap...", IDI_IMMAGINE,
     Regola::ConGrafico, [](P& p) { p.Comandi().SalvaComeBitmap(); }},
    kSeparatore,
    {106, "printer", "Stampa Grafico Trevalto Saldo", IDI_STAMPANTE, Regola::ConGrafico,
     [](P& p) { p.Comandi().StampaGrafico(); }},
    kSeparatore,
    {107, "help", nullptr, IDI_GUIDA, Regola::Sempre, [](P& p) { p.Finestra().ApriGuida(); }},
};

// The first item is the menu's default.
const Comando kMenu[] = {
    {200, nullptr, "Segna punto", 0, Regola::ConGrafico,
     [](P& p) { p.Grafico().SegnaPunto(kSegnoPunto); }},
    {201, nullptr, "&Segna importo", 0, Regola::ConGrafico,
     [](P& p) { p.Grafico().SegnaPunto(kSegnoImporto); }},
    {202, nullptr, "&Segna data", 0, Regola::ConGrafico,
     [](P& p) { p.Grafico().SegnaPunto(kSegnoData); }},
    {203, nullptr, "Annulla", 0, Regola::ConGrafico, [](P& p) { p.Grafico().AnnullaSegno(); }},
    kSeparatore,
    {204, nullptr, "Ripulisce", 0, Regola::ConGrafico, [](P& p) { p.Grafico().RipulisciSegni(); }},
    kSeparatore,
    {205, nullptr, "Copia in clipboard", 0, Regola::ConGrafico,
     [](P& p) { p.Comandi().CopiaInClipboard(); }},
    {206, nullptr, "Salva come immagine...", 0, Regola::ConGrafico,
     [](P& p) { p.Comandi().SalvaComeBitmap(); }},
    {207, nullptr, "Salva come VRT File...", 0, Regola::ConGrafico,
     [](P& p) { p.Comandi().SalvaComeVrt(); }},
    kSeparatore,
    {208, nullptr, "Apri VRT File...", 0, Regola::Sempre, [](P& p) { p.Comandi().ApriVrt(); }},
    kSeparatore,
    {209, nullptr, "Aggiorna", 0, Regola::ConGrafico, [](P& p) { p.Grafico().AggiornaGrafico(); }},
    kSeparatore,
    {210, nullptr, "&Stampa", 0, Regola::ConGrafico, [](P& p) { p.Comandi().StampaGrafico(); }},
};

}  // namespace

std::span<const ProgettoControllo> ProgettoControlli() {
    return kControlli;
}

const ProgettoControllo& Progetto(Controllo c) {
    return kControlli[static_cast<size_t>(c)];
}

Rettangolo PostoNelCliente(Controllo c) {
    Rettangolo r = Progetto(c).posto;
    if (const auto cornice = Progetto(c).cornice) {
        r.sinistra += Progetto(*cornice).posto.sinistra;
        r.alto += Progetto(*cornice).posto.alto;
    }
    return r;
}

std::span<const Comando> ComandiToolbar() {
    return kToolbar;
}

std::span<const Comando> ComandiMenu() {
    return kMenu;
}

const Comando* CercaComando(int id) {
    if (id == 0) return nullptr;
    for (auto tabella : {ComandiToolbar(), ComandiMenu()})
        for (const Comando& c : tabella)
            if (c.id == id) return &c;
    return nullptr;
}

}  // namespace quandora
