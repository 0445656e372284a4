#pragma once
// A surface that draws nothing and records every operation, with the pen
// and font in force, in user units: the layout of the chart can be read
// back from it. Its text metrics are simple and fixed: every character is
// 0.6 times the font's points times 10 units wide (6 units for each point),
// a text is the font's points times 10 units high.

#include <vector>

#include "chart/Superficie.h"

namespace quandora {

class SuperficieRegistrata : public Superficie {
  public:
    enum class Op {
        Cancella,
        ScalaUtente,
        ColorePenna,
        SpessorePenna,
        StilePenna,
        NomeCarattere,
        DimensioneCarattere,
        Grassetto,
        Linea,
        Punto,
        LarghezzaTesto,
        AltezzaTesto,
        PosizioneX,
        PosizioneY,
        Stampa,
    };

    // The pen and font as they stood when an operation was recorded.
    struct StatoPenna {
        quandora::Colore Tinta = 0;
        int Spessore = 1;
        StileTratto Stile = StileTratto::Continuo;
        std::string Carattere = "MS Sans Serif";
        double Punti = 8;
        bool Grassetto = false;
        double X = 0;  // current position
        double Y = 0;
    };

    struct Operazione {
        Op Tipo;
        double A = 0, B = 0, C = 0, D = 0;  // coordinates, value set or measured
        std::string Testo;                  // text printed or measured, font name
        StatoPenna Stato;                   // after the operation
    };

    std::vector<Operazione> Operazioni;

    // Width of one character per point of the font, in user units.
    static constexpr double kLarghezzaPerPunto = 6;
    static constexpr double kAltezzaPerPunto = 10;

    // Forgets what was recorded; the pen, font and scale stay.
    void Dimentica() { Operazioni.clear(); }
    const StatoPenna& StatoCorrente() const { return stato_; }

    void Cancella() override;
    void ScalaUtente(double sinistra, double alto, double larghezza, double altezza) override;
    double LarghezzaScala() const override { return larghezza_; }
    double AltezzaScala() const override { return altezza_; }
    void ColorePenna(quandora::Colore colore) override;
    void SpessorePenna(int pixel) override;
    void StilePenna(StileTratto stile) override;
    void NomeCarattere(const std::string& nome) override;
    void DimensioneCarattere(double punti) override;
    void Grassetto(bool grassetto) override;
    void Linea(double x1, double y1, double x2, double y2) override;
    void Punto(double x, double y) override;
    double LarghezzaTesto(const std::string& testo) override;
    double AltezzaTesto(const std::string& testo) override;
    void PosizioneX(double x) override;
    void PosizioneY(double y) override;
    void Stampa(const std::string& testo) override;

  private:
    void Registra(Op tipo, double a = 0, double b = 0, double c = 0, double d = 0,
                  std::string testo = std::string());

    StatoPenna stato_;
    double larghezza_ = 3000;
    double altezza_ = 3000;
};

}  // namespace quandora
