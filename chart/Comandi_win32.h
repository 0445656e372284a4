#pragma once
// The commands that take the chart out of the program or bring it back: the
// chart file (save and open through the file dialogs), printing on the
// default printer, the bitmap file and the clipboard. Each traps its own
// errors and reports them (PrintErroreEx) as the window's commands do.

#include <windows.h>

#include "chart/Grafico.h"
#include "chart/SuperficieGdi_win32.h"
#include "util/Gdi_win32.h"
#include "util/Interazione.h"

namespace quandora {

class ComandiGrafico {
  public:
    // grafico: the window's chart; immagine: its picture; proprietario: the
    // window that owns the dialogs and the clipboard.
    ComandiGrafico(GraficoSaldi& grafico, FinestraGrafico& immagine, HWND proprietario);

    // The save dialog (the chart file and the bitmap share it) and the open
    // dialog; each keeps the last name chosen in it.
    DialogoFile Dialog;
    DialogoFile DialogApri;

    void SalvaComeVrt();
    void ApriVrt();
    void StampaGrafico();
    void SalvaComeBitmap();
    void CopiaInClipboard();

  private:
    GraficoSaldi& grafico_;
    FinestraGrafico& immagine_;
    HWND proprietario_;
};

// A copy of the picture's image (FinestraGrafico::CopiaImmagine) as the
// bytes of a Windows BMP file (24 bits a pixel, bottom-up rows). Throws
// Errore when there is no copy (7) or Windows cannot read it (481).
std::string FileBmp(Bitmap copia, int larghezza, int altezza);

}  // namespace quandora
