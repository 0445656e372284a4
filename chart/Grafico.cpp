#include "chart/Grafico.h"

#include <cmath>

#include "util/Errore.h"
#include "util/Testo.h"

namespace quandora {

namespace {

// Chart units: every surface is 3000 by 3000 whatever its pixels.
constexpr double kScala = 3000;
constexpr double kSinistra = 400;       // x of the first day
constexpr double kMargineDestro = 400;  // the plot ends at W - 400
constexpr double kLarghezza = 2200;     // shared out among the days
constexpr double kAlto = 400;           // y of the highest amount
constexpr double kAltezza = 2300;       // spans the amount range
constexpr double kMargineBasso = 300;   // the lowest amount at H - 300
constexpr double kSottoGiorni = 50;     // day lines reach H - 300 + 50
constexpr double kTitolo = 50;          // top of the title

constexpr Colore kBlu = RGBColore(0, 0, 255);
constexpr Colore kNero = RGBColore(0, 0, 0);
const char* const kArial = "Arial";

// A label that ends one "M" left of the plot, centred on the height y.
void EtichettaImporto(Superficie& s, double y, const std::string& etichetta) {
    s.PosizioneX(kSinistra - s.LarghezzaTesto(etichetta) - s.LarghezzaTesto("M"));
    s.PosizioneY(y - s.AltezzaTesto(etichetta) / 2);
    s.Stampa(etichetta);
}

}  // namespace

void TestataGrafico::ImpostaDescrizione(std::string_view testo) {
    // Characters, not bytes: the file holds one byte for each.
    std::string out;
    size_t pos = 0;
    int n = 0;
    while (pos < testo.size() && n < kLunghezzaDescrizione) {
        AppendUtf8(out, NextUtf8(testo, pos));
        ++n;
    }
    out.append(static_cast<size_t>(kLunghezzaDescrizione - n), ' ');
    Descrizione = std::move(out);
}

void GraficoSaldi::Grafico_Visibile(bool valore) {
    visibile_ = valore;
    for (const char* chiave : {"save", "clipboard", "undo", "bitmap", "printer"})
        pulsanti_.AbilitaPulsante(chiave, valore);
}

void GraficoSaldi::AzzeraSegni() {
    Segni.assign(1, SegnoGrafico{});
}

bool GraficoSaldi::AggiungiSegno(const float& x, const float& y, const Data& data,
                                 const double& importo, const TipoSegno& tipo) {
    // The index is 16-bit: a 32,768th mark has no place (nor does one made
    // before the array's first reset, which never happens in the program).
    if (Segni.empty() || LimiteSegni() >= kMassimoSegni) return false;
    Segni.push_back(SegnoGrafico{x, y, data, importo, tipo});
    return true;
}

void GraficoSaldi::AzzeraGrafico() {
    Grafico_Visibile(false);
    grafico_.Cancella();
    Testata.ImpostaDescrizione("");
    Testata.DataFine = 0;
    Testata.DataInizio = 0;
    Testata.NumeroGiorni = 0;
    Testata.SaldoMinimo = 0;
    Testata.SaldoMassimo = 0;
    Saldi.assign(1, PuntoSaldo{});
    AzzeraSegni();
}

void GraficoSaldi::RipulisciSegni() {
    AzzeraSegni();
    DisegnaGrafico(grafico_);
}

void GraficoSaldi::AnnullaSegno() {
    const int n = LimiteSegni();
    if (n < 1) {
        AzzeraGrafico();
        return;
    }
    Segni.resize(static_cast<size_t>(n));
    DisegnaGrafico(grafico_);
    DisegnaSegni(grafico_);
}

void GraficoSaldi::AggiornaGrafico() {
    DisegnaGrafico(grafico_);
    DisegnaSegni(grafico_);
}

void GraficoSaldi::DisegnaSegni(Superficie& superficie) {
    const int limite = LimiteSegni();
    for (int i = 1; i <= limite; ++i) {
        const SegnoGrafico& s = Segni[static_cast<size_t>(i)];
        DisegnaSegno(superficie, s.X, s.Y, s.Data, s.Importo, s.Tipo);
    }
}

void GraficoSaldi::ImpostaScala(Superficie& superficie) {
    superficie.ScalaUtente(0, 0, kScala, kScala);
}

void GraficoSaldi::CalcolaScala(double& ScalaX, double& ScalaY) const {
    if (Testata.NumeroGiorni == 0) throw ErroreDiSistema(11);
    ScalaX = kLarghezza / Testata.NumeroGiorni;
    double intervallo = Testata.SaldoMassimo - Testata.SaldoMinimo;
    if (intervallo < 1) intervallo = 1;
    ScalaY = kAltezza / intervallo;
}

void GraficoSaldi::DisegnaGrafico(Superficie& s) {
    const bool picture = &s == &grafico_;
    if (picture) {
        Grafico_Visibile(false);
        s.Cancella();
    }
    ImpostaScala(s);
    double scalaX = 0;
    double scalaY = 0;
    CalcolaScala(scalaX, scalaY);
    const double W = s.LarghezzaScala();
    const double H = s.AltezzaScala();

    s.ColorePenna(kBlu);
    s.SpessorePenna(2);
    s.StilePenna(StileTratto::Continuo);
    s.NomeCarattere(kArial);
    s.DimensioneCarattere(10);
    s.Grassetto(false);

    // The series: a dot on the first day, a segment to every following
    // day, a dot on the last.
    const size_t limite = Saldi.size();
    double xPrec = 0;
    double yPrec = 0;
    for (size_t i = 0; i < limite; ++i) {
        const PuntoSaldo& p = Saldi[i];
        const double x = kSinistra + (static_cast<double>(p.Giorno) - 1) * scalaX;
        const double y = kAlto + (Testata.SaldoMassimo - p.Saldo) * scalaY;
        if (i == 0) {
            s.SpessorePenna(4);
            s.Punto(x, y);
        } else {
            s.SpessorePenna(2);
            s.Linea(xPrec, yPrec, x, y);
        }
        if (i + 1 == limite) {
            s.SpessorePenna(4);
            s.Punto(x, y);
        }
        xPrec = x;
        yPrec = y;
    }

    // Dashed guide lines at the highest, the lowest and (when the range
    // crosses it) the zero amount, each labelled on the left.
    const SimboliNumerici simboli = Simboli();
    s.ColorePenna(kNero);
    s.SpessorePenna(1);
    s.StilePenna(StileTratto::Tratteggiato);
    const double yMassimo = kAlto;
    s.Linea(kSinistra, yMassimo, W - kMargineDestro, yMassimo);
    EtichettaImporto(s, yMassimo, FormattaImporto(Testata.SaldoMassimo, simboli));
    const double yMinimo = kAlto + (Testata.SaldoMassimo - Testata.SaldoMinimo) * scalaY;
    s.Linea(kSinistra, yMinimo, W - kMargineDestro, yMinimo);
    EtichettaImporto(s, yMinimo, FormattaImporto(Testata.SaldoMinimo, simboli));
    if (Testata.SaldoMinimo < 0 && Testata.SaldoMassimo > 0) {
        const double yZero = kAlto + Testata.SaldoMassimo * scalaY;
        s.Linea(kSinistra, yZero, W - kMargineDestro, yZero);
        EtichettaImporto(s, yZero, FormattaImporto(0, simboli));
    }

    // Solid lines at the first and the last day, dated below the plot.
    s.ColorePenna(kNero);
    s.SpessorePenna(1);
    s.StilePenna(StileTratto::Continuo);
    const double yb = H - kMargineBasso + kSottoGiorni;
    s.Linea(kSinistra, kAlto, kSinistra, yb);
    const std::string inizio = FormattaDataBreve(Testata.DataInizio);
    s.PosizioneX(kSinistra - s.LarghezzaTesto(inizio) / 2);
    s.PosizioneY(yb);
    s.Stampa(inizio);
    const double n = static_cast<double>(Saldi.size()) - 1;
    const double xe = kSinistra + n * scalaX;
    s.Linea(xe, kAlto, xe, yb);
    const std::string fine = FormattaDataBreve(Testata.DataFine);
    s.PosizioneX(xe - s.LarghezzaTesto(fine) / 2);
    s.PosizioneY(yb);
    s.Stampa(fine);

    // Two-line title, centred.
    s.DimensioneCarattere(14);
    s.Grassetto(true);
    s.NomeCarattere(kArial);
    const std::string titolo = "Grafico Trevalto Saldo dal " +
                               FormattaDataLunga(Testata.DataInizio) + " al " +
                               FormattaDataLunga(Testata.DataFine);
    s.PosizioneX((W - s.LarghezzaTesto(titolo)) / 2);
    s.PosizioneY(kTitolo);
    s.Stampa(titolo);
    const std::string conto = TogliSpazi(Testata.Descrizione);
    s.PosizioneX((W - s.LarghezzaTesto(conto)) / 2);
    s.PosizioneY(kTitolo + s.AltezzaTesto(conto));
    s.Stampa(conto);

    if (picture) Grafico_Visibile(true);
}

void GraficoSaldi::DisegnaSegno(Superficie& s, const float& x, const float& y, const Data& data,
                                const double& importo, const TipoSegno& tipo) {
    s.StilePenna(StileTratto::Tratteggiato);
    s.ColorePenna(kNero);
    s.SpessorePenna(1);
    s.NomeCarattere(kArial);
    s.DimensioneCarattere(8);
    s.Grassetto(false);
    const double W = s.LarghezzaScala();
    const double H = s.AltezzaScala();
    if (tipo != kSegnoImporto) {
        s.Linea(x, kAlto, x, H - kMargineBasso);
        const std::string etichetta = FormattaDataBreve(data);
        s.PosizioneX(x - s.LarghezzaTesto(etichetta) / 2);
        s.PosizioneY(H - kMargineBasso + kSottoGiorni);
        s.Stampa(etichetta);
    }
    if (tipo != kSegnoData) {
        s.Linea(kSinistra, y, W - kMargineDestro, y);
        EtichettaImporto(s, y, FormattaImporto(importo, Simboli()));
    }
}

LetturaGrafico GraficoSaldi::LeggiPosizione(float x, float y) const {
    double scalaX = 0;
    double scalaY = 0;
    CalcolaScala(scalaX, scalaY);
    // The day offset is kept in single precision, as the mark keeps it.
    const float giorni = static_cast<float>((static_cast<double>(x) - kSinistra) / scalaX);
    LetturaGrafico l;
    l.Giorno = Testata.DataInizio + std::round(static_cast<double>(giorni));
    l.Importo = Testata.SaldoMassimo - (static_cast<double>(y) - kAlto) / scalaY;
    return l;
}

std::string GraficoSaldi::TestoTooltip(float X, float Y) const {
    if (!visibile_) return std::string();
    // The upper limits of the plot in single precision, as the position.
    const float destra = static_cast<float>(grafico_.LarghezzaScala() - kMargineDestro);
    const float basso = static_cast<float>(grafico_.AltezzaScala() - kMargineBasso);
    float x = X;
    float y = Y;
    if (x < static_cast<float>(kSinistra)) x = static_cast<float>(kSinistra);
    if (x > destra) x = destra;
    if (y < static_cast<float>(kAlto)) y = static_cast<float>(kAlto);
    if (y > basso) y = basso;
    const LetturaGrafico l = LeggiPosizione(x, y);
    return FormattaDataLunga(l.Giorno) + " E." + FormattaImporto(l.Importo, Simboli());
}

bool GraficoSaldi::SegnaPunto(TipoSegno Tipo) {
    double scalaX = 0;
    double scalaY = 0;
    CalcolaScala(scalaX, scalaY);
    const float destra = static_cast<float>(grafico_.LarghezzaScala() - kMargineDestro);
    const float basso = static_cast<float>(grafico_.AltezzaScala() - kMargineBasso);
    // NaN fails every comparison: refuse it too.
    if (!(UltimoX >= static_cast<float>(kSinistra) && UltimoX <= destra &&
          UltimoY >= static_cast<float>(kAlto) && UltimoY <= basso))
        return false;
    const LetturaGrafico l = LeggiPosizione(UltimoX, UltimoY);
    const float x = UltimoX;
    const float y = UltimoY;
    if (!AggiungiSegno(x, y, l.Giorno, l.Importo, Tipo)) return false;
    DisegnaSegno(grafico_, x, y, l.Giorno, l.Importo, Tipo);
    return true;
}

}  // namespace quandora
