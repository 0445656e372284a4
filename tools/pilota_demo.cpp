// pilota_demo: drives Trevalto for the demo, as a user would with the mouse.
// Waits for the main window, presses "Elabora" and waits until the run has
// drawn its chart (the button reads "Elabora" again). Exit code 0 when the
// chart is there, 1 on a time-out.

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char kTitolo[] = "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]";

struct Ricerca {
    const char* testo;
    HWND trovato;
};

BOOL CALLBACK CercaPulsante(HWND figlio, LPARAM param) {
    auto* r = reinterpret_cast<Ricerca*>(param);
    char classe[32] = {}, testo[64] = {};
    GetClassNameA(figlio, classe, sizeof classe);
    GetWindowTextA(figlio, testo, sizeof testo);
    if (lstrcmpiA(classe, "Button") == 0 && std::strcmp(testo, r->testo) == 0) {
        r->trovato = figlio;
        return FALSE;
    }
    return TRUE;
}

HWND Pulsante(HWND finestra, const char* testo) {
    Ricerca r = {testo, nullptr};
    EnumChildWindows(finestra, CercaPulsante, reinterpret_cast<LPARAM>(&r));
    return r.trovato;
}

}  // namespace

int main() {
    HWND finestra = nullptr;
    for (int i = 0; i < 600 && !(finestra && IsWindowVisible(finestra)); ++i) {
        finestra = FindWindowA(nullptr, kTitolo);
        Sleep(100);
    }
    if (!finestra) {
        std::fprintf(stderr, "Trevalto non si è aperto\n");
        return 1;
    }
    HWND elabora = Pulsante(finestra, "Elabora");
    if (!elabora) {
        std::fprintf(stderr, "pulsante Elabora non trovato\n");
        return 1;
    }
    Sleep(500);
    PostMessageA(elabora, BM_CLICK, 0, 0);
    // The run turns the button into "Interrompi", then back.
    bool partito = false;
    for (int i = 0; i < 3000; ++i) {
        Sleep(100);
        char testo[64] = {};
        GetWindowTextA(elabora, testo, sizeof testo);
        if (std::strcmp(testo, "Interrompi") == 0) partito = true;
        if (partito && std::strcmp(testo, "Elabora") == 0) {
            Sleep(500);
            return 0;
        }
        if (!partito && i > 50) partito = true;  // a run quicker than one look
    }
    std::fprintf(stderr, "il grafico non è arrivato in tempo\n");
    return 1;
}
