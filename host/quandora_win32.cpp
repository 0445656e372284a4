// The stand-in for Quandora's executable. The add-on only looks for the
// file and reads its version; started by hand, it says what it is.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr,
                "Questo programma sostituisce Quandora nelle prove del modulo aggiuntivo "
                "Grafico Trevalto Saldo.",
                "Quandora", MB_OK | MB_ICONINFORMATION);
    return 0;
}
