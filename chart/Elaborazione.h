#pragma once
// The run: the day-by-day balance of an account over a date range, one
// query per day on one connection, drawn as the chart at the end.
//
// The window owns one Elaborazione and implements ControlliElaborazione:
// the parameters the run reads and the controls it changes. While the run
// works it moves the progress bar and lets window events through
// (Interazione's DoEvents), so the click on the same button, which now
// reads "Interrompi", can ask it to stop: after the first day and then
// whenever IntervalloEventi has passed, not after every day, since a
// person sees nothing finer and the window's work would cost more than the
// day's query.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/Grafico.h"
#include "chart/clsQuery.h"
#include "database/Database.h"
#include "util/DataOle.h"

namespace quandora {

// The window's controls, in the order the window creates them (which is
// the tab order of those that take the focus).
enum class Controllo : uint8_t {
    Grafico,
    Stato,
    Toolbar1,
    fraParametri,
    CboConti,
    DataIniziale,
    DataFinale,
    Label3,
    Label2,
    Label1,
    fraOpzioni,
    chkNoStat,
    chkdifferenza,
    fraCmd,
    cmdElabora,
    lblTot,
    imgElabora,
    imgInterrompi,
};
inline constexpr size_t kNumeroControlli = 18;

// The screen's mouse pointer.
enum class Puntatore : uint8_t { Predefinito, Clessidra };

// The window as the run sees it.
class ControlliElaborazione {
  public:
    virtual ~ControlliElaborazione() = default;
    // The selected account's item data (-1: all accounts) and its text.
    virtual int32_t ContoSelezionato() = 0;
    virtual std::string TestoConto() = 0;
    // The pickers' values, read afresh at every call.
    virtual Data DataIniziale() = 0;
    virtual Data DataFinale() = 0;
    // The check boxes chkNoStat and chkdifferenza.
    virtual bool NoStatistiche() = 0;
    virtual bool Differenza() = 0;
    virtual void Abilita(Controllo controllo, bool abilitato) = 0;
    // The run button: its caption; its picture (that of imgInterrompi
    // during a run, imgElabora otherwise) and tooltip.
    virtual void CaptionElabora(const std::string& testo) = 0;
    virtual void PulsanteElabora(bool inCorso, const std::string& tooltip) = 0;
    virtual void PuntatoreMouse(Puntatore puntatore) = 0;
    // The progress bar Stato (minimum 0, maximum 100).
    virtual void MostraStato(bool visibile) = 0;
    virtual void ValoreStato(int valore) = 0;
    // Closes the window (after a run that a close from outside stopped).
    virtual void Chiudi() = 0;
};

// The series of a run, built day by day from the totals the balance query
// reads: the balance arithmetic, apart from the queries, the progress and
// the drawing around it.
class SerieSaldi {
  public:
    // The next day's point from its total (Null or no row: no movements, 0).
    // With the difference option the first day's balance is the zero of the
    // days after it. Past the 32,767th day: error 6 (overflow).
    PuntoSaldo Aggiungi(Data giorno, const Valore& totale, bool differenza);
    double Minimo() const { return minimo_; }
    double Massimo() const { return massimo_; }

  private:
    int16_t giorni_ = 0;
    double base_ = 0;
    double minimo_ = 0;
    double massimo_ = 0;
};

// Unload modes of Form_QueryUnload.
constexpr int kChiusuraUtente = 0;  // the close box or the system menu
constexpr int kChiusuraProgramma = 1;
constexpr int kChiusuraSessione = 2;  // the end of the Windows session

class Elaborazione {
  public:
    using Apertura = std::function<std::unique_ptr<Database>(const std::string&)>;

    // apri opens the run's database (ApriDatabase by default).
    Elaborazione(GraficoSaldi& grafico, ControlliElaborazione& finestra, Apertura apri = {});

    // The database file of the runs.
    std::string PercorsoDatabase;
    // Stop requested; polled whenever window events have been let through.
    bool StopRichiesto = false;
    // How often a run updates the progress bar and lets events through,
    // and the clock it reads (tests give their own).
    std::chrono::milliseconds IntervalloEventi{30};
    std::function<std::chrono::steady_clock::time_point()> Adesso = std::chrono::steady_clock::now;

    bool Elaborazione_In_Corso() const { return inCorso_; }
    void Elaborazione_In_Corso(bool valore);
    void AbilitaParametri(bool abilita);

    // The run button: starts a run, or during one asks whether to stop it.
    void cmdElabora_Click();

    // True (Cancel) when the window must stay open. During a run the close
    // box is refused; any other close stops the run and closes the window
    // once the run has ended, so that the run never touches controls that
    // are gone.
    bool Form_QueryUnload(int UnloadMode);

    // The query of the runs, made on first use.
    clsQuery& QuerySaldo();

  private:
    void Esegui();

    GraficoSaldi& grafico_;
    ControlliElaborazione& finestra_;
    Apertura apri_;
    bool inCorso_ = false;
    bool chiudiDopo_ = false;
    std::unique_ptr<clsQuery> query_;
};

}  // namespace quandora
