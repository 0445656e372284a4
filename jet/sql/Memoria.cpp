// The executor's memory of an open database (see Memoria.h).

#include "jet/sql/Memoria.h"

#include "jet/sql/Valori.h"

namespace quandora::jet::sql {

MemoriaEsecutore& MemoriaEsecutore::Di(DatabaseJet& db) {
    auto& stato = db.MemoriaSql();
    if (!stato) stato = std::make_unique<MemoriaEsecutore>();
    // Only this class makes the database's state.
    return static_cast<MemoriaEsecutore&>(*stato);
}

void MemoriaEsecutore::Limita() {
    if (voci_ <= 512) return;
    Relazioni.clear();
    voci_ = 0;
}

void ColonnaOrdinata::Prepara() {
    const size_t n = Valori.size();
    Contati.assign(n + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        const Valore& v = Valori[i];
        Contati[i + 1] = Contati[i] + (v.IsNull() ? 0 : 1);
        if (v.IsNull()) continue;
        if (Tipo == TipoValore::Null)
            Tipo = v.Tipo;
        else if (v.Tipo != Tipo)
            Omogenea = false;
    }
    if (!Omogenea) return;
    if (Tipo == TipoValore::Valuta || Tipo == TipoValore::Intero || Tipo == TipoValore::Booleano) {
        Esatte.assign(n + 1, 0);
        for (size_t i = 0; i < n; ++i) {
            int64_t x = 0;
            const Valore& v = Valori[i];
            if (!v.IsNull() &&
                (Tipo == TipoValore::Valuta ? (x = v.I, false)
                                            : __builtin_mul_overflow(v.I, int64_t(10000), &x))) {
                Esatte.clear();
                return;
            }
            if (__builtin_add_overflow(Esatte[i], x, &Esatte[i + 1])) {
                Esatte.clear();
                return;
            }
        }
    } else if (Tipo == TipoValore::Doppio || Tipo == TipoValore::DataOra) {
        Doppie.assign(n + 1, 0);
        for (size_t i = 0; i < n; ++i)
            Doppie[i + 1] = Valori[i].IsNull() ? Doppie[i] : Doppie[i] + Valori[i].D;
    }
}

void Canonico(const Espr& e, std::string& k) {
    k += '(';
    k += std::to_string(int(e.Tipo));
    switch (e.Tipo) {
        case Op::Costante:
            k += std::to_string(int(e.Costante.Tipo));
            k += ':';
            Chiave(e.Costante, k);
            k += std::to_string(e.Costante.I);
            break;
        case Op::Colonna:
            k += ':' + std::to_string(e.T) + '.' + std::to_string(e.C);
            break;
        case Op::Funzione:
        case Op::Aggregato:
            k += ':' + e.Nome;
            break;
        default:
            break;
    }
    if (e.Negato) k += '!';
    for (const auto& f : e.Figli)
        Canonico(*f, k);
    k += ')';
}

void ChiaveSorgente(const Sorgente& s, std::string& k) {
    if (!s.Join) {
        k += "[" + Piega(s.Tabella) + "#" + std::to_string(s.Indice) + "]";
        return;
    }
    k += "J(";
    ChiaveSorgente(*s.Sinistra, k);
    ChiaveSorgente(*s.Destra, k);
    Canonico(*s.On, k);
    k += ")";
}

}  // namespace quandora::jet::sql
