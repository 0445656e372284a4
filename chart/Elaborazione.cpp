#include "chart/Elaborazione.h"

#include <cmath>

#include "database/AccessoDati.h"
#include "util/Errore.h"
#include "util/Interazione.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr char kInizia[] = "Inizia la generazione del grafico";
constexpr char kInterrompe[] = "Interrompe la generazione del grafico";

// Whole days from one date to another, as the date pickers' difference.
int64_t GiorniTra(Data da, Data a) {
    return static_cast<int64_t>(std::floor(a)) - static_cast<int64_t>(std::floor(da));
}

int16_t Somma16(int32_t a, int32_t b) {
    const int32_t r = a + b;
    if (r > INT16_MAX || r < INT16_MIN) throw ErroreDiSistema(6);
    return static_cast<int16_t>(r);
}

}  // namespace

PuntoSaldo SerieSaldi::Aggiungi(Data giorno, const Valore& totale, bool differenza) {
    const int16_t numero = Somma16(giorni_, 1);
    double importo = totale.IsNull() ? 0 : totale.ComeDoppio();
    if (differenza) {
        if (giorni_ == 0) {
            base_ = importo;
            importo = 0;
        } else {
            importo -= base_;
        }
    }
    if (giorni_ == 0) {
        massimo_ = importo;
        minimo_ = importo;
    } else {
        if (importo > massimo_) massimo_ = importo;
        if (importo < minimo_) minimo_ = importo;
    }
    giorni_ = numero;
    return {numero, giorno, importo};
}

Elaborazione::Elaborazione(GraficoSaldi& grafico, ControlliElaborazione& finestra, Apertura apri)
    : grafico_(grafico), finestra_(finestra), apri_(std::move(apri)) {
    if (!apri_) apri_ = [](const std::string& percorso) { return ApriDatabase(percorso); };
}

clsQuery& Elaborazione::QuerySaldo() {
    if (!query_) query_ = std::make_unique<clsQuery>();
    return *query_;
}

void Elaborazione::Elaborazione_In_Corso(bool valore) {
    inCorso_ = valore;
    AbilitaParametri(!valore);
    StopRichiesto = !valore;
    if (valore) {
        finestra_.PuntatoreMouse(Puntatore::Clessidra);
        finestra_.PulsanteElabora(true, kInterrompe);
        finestra_.Abilita(Controllo::Toolbar1, false);
    } else {
        finestra_.PuntatoreMouse(Puntatore::Predefinito);
        finestra_.PulsanteElabora(false, kInizia);
        finestra_.Abilita(Controllo::Toolbar1, true);
    }
}

void Elaborazione::AbilitaParametri(bool abilita) {
    for (Controllo controllo :
         {Controllo::DataIniziale, Controllo::DataFinale, Controllo::chkNoStat, Controllo::CboConti,
          Controllo::chkdifferenza}) {
        finestra_.Abilita(controllo, abilita);
    }
    finestra_.CaptionElabora(abilita ? "Elabora" : "Interrompi");
}

bool Elaborazione::Form_QueryUnload(int UnloadMode) {
    if (!inCorso_) return false;
    if (UnloadMode == kChiusuraUtente) return true;
    StopRichiesto = true;
    chiudiDopo_ = true;
    return true;
}

void Elaborazione::cmdElabora_Click() {
    if (inCorso_) {
        const int risposta =
            InterazioneAttiva().MsgBox("Vuoi interrompere l'elaborazione del grafico?",
                                       mb::kYesNo | mb::kIconQuestion, "Conferma");
        if (risposta != mb::kIdNo) StopRichiesto = true;
        return;
    }
    try {
        Esegui();
    } catch (const std::exception& e) {
        if (inCorso_) Elaborazione_In_Corso(false);
        // A failed run does not look as if it were still working: no bar,
        // no "Elaborazione in corso..." left on the picture.
        finestra_.MostraStato(false);
        grafico_.AzzeraGrafico();
        ErroreCorrente().Imposta(ErroreDaEccezione(e));
        uxUtilita().PrintErroreEx("Elaborazione grafico");
    }
    if (chiudiDopo_) {
        chiudiDopo_ = false;
        finestra_.Chiudi();
    }
}

