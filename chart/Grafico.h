#pragma once
// The chart of the main window: its header, the day-by-day series, the
// marks the user has placed (undo is a stack of marks), the drawing on a
// surface, the dates and amounts read off a position, and the chart file
// (VRT).
//
// The window owns one GraficoSaldi for its whole life and hands it the
// picture's surface (FinestraGrafico::Superficie() on Windows) and the
// toolbar's buttons; it calls AzzeraSegni once at start-up. Its mouse
// handlers store the release position in UltimoX and UltimoY, call
// SegnaPunto, and set the picture's tooltip to TestoTooltip. Nothing here
// traps errors: they reach the window's command that called.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/Formati.h"
#include "chart/Superficie.h"
#include "util/DataOle.h"

namespace quandora {

constexpr int kLunghezzaDescrizione = 255;

struct TestataGrafico {
    // Days in the chart, first and last included; 0: there is no chart.
    int32_t NumeroGiorni = 0;
    double SaldoMinimo = 0;
    double SaldoMassimo = 0;
    double DataInizio = 0;  // a Data
    double DataFine = 0;    // a Data
    // Fixed-width text of 255 characters, padded with spaces (UTF-8; each
    // character is one byte of the ANSI code page in the file).
    std::string Descrizione = std::string(kLunghezzaDescrizione, ' ');

    // Assigns the account text left-aligned: cut at 255 characters, padded
    // with spaces up to them.
    void ImpostaDescrizione(std::string_view testo);
};

struct PuntoSaldo {
    int32_t Giorno = 0;  // 1-based day number
    double Data = 0;     // the day
    double Saldo = 0;    // the amount drawn for it
};

using TipoSegno = int16_t;
constexpr TipoSegno kSegnoPunto = 0;    // date and amount
constexpr TipoSegno kSegnoImporto = 1;  // amount only
constexpr TipoSegno kSegnoData = 2;     // date only

struct SegnoGrafico {
    float X = 0;  // chart units, where the button was released
    float Y = 0;
    double Data = 0;
    double Importo = 0;
    TipoSegno Tipo = 0;
};

// The index of a mark is 16-bit: no more marks than this.
constexpr int kMassimoSegni = 32767;

// The toolbar as the chart sees it: the buttons that need a chart follow
// Grafico_Visibile. The window implements it.
class PulsantiGrafico {
  public:
    virtual ~PulsantiGrafico() = default;
    virtual void AbilitaPulsante(const std::string& chiave, bool abilitato) = 0;
};

// The date and amount under a position of the picture.
struct LetturaGrafico {
    Data Giorno = 0;
    double Importo = 0;
};

class GraficoSaldi {
  public:
    // grafico: the window's picture, which keeps its drawing; pulsanti: the
    // toolbar. Both outlive the chart.
    GraficoSaldi(Superficie& grafico, PulsantiGrafico& pulsanti)
        : grafico_(grafico), pulsanti_(pulsanti) {}

    TestataGrafico Testata;
    // Lower bound 0. Empty before the first reset, run or file.
    std::vector<PuntoSaldo> Saldi;
    // Element 0 is a placeholder, never drawn; the marks are 1 to the upper
    // bound, in the order they were made.
    std::vector<SegnoGrafico> Segni;
    // Position of the last button release over the picture (chart units).
    float UltimoX = 0;
    float UltimoY = 0;

    // The regional symbols for amounts; the user's by default.
    std::function<SimboliNumerici()> Simboli = SimboliUtente;

    Superficie& Grafico() { return grafico_; }

    bool Grafico_Visibile() const { return visibile_; }
    // Stores the flag, then enables or disables the buttons "save",
    // "clipboard", "undo", "bitmap" and "printer", in this order.
    void Grafico_Visibile(bool valore);

    // The number of marks (the upper bound of Segni; -1 before any reset).
    int LimiteSegni() const { return static_cast<int>(Segni.size()) - 1; }

    void AzzeraSegni();
    // Appends a mark; draws nothing. False, and nothing changes, when the
    // chart already holds the most marks a 16-bit index can count.
    bool AggiungiSegno(const float& x, const float& y, const Data& data, const double& importo,
                       const TipoSegno& tipo);
    void AzzeraGrafico();
    void RipulisciSegni();
    void AnnullaSegno();
    void AggiornaGrafico();
    void DisegnaSegni(Superficie& superficie);

    // Drawing.
    void ImpostaScala(Superficie& superficie);
    // Throws error 11 (division by zero) without a chart.
    void CalcolaScala(double& ScalaX, double& ScalaY) const;
    void DisegnaGrafico(Superficie& superficie);
    void DisegnaSegno(Superficie& superficie, const float& x, const float& y, const Data& data,
                      const double& importo, const TipoSegno& tipo);

    // Mouse.
    // The date and amount at (x, y), without clamping.
    LetturaGrafico LeggiPosizione(float x, float y) const;
    // The picture's tooltip for the pointer at (X, Y): "" without a chart,
    // else the date "dd-MM-yyyy", " E." and the amount, the position first
    // clamped into the plot area.
    std::string TestoTooltip(float X, float Y) const;
    // Marks (UltimoX, UltimoY) with the kind given and draws the mark over
    // the picture. False, with nothing changed, outside the plot area or
    // when no more marks fit.
    bool SegnaPunto(TipoSegno Tipo);

    // Chart file.
    // Writes the chart to the file (through a temporary file beside it);
    // does nothing without a chart. File errors are thrown.
    void SalvaVrtFile(const std::string& nomeFile) const;
    // Reads the file into the chart; on any error the chart is unchanged.
    // Throws 7881 for a file of another format, 7882 for data that cannot
    // be a chart, the file's own error when it cannot be read.
    void ApriVrtFile(const std::string& nomeFile);

  private:
    Superficie& grafico_;
    PulsantiGrafico& pulsanti_;
    bool visibile_ = false;
};

// The chart file's form, for the file methods and whoever reads bytes
// without a window.
struct ContenutoVrt {
    TestataGrafico Testata;
    std::vector<PuntoSaldo> Saldi;
    std::vector<SegnoGrafico> Segni;
};

class FileInLettura;
std::string CodificaVrt(const TestataGrafico& testata, const std::vector<PuntoSaldo>& saldi,
                        const std::vector<SegnoGrafico>& segni);
ContenutoVrt LeggiVrt(FileInLettura& file);

}  // namespace quandora
