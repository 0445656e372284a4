#pragma once
// A surface that draws nothing and records what it draws (clears, lines,
// dots, texts) with the pen and font in force, in user units. Its text
// metrics are fixed: a character is 6 units wide per point of the font, a
// text 10 units high per point.

#include <string>
#include <vector>

#include "chart/Superficie.h"

namespace quandora {

class SuperficieRegistrata : public Superficie {
  public:
    enum class Op { Cancella, Linea, Punto, Stampa };

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
        double A = 0, B = 0, C = 0, D = 0;  // the line's ends, the dot, the text's place
        std::string Testo;
        StatoPenna Stato;
    };

    std::vector<Operazione> Operazioni;

    static constexpr double kLarghezzaPerPunto = 6;
    static constexpr double kAltezzaPerPunto = 10;

    void Dimentica() { Operazioni.clear(); }

    void Cancella() override { Registra(Op::Cancella); }
    void ScalaUtente(double, double, double larghezza, double altezza) override {
        larghezza_ = larghezza;
        altezza_ = altezza;
    }
    double LarghezzaScala() const override { return larghezza_; }
    double AltezzaScala() const override { return altezza_; }
    void ColorePenna(quandora::Colore colore) override { stato_.Tinta = colore; }
    void SpessorePenna(int pixel) override { stato_.Spessore = pixel; }
    void StilePenna(StileTratto stile) override { stato_.Stile = stile; }
    void NomeCarattere(const std::string& nome) override { stato_.Carattere = nome; }
    void DimensioneCarattere(double punti) override { stato_.Punti = punti; }
    void Grassetto(bool grassetto) override { stato_.Grassetto = grassetto; }
    void Linea(double x1, double y1, double x2, double y2) override {
        Registra(Op::Linea, x1, y1, x2, y2);
    }
    void Punto(double x, double y) override { Registra(Op::Punto, x, y); }
    double LarghezzaTesto(const std::string& testo) override;
    double AltezzaTesto(const std::string&) override { return stato_.Punti * kAltezzaPerPunto; }
    void PosizioneX(double x) override { stato_.X = x; }
    void PosizioneY(double y) override { stato_.Y = y; }
    void Stampa(const std::string& testo) override {
        Registra(Op::Stampa, stato_.X, stato_.Y, 0, 0, testo);
    }

  private:
    void Registra(Op tipo, double a = 0, double b = 0, double c = 0, double d = 0,
                  std::string testo = {}) {
        Operazioni.push_back(Operazione{tipo, a, b, c, d, std::move(testo), stato_});
    }

    StatoPenna stato_;
    double larghezza_ = 3000;
    double altezza_ = 3000;
};

}  // namespace quandora
