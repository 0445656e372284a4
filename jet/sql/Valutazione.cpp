// Evaluation of bound expressions (see Valutazione.h).

#include "jet/sql/Valutazione.h"

#include <cmath>

#include "jet/ErroriJet.h"
#include "jet/sql/Valori.h"
#include "util/DataOle.h"

namespace quandora::jet::sql {

const Valore kNullo;

namespace {

Valore Funzione(const Espr& e, const Contesto& c) {
    std::vector<Valore> a;
    for (const auto& f : e.Figli)
        a.push_back(Valuta(*f, c));
    auto arieta = [&](size_t n) {
        if (a.size() != n) throw ErroreDiSistema(450);
    };
    for (const auto& v : a)
        if (v.IsNull()) return {};
    if (e.Nome == "dateserial") {
        arieta(3);
        int p[3];
        for (int i = 0; i < 3; ++i) {
            const double d = Valore(a[size_t(i)]).ComeLong();
            if (d < -100000 || d > 100000) throw ErroreDiSistema(5);
            p[i] = int(d);
        }
        const double r = DataSerial(p[0], p[1], p[2]);
        if (r < -657434 || r > 2958465) throw ErroreDiSistema(5);
        return Valore::DataOra(r);
    }
    if (e.Nome == "year" || e.Nome == "month" || e.Nome == "day") {
        arieta(1);
        const double d = a[0].ComeDoppio();
        if (!(d >= -657434 && d < 2958466)) throw ErroreDiSistema(5);
        const ParteData p = ScomponiData(d);
        return Valore::Intero(e.Nome == "year" ? p.Anno : e.Nome == "month" ? p.Mese : p.Giorno);
    }
    if (e.Nome == "abs") {
        arieta(1);
        Valore v = a[0];
        if (v.Tipo == TipoValore::Intero || v.Tipo == TipoValore::Valuta)
            v.I = v.I < 0 ? Differenza(0, v.I) : v.I;
        else if (v.IsNumerico())
            v = Valore::Doppio(std::fabs(v.ComeDoppio()));
        else
            throw TipiNonCorrispondenti();
        return v;
    }
    throw FunzioneNonDefinita(e.Nome);
}

}  // namespace

Valore Valuta(const Espr& e, const Contesto& c) {
    switch (e.Tipo) {
        case Op::Costante:
            return e.Costante;
        case Op::Colonna:
            return ValoreColonna(e, c);
        case Op::Aggregato:
            if (!c.Aggregati) throw ErroreSintassi(e.Nome);
            return (*c.Aggregati)[size_t(e.Slot)];
        case Op::Funzione:
            return Funzione(e, c);
        case Op::Tutto:
            return Valore::Intero(1);
        case Op::Neg: {
            Valore v = Valuta(*e.Figli[0], c);
            if (v.IsNull()) return v;
            if (v.Tipo == TipoValore::Intero || v.Tipo == TipoValore::Valuta ||
                v.Tipo == TipoValore::Booleano) {
                v.I = Differenza(0, v.I);
                if (v.Tipo == TipoValore::Booleano) v.Tipo = TipoValore::Intero;
                return v;
            }
            if (v.Tipo == TipoValore::Doppio || v.Tipo == TipoValore::DataOra) {
                v.D = -v.D;
                return v;
            }
            if (v.Tipo == TipoValore::Decimale) return Valore::Doppio(-v.D);
            throw TipiNonCorrispondenti();
        }
        case Op::Not: {
            const Valore v = Valuta(*e.Figli[0], c);
            if (v.IsNull()) return v;
            if (!v.IsNumerico()) throw TipiNonCorrispondenti();
            if (v.Tipo == TipoValore::Booleano) return Valore::Booleano(v.I == 0);
            if (v.Tipo == TipoValore::Intero) return Valore::Intero(~v.I);  // bitwise, as Jet
            return Valore::Booleano(v.ComeDoppio() == 0);
        }
        case Op::And:
        case Op::Or: {
            const Valore a = Valuta(*e.Figli[0], c);
            const bool orOp = e.Tipo == Op::Or;
            if (!a.IsNull() && Vero(a) == orOp) return Valore::Booleano(orOp);
            const Valore b = Valuta(*e.Figli[1], c);
            if (!b.IsNull() && Vero(b) == orOp) return Valore::Booleano(orOp);
            if (a.IsNull() || b.IsNull()) return {};
            return Valore::Booleano(!orOp);
        }
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge: {
            const Valore& a0 =
                e.Figli[0]->Tipo == Op::Colonna ? ValoreColonna(*e.Figli[0], c) : kNullo;
            Valore tmpA;
            const Valore* a = &a0;
            if (e.Figli[0]->Tipo != Op::Colonna) {
                tmpA = Valuta(*e.Figli[0], c);
                a = &tmpA;
            }
            if (a->IsNull()) return {};
            const Valore b = Valuta(*e.Figli[1], c);
            if (b.IsNull()) return {};
            const int r = Confronta(*a, b);
            bool v = false;
            switch (e.Tipo) {
                case Op::Eq:
                    v = r == 0;
                    break;
                case Op::Ne:
                    v = r != 0;
                    break;
                case Op::Lt:
                    v = r < 0;
                    break;
                case Op::Le:
                    v = r <= 0;
                    break;
                case Op::Gt:
                    v = r > 0;
                    break;
                default:
                    v = r >= 0;
                    break;
            }
            return Valore::Booleano(v);
        }
        case Op::IsNull:
            return Valore::Booleano(Valuta(*e.Figli[0], c).IsNull());
        case Op::IsNotNull:
            return Valore::Booleano(!Valuta(*e.Figli[0], c).IsNull());
        case Op::Between: {
            const Valore x = Valuta(*e.Figli[0], c), a = Valuta(*e.Figli[1], c),
                         b = Valuta(*e.Figli[2], c);
            if (x.IsNull() || a.IsNull() || b.IsNull()) return {};
            const bool dentro = Confronta(x, a) >= 0 && Confronta(x, b) <= 0;
            return Valore::Booleano(dentro != e.Negato);
        }
        case Op::In: {
            const Valore x = Valuta(*e.Figli[0], c);
            if (x.IsNull()) return {};
            bool nullo = false;
            for (size_t i = 1; i < e.Figli.size(); ++i) {
                const Valore y = Valuta(*e.Figli[i], c);
                if (y.IsNull())
                    nullo = true;
                else if (Confronta(x, y) == 0)
                    return Valore::Booleano(!e.Negato);
            }
            if (nullo) return {};
            return Valore::Booleano(e.Negato);
        }
        case Op::Concat: {
            const Valore a = Valuta(*e.Figli[0], c), b = Valuta(*e.Figli[1], c);
            if (a.IsNull() && b.IsNull()) return {};
            return Valore::Testo(a.ComeTesto() + b.ComeTesto());
        }
        default:
            return Aritmetica(e.Tipo, Valuta(*e.Figli[0], c), Valuta(*e.Figli[1], c));
    }
}

}  // namespace quandora::jet::sql
