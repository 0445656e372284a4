#pragma once
// FrmMain's two tables: its controls (class, caption, style, design place,
// font) and its commands (the toolbar's buttons and the popup menu's items,
// each with its key or caption, tooltip, image, enabling rule and handler).
// The window is made from them and dispatches through them; nothing else
// lists a control or a command.

#include <windows.h>

#include <optional>
#include <span>

#include "chart/Elaborazione.h"

namespace quandora {

class ProgrammaTrevalto;

// A design place in twips: left, top, width, height.
struct Rettangolo {
    int sinistra, alto, larghezza, altezza;
};

// The font a control shows its text in.
enum class TipoCarattere : uint8_t {
    Nessuno,    // none: the controls that show no text
    Regolare,   // "MS Sans Serif" 8.25 pt, the window's own
    Grassetto,  // the same, bold: the frames
    Grande,     // "MS Sans Serif" 9.75 pt: the account list and the dates
};

struct ProgettoControllo {
    Controllo controllo;
    // The window class; nullptr for the chart's picture.
    const char* classe;
    const char* testo;
    // Besides WS_CHILD and WS_CLIPSIBLINGS.
    DWORD stile;
    // The frame the place is relative to; none: the window's client area.
    std::optional<Controllo> cornice;
    Rettangolo posto;
    TipoCarattere carattere;
};

// A control's identifier (WM_COMMAND, GetDlgItem): from 1000 in the order
// of Controllo.
constexpr int IdControllo(Controllo c) {
    return 1000 + static_cast<int>(c);
}

// The client area's design size, in twips.
inline constexpr int kLarghezzaCliente = 12330;
inline constexpr int kAltezzaCliente = 7725;

// Every control, in the order of Controllo.
std::span<const ProgettoControllo> ProgettoControlli();
const ProgettoControllo& Progetto(Controllo c);
// A control's design place in the client area (a frame's origin added).
Rettangolo PostoNelCliente(Controllo c);

// When a command may run. During a run none does: the toolbar and the menu
// are disabled whole.
enum class Regola : uint8_t {
    Sempre,
    ConGrafico,  // a chart is shown (the chart enables its buttons itself)
};

struct Comando {
    // The WM_COMMAND identifier; 0: a separator.
    int id;
    // The toolbar button's key (the chart names its buttons by it);
    // nullptr for a menu item.
    const char* chiave;
    // The menu item's caption, or the button's tooltip (nullptr: none).
    const char* testo;
    // The button's image (its disabled one is icona + IDI_GRIGIO).
    int icona;
    Regola regola;
    void (*esegui)(ProgrammaTrevalto&);
};

// The toolbar, left to right (identifiers from 100), and the popup menu,
// top to bottom (from 200), separators in their places.
std::span<const Comando> ComandiToolbar();
std::span<const Comando> ComandiMenu();
// The command of an identifier, of either table; nullptr for none.
const Comando* CercaComando(int id);

}  // namespace quandora
