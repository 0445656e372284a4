// Client processes of Varniko for the tests of several processes at once:
//   cliente_moduli CARTELLA PREFISSO N
// registers N modules named PREFISSO0..PREFISSO(N-1) in CARTELLA's list,
// each twice, through the class's function table. Exit code 0 on success.
//   cliente_moduli /tieni FILE CONDIVISIONE EVENTO
// holds FILE open for reading with the share mode CONDIVISIONE (3 for
// reading and writing, as the host reads the list; 0 for none), sets the
// named event EVENTO_aperto once it has it and keeps it until EVENTO_chiudi
// is set (two minutes at most). Exit code 0 when it held the file.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "modulelist/Varniko.h"
#include "util/Com_win32.h"
#include "util/Win32.h"

using namespace quandora;

namespace {

int Tieni(const char* file, const char* condivisione, const std::string& evento) {
    const Handle aperto(OpenEventA(EVENT_MODIFY_STATE, FALSE, (evento + "_aperto").c_str()));
    const Handle chiudi(OpenEventA(SYNCHRONIZE, FALSE, (evento + "_chiudi").c_str()));
    const Handle h(CreateFileA(file, GENERIC_READ, static_cast<DWORD>(std::atoi(condivisione)),
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Valido(aperto) || !Valido(chiudi) || !Valido(h)) return 6;
    SetEvent(aperto.get());
    WaitForSingleObject(chiudi.get(), 120000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "/tieni") == 0) return Tieni(argv[2], argv[3], argv[4]);
    if (argc != 4) return 2;
    const ComInizializzato com;
    if (!com.Usabile()) return 3;
    int esito = 0;
    {
        ComPtr<_clsModuli> o;
        if (FAILED(CoCreateInstance(CLSID_clsModuli, nullptr, CLSCTX_INPROC_SERVER, IID__clsModuli,
                                    reinterpret_cast<void**>(o.Indirizzo())))) {
            return 4;
        }
        Bstr cartella(argv[1]);
        o->put_CartellaDatiQuandora(cartella.get());
        const int n = std::atoi(argv[3]);
        for (int i = 0; i < n && esito == 0; ++i) {
            const std::string nome = std::string(argv[2]) + std::to_string(i);
            for (int volta = 0; volta < 2; ++volta) {
                Bstr p("C:\\Moduli\\" + nome + ".exe"), m(nome), d("Modulo " + nome);
                BSTR pp = p.get(), mm = m.get(), dd = d.get();
                VARIANT_BOOL ok = VARIANT_FALSE;
                if (o->AggiungiModulo(&pp, &mm, &dd, &ok) != S_OK || ok != VARIANT_TRUE) {
                    esito = 5;
                }
            }
        }
    }
    return esito;
}
