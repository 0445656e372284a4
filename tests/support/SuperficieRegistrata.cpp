#include "tests/support/SuperficieRegistrata.h"

#include "util/Testo.h"

namespace quandora {

void SuperficieRegistrata::Registra(Op tipo, double a, double b, double c, double d,
                                    std::string testo) {
    Operazioni.push_back(Operazione{tipo, a, b, c, d, std::move(testo), stato_});
}

void SuperficieRegistrata::Cancella() {
    Registra(Op::Cancella);
}

void SuperficieRegistrata::ScalaUtente(double sinistra, double alto, double larghezza,
                                       double altezza) {
    larghezza_ = larghezza;
    altezza_ = altezza;
    Registra(Op::ScalaUtente, sinistra, alto, larghezza, altezza);
}

void SuperficieRegistrata::ColorePenna(quandora::Colore colore) {
    stato_.Tinta = colore;
    Registra(Op::ColorePenna, colore);
}

void SuperficieRegistrata::SpessorePenna(int pixel) {
    stato_.Spessore = pixel;
    Registra(Op::SpessorePenna, pixel);
}

void SuperficieRegistrata::StilePenna(StileTratto stile) {
    stato_.Stile = stile;
    Registra(Op::StilePenna, stile == StileTratto::Tratteggiato ? 1 : 0);
}

void SuperficieRegistrata::NomeCarattere(const std::string& nome) {
    stato_.Carattere = nome;
    Registra(Op::NomeCarattere, 0, 0, 0, 0, nome);
}

void SuperficieRegistrata::DimensioneCarattere(double punti) {
    stato_.Punti = punti;
    Registra(Op::DimensioneCarattere, punti);
}

void SuperficieRegistrata::Grassetto(bool grassetto) {
    stato_.Grassetto = grassetto;
    Registra(Op::Grassetto, grassetto ? 1 : 0);
}

void SuperficieRegistrata::Linea(double x1, double y1, double x2, double y2) {
    Registra(Op::Linea, x1, y1, x2, y2);
}

void SuperficieRegistrata::Punto(double x, double y) {
    Registra(Op::Punto, x, y);
}

double SuperficieRegistrata::LarghezzaTesto(const std::string& testo) {
    size_t pos = 0;
    size_t caratteri = 0;
    while (pos < testo.size()) {
        NextUtf8(testo, pos);
        ++caratteri;
    }
    const double larghezza = static_cast<double>(caratteri) * stato_.Punti * kLarghezzaPerPunto;
    Registra(Op::LarghezzaTesto, larghezza, 0, 0, 0, testo);
    return larghezza;
}

double SuperficieRegistrata::AltezzaTesto(const std::string& testo) {
    const double altezza = stato_.Punti * kAltezzaPerPunto;
    Registra(Op::AltezzaTesto, altezza, 0, 0, 0, testo);
    return altezza;
}

void SuperficieRegistrata::PosizioneX(double x) {
    stato_.X = x;
    Registra(Op::PosizioneX, x);
}

void SuperficieRegistrata::PosizioneY(double y) {
    stato_.Y = y;
    Registra(Op::PosizioneY, y);
}

void SuperficieRegistrata::Stampa(const std::string& testo) {
    Registra(Op::Stampa, stato_.X, stato_.Y, 0, 0, testo);
}

}  // namespace quandora
