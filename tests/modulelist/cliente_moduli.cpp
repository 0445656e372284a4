// Holds a file for Varniko's test, as the host holds the list while it
// reads it:
//   cliente_moduli /tieni FILE CONDIVISIONE EVENTO
// opens FILE for reading with the share mode CONDIVISIONE (3 for reading and
// writing, 0 for none), sets the named event EVENTO_aperto once it has it and
// keeps it until EVENTO_chiudi is set (two minutes at most). Exit code 0 when
// it held the file.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "util/Win32.h"

using namespace quandora;

int main(int argc, char** argv) {
    if (argc != 5 || std::strcmp(argv[1], "/tieni") != 0) return 2;
    const std::string evento = argv[4];
    const Handle aperto(OpenEventA(EVENT_MODIFY_STATE, FALSE, (evento + "_aperto").c_str()));
    const Handle chiudi(OpenEventA(SYNCHRONIZE, FALSE, (evento + "_chiudi").c_str()));
    const Handle h(CreateFileA(argv[2], GENERIC_READ, static_cast<DWORD>(std::atoi(argv[3])),
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Valido(aperto) || !Valido(chiudi) || !Valido(h)) return 6;
    SetEvent(aperto.get());
    WaitForSingleObject(chiudi.get(), 120000);
    return 0;
}
