#include <windows.h>

#include "util/Orologio.h"

namespace quandora {

namespace {

class OrologioDiSistema final : public Orologio {
  public:
    double SecondiDelGiorno() override {
        SYSTEMTIME ora;
        GetLocalTime(&ora);
        return ora.wHour * 3600.0 + ora.wMinute * 60.0 + ora.wSecond + ora.wMilliseconds / 1000.0;
    }
};

Orologio* g_orologio = nullptr;

}  // namespace

Orologio& OrologioAttivo() {
    static OrologioDiSistema sistema;
    return g_orologio ? *g_orologio : sistema;
}

Orologio* ImpostaOrologio(Orologio* nuovo) {
    Orologio* precedente = g_orologio;
    g_orologio = nuovo;
    return precedente;
}

}  // namespace quandora