void Elaborazione::Esegui() {
    if (finestra_.DataFinale() < finestra_.DataIniziale()) {
        InterazioneAttiva().MsgBox(
            "La DATA FINALE non può essere minore della DATA INIZIALE. Elaborazione interrotta.",
            mb::kOk | mb::kIconInformation, "Errore");
        return;
    }
    const int32_t conto = finestra_.ContoSelezionato();
    clsQuery& query = QuerySaldo();
    query.NoStatistiche = finestra_.NoStatistiche();
    query.conto = conto;

    const Data inizio = finestra_.DataIniziale();
    const int64_t giorni = GiorniTra(inizio, finestra_.DataFinale()) + 1;
    if (giorni > INT32_MAX) throw ErroreDiSistema(6);
    const auto n = static_cast<int32_t>(giorni);

    grafico_.AzzeraGrafico();
    Superficie& picture = grafico_.Grafico();
    picture.Grassetto(true);
    picture.NomeCarattere("Arial");
    picture.DimensioneCarattere(14);
    const std::string avviso = "Elaborazione in corso...";
    const double altezza = picture.AltezzaTesto(avviso);
    picture.PosizioneX((picture.LarghezzaScala() - picture.LarghezzaTesto(avviso)) / 2);
    picture.PosizioneY((picture.AltezzaScala() - altezza) / 2 - altezza);
    picture.Stampa(avviso);

    grafico_.Testata.ImpostaDescrizione(finestra_.TestoConto());
    grafico_.Testata.DataFine = finestra_.DataFinale();
    grafico_.Testata.DataInizio = inizio;
    grafico_.Testata.NumeroGiorni = n;
    grafico_.Testata.SaldoMinimo = 0;
    grafico_.Testata.SaldoMassimo = 0;

    finestra_.ValoreStato(0);
    finestra_.MostraStato(true);
    grafico_.Saldi.assign(static_cast<size_t>(n), PuntoSaldo{});

    Elaborazione_In_Corso(true);
    Data d = inizio;
    std::unique_ptr<Database> db = apri_(PercorsoDatabase);
    std::chrono::steady_clock::time_point ultimiEventi{};
    // The end date and the difference option are read afresh whenever
    // events have run: only events can change them (their controls are
    // disabled meanwhile), and reading a control for every day costs as
    // much as the day's query.
    Data fine = finestra_.DataFinale();
    bool differenza = finestra_.Differenza();
    SerieSaldi serie;
    while (d <= fine) {
        query.data = d;
        Valore totale;
        {
            auto rs = db->OpenRecordset(query.Query(), dbOpenForwardOnly);
            if (!rs->Eof()) totale = rs->Campo("TotaleEuro");
            rs->Close();
        }
        const PuntoSaldo punto = serie.Aggiungi(d, totale, differenza);
        const int32_t i = punto.Giorno - 1;
        // The end picker moved later during the run: the series grows.
        if (static_cast<size_t>(i) >= grafico_.Saldi.size()) grafico_.Saldi.resize(i + 1);
        grafico_.Saldi[static_cast<size_t>(i)] = punto;
        grafico_.Testata.SaldoMinimo = serie.Minimo();
        grafico_.Testata.SaldoMassimo = serie.Massimo();

        const auto adesso = Adesso();
        const bool eventi = i == 0 || adesso - ultimiEventi >= IntervalloEventi;
        if (eventi) {
            int percento = static_cast<int>(std::trunc(static_cast<double>(i) / n * 100.0));
            if (percento > 100) percento = 100;
            if (percento < 0) percento = 0;
            finestra_.ValoreStato(percento);
        }

        d += 1;
        if (!eventi) continue;
        ultimiEventi = adesso;
        InterazioneAttiva().DoEvents();
        fine = finestra_.DataFinale();
        differenza = finestra_.Differenza();
        if (StopRichiesto) {
            StopRichiesto = false;
            db->Close();
            grafico_.AzzeraGrafico();
            Elaborazione_In_Corso(false);
            finestra_.MostraStato(false);
            return;
        }
    }
    db->Close();
    Elaborazione_In_Corso(false);
    grafico_.AzzeraSegni();
    grafico_.DisegnaGrafico(grafico_.Grafico());
    finestra_.MostraStato(false);
}

}  // namespace quandora
