#include "util/Interazione.h"

namespace quandora {

namespace {
Interazione* g_attiva = nullptr;
}

bool Interazione::MostraDialogoFile(intptr_t, DialogoFile&, bool) {
    return false;
}

std::string Interazione::SfogliaCartella(intptr_t, std::string_view) {
    return {};
}

Interazione& InterazioneAttiva() {
    return g_attiva ? *g_attiva : InterazionePredefinita();
}

Interazione* ImpostaInterazione(Interazione* nuova) {
    Interazione* precedente = g_attiva;
    g_attiva = nuova;
    return precedente;
}

}  // namespace quandora
