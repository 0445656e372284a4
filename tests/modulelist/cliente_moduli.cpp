// A client process of Varniko for the concurrency test:
//   cliente_moduli CARTELLA PREFISSO N
// registers N modules named PREFISSO0..PREFISSO(N-1) in CARTELLA's list,
// each twice, through the class's function table. Exit code 0 on success.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "modulelist/Com_win32.h"
#include "modulelist/Varniko.h"

using namespace quandora;

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    if (FAILED(CoInitialize(nullptr))) return 3;
    int esito = 0;
    {
        ComPtr<_clsModuli> o;
        if (FAILED(CoCreateInstance(varniko::CLSID_clsModuli, nullptr, CLSCTX_INPROC_SERVER,
                                    varniko::IID__clsModuli,
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
    CoUninitialize();
    return esito;
}
