#pragma once
// The chart's surfaces drawn with GDI: the window's picture, which keeps
// its drawing in a memory bitmap of its own size, and the printer's page.
//
// User units map onto the whole drawable area, each direction apart; pen
// widths are device pixels; fonts take their points through the device's
// resolution (LOGPIXELSY); text is drawn with a transparent background and
// measured in user units.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "chart/Superficie.h"
#include "util/Finestra_win32.h"
#include "util/Gdi_win32.h"

namespace quandora {

class SuperficieGdi : public Superficie {
  public:
    // dc: the device context, whose drawable area is larghezza by altezza
    // device pixels from its origin. The surface selects its pens and fonts
    // into it and puts the previous ones back when it goes.
    SuperficieGdi(HDC dc, int larghezza, int altezza);
    ~SuperficieGdi() override;
    SuperficieGdi(const SuperficieGdi&) = delete;
    SuperficieGdi& operator=(const SuperficieGdi&) = delete;

    void Cancella() override;
    void ScalaUtente(double sinistra, double alto, double larghezza, double altezza) override;
    double LarghezzaScala() const override { return larghezzaScala_; }
    double AltezzaScala() const override { return altezzaScala_; }
    void ColorePenna(Colore colore) override;
    void SpessorePenna(int pixel) override;
    void StilePenna(StileTratto stile) override;
    void NomeCarattere(const std::string& nome) override;
    void DimensioneCarattere(double punti) override;
    void Grassetto(bool grassetto) override;
    void Linea(double x1, double y1, double x2, double y2) override;
    void Punto(double x, double y) override;
    double LarghezzaTesto(const std::string& testo) override;
    double AltezzaTesto(const std::string& testo) override;
    void PosizioneX(double x) override { x_ = x; }
    void PosizioneY(double y) override { y_ = y; }
    void Stampa(const std::string& testo) override;

    // Device pixels and user units of this surface.
    int PixelX(double x) const;
    int PixelY(double y) const;
    double UtenteX(int px) const;
    double UtenteY(int py) const;
    int LarghezzaPixel() const { return larghezza_; }
    int AltezzaPixel() const { return altezza_; }

  protected:
    // A new drawable area of the same device context (the picture after a
    // resize); the user scale stays.
    void CambiaArea(int larghezza, int altezza);
    // Called before every drawing operation (the picture invalidates its
    // window).
    virtual void Disegnato() {}

  private:
    void PreparaPenna();
    void PreparaCarattere();

    HDC dc_;
    int larghezza_;
    int altezza_;
    double sinistra_ = 0;
    double alto_ = 0;
    double larghezzaScala_;
    double altezzaScala_;

    Colore colore_ = 0;
    int spessore_ = 1;
    StileTratto stile_ = StileTratto::Continuo;
    std::string carattere_ = "MS Sans Serif";
    double punti_ = 8;
    bool grassetto_ = false;
    double x_ = 0;
    double y_ = 0;

    // The objects selected into dc_ (null until the first line or text),
    // then the selections, which put the device context's own objects back
    // before these are deleted.
    Penna penna_;
    bool pennaValida_ = false;
    Pennello pennello_;  // for dots
    Carattere font_;
    bool fontValido_ = false;
    OggettoSelezionato pennaSelezionata_;
    OggettoSelezionato pennelloSelezionato_;
    OggettoSelezionato fontSelezionato_;
    int bkOriginale_ = 0;
};

// The printer's page: the printable area of a printer's device context.
// The print document (StartDoc, pages, EndDoc) is the caller's.
class SuperficieStampante : public SuperficieGdi {
  public:
    explicit SuperficieStampante(HDC stampante);
};

// The chart's picture: a child window whose drawing lives in a memory
// bitmap of the window's client size (white to start with), from which it
// repaints. What is drawn on Superficie() goes to the bitmap; the bitmap is
// the picture's image. A resize keeps the old image at the top-left corner
// and fills the rest with white.
class FinestraGrafico : public FinestraBase {
  public:
    // Creates the window as a child of genitore with the id and rectangle
    // given (pixels of the parent's client area). Throws Errore when
    // Windows refuses.
    FinestraGrafico(HWND genitore, int id, int x, int y, int larghezza, int altezza);
    ~FinestraGrafico();

    Superficie& Superficie();
    // A memory device context that holds the picture's image selected, for
    // reading its pixels (do not select anything else into it).
    HDC DcImmagine() const { return dcMemoria_.get(); }
    // A copy of the picture's image that no device context holds, as
    // GetDIBits and the clipboard want it. Empty when Windows has no room
    // for it.
    Bitmap CopiaImmagine() const;
    int Larghezza() const;
    int Altezza() const;

    // Mouse events over the picture, positions in the picture's user units:
    // Button 1 left, 2 right, 4 middle (0 while moving); Shift 1 shift,
    // 2 control, 4 alt. A release is a MouseUp only when its button was
    // pressed on the picture too and it happens over the picture: the
    // mouse is captured at the press, so a release that follows a press
    // elsewhere (the double click that closed a dialog lying over the
    // picture) marks nothing. What the handlers throw is reported as the
    // program reports errors, never let through the window procedure.
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> MouseMove;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> MouseUp;

  private:
    class SuperficieImmagine;
    LRESULT Messaggio(UINT msg, WPARAM wp, LPARAM lp) override;
    void Ridimensiona(int larghezza, int altezza);
    void Mouse(UINT msg, WPARAM wp, LPARAM lp);

    // The image, the memory device context that holds it selected, the
    // selection (which puts the context's own bitmap back before either
    // goes) and the surface drawing on it (which goes first).
    Bitmap bitmap_;
    DCCreato dcMemoria_;
    OggettoSelezionato bitmapSelezionata_;
    int larghezza_ = 1;
    int altezza_ = 1;
    std::unique_ptr<SuperficieImmagine> superficie_;
    bool invalidata_ = false;
    // The buttons pressed on the picture and not yet released (1, 2, 4).
    int premuti_ = 0;
};

}  // namespace quandora
