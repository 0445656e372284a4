#pragma once
// The drawing surface of the chart: the window's picture or the printer's
// page. The chart is drawn only through these operations, so that the same
// procedures serve both and a recording surface can check the layout.
//
// Coordinates are user units of the scale last set (the chart sets 3000 by
// 3000 over the whole drawable area, the two directions scaled apart). Pen
// widths are device pixels. Texts are UTF-8.

#include <cstdint>
#include <string>

namespace quandora {

// A colour as red, green and blue, laid out like Windows' COLORREF.
using Colore = uint32_t;
constexpr Colore RGBColore(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Colore>(r) | (static_cast<Colore>(g) << 8) | (static_cast<Colore>(b) << 16);
}

enum class StileTratto { Continuo, Tratteggiato };

class Superficie {
  public:
    virtual ~Superficie() = default;

    // Fills the whole surface with its background colour.
    virtual void Cancella() = 0;
    // Maps the whole drawable area onto the user rectangle given.
    virtual void ScalaUtente(double sinistra, double alto, double larghezza, double altezza) = 0;
    virtual double LarghezzaScala() const = 0;
    virtual double AltezzaScala() const = 0;

    virtual void ColorePenna(Colore colore) = 0;
    virtual void SpessorePenna(int pixel) = 0;
    virtual void StilePenna(StileTratto stile) = 0;

    virtual void NomeCarattere(const std::string& nome) = 0;
    virtual void DimensioneCarattere(double punti) = 0;
    virtual void Grassetto(bool grassetto) = 0;

    // A line in the pen's colour, width and style.
    virtual void Linea(double x1, double y1, double x2, double y2) = 0;
    // A dot in the pen's colour whose diameter is the pen's width.
    virtual void Punto(double x, double y) = 0;

    // Extent of a text with the current font, in user units.
    virtual double LarghezzaTesto(const std::string& testo) = 0;
    virtual double AltezzaTesto(const std::string& testo) = 0;

    // Top-left corner of the next text printed.
    virtual void PosizioneX(double x) = 0;
    virtual void PosizioneY(double y) = 0;
    // Draws the text in the pen's colour at the current position; the
    // background behind the letters stays as it is.
    virtual void Stampa(const std::string& testo) = 0;
};

}  // namespace quandora
