// Jet 3 writer. Layout of a written file:
//   page 0      header (version, code page 1252, sort order, password)
//   page 1      an empty data page (the global map of a real file)
//   page 2      table definition of MSysObjects (the catalog)
//   then for each user table, and at the end for the catalog itself: its
//   definition page, a page holding its two usage maps, its data pages and
//   the long-value pages of its memos.

#include "jet/JetScrittore.h"

#include <cmath>
#include <cstring>

#include "jet/JetFormato.h"
#include "util/FileBinario.h"
#include "util/Testo.h"

namespace quandora::jet {

using namespace formato;

namespace {

constexpr uint32_t P = Jet3.Pagina;
constexpr size_t TestaDati = 10;  // data page header before the row offsets

Errore Invalido(const std::string& perche) {
    return Errore(5, "Chiamata di routine o argomento non validi: " + perche);
}

using Pagina = std::vector<uint8_t>;

class Scrittore {
  public:
    std::vector<Pagina> pagine;

    uint32_t Nuova(uint8_t tipo) {
        pagine.emplace_back(P, 0);
        pagine.back()[0] = tipo;
        pagine.back()[1] = 0x01;
        return uint32_t(pagine.size() - 1);
    }

    // A data page: free space, owner, rows from the end.
    uint32_t NuovaDati(uint32_t definizione) {
        const uint32_t n = Nuova(PaginaDati);
        Scrivi32(&pagine[n][4], definizione);
        Scrivi16(&pagine[n][2], P - TestaDati);
        return n;
    }
    static size_t Libero(const Pagina& p) { return U16(&p[2]); }
    static bool Entra(const Pagina& p, size_t n) {
        return U16(&p[Jet3.RigheDati]) < 255 && Libero(p) >= n + 2;
    }
    // Appends a row; returns its number on the page.
    static uint32_t Aggiungi(Pagina& p, const std::vector<uint8_t>& riga) {
        const uint16_t righe = U16(&p[Jet3.RigheDati]);
        const size_t fine = righe == 0 ? P : U16(&p[TestaDati + 2 * (righe - 1)]);
        const size_t inizio = fine - riga.size();
        std::memcpy(&p[inizio], riga.data(), riga.size());
        Scrivi16(&p[TestaDati + 2 * righe], uint32_t(inizio));
        Scrivi16(&p[Jet3.RigheDati], righe + 1u);
        Scrivi16(&p[2], uint32_t(Libero(p) - riga.size() - 2));
        return righe;
    }

    // Long values: type 1 rows when they fit one page, else chains of type 2.
    uint32_t lval_ = 0;
    uint32_t RigaLunga(const std::vector<uint8_t>& riga) {
        if (lval_ == 0 || !Entra(pagine[lval_], riga.size())) {
            lval_ = NuovaDati(0);
            std::memcpy(&pagine[lval_][4], "LVAL", 4);
        }
        return (lval_ << 8) | Aggiungi(pagine[lval_], riga);
    }
    std::vector<uint8_t> CampoLungo(const std::string& dati, bool inlinea) {
        std::vector<uint8_t> campo(12, 0);
        const uint32_t n = uint32_t(dati.size());
        const size_t massimo = P - TestaDati - 2;
        if (inlinea) {
            Scrivi32(&campo[0], n | 0x80000000u);
            campo.insert(campo.end(), dati.begin(), dati.end());
        } else if (n <= massimo) {
            lval_ = 0;  // a fresh page keeps the value whole
            Scrivi32(&campo[0], n | 0x40000000u);
            Scrivi32(&campo[4], RigaLunga(std::vector<uint8_t>(dati.begin(), dati.end())));
        } else {
            // Chunks written last first, each pointing to the next.
            const size_t pezzo = massimo - 4;
            std::vector<size_t> inizi;
            for (size_t o = 0; o < n; o += pezzo)
                inizi.push_back(o);
            uint32_t prossimo = 0;
            for (size_t k = inizi.size(); k-- > 0;) {
                std::vector<uint8_t> r(4);
                Scrivi32(r.data(), prossimo);
                const size_t len = std::min(pezzo, n - inizi[k]);
                r.insert(r.end(), dati.begin() + inizi[k], dati.begin() + inizi[k] + len);
                lval_ = 0;
                prossimo = RigaLunga(r);
            }
            Scrivi32(&campo[0], n);
            Scrivi32(&campo[4], prossimo);
        }
        return campo;
    }
};

size_t Dimensione(uint8_t tipo) {
    switch (tipo) {
        case Byte:
            return 1;
        case Integer:
            return 2;
        case Long:
        case Single:
            return 4;
        case Currency:
        case Double:
        case DataOra:
            return 8;
        default:
            return 0;
    }
}
bool Fissa(uint8_t tipo) {
    return tipo != Text && tipo != Memo && tipo != Ole && tipo != Binary;
}

int64_t Intero(const Valore& v) {
    if (v.Tipo == TipoValore::Valuta) return v.I / 10000;
    if (v.Tipo == TipoValore::Doppio || v.Tipo == TipoValore::DataOra)
        return int64_t(std::llround(v.D));
    return v.I;
}

struct Layout {
    std::vector<uint16_t> offsetFisso, indiceVar;
    size_t fisso = 0, numVar = 0;
};

Layout Disponi(const TabellaNuova& t) {
    Layout l;
    for (const auto& c : t.Colonne) {
        l.offsetFisso.push_back(uint16_t(Fissa(c.Tipo) ? l.fisso : 0));
        l.indiceVar.push_back(uint16_t(Fissa(c.Tipo) ? 0 : l.numVar));
        if (Fissa(c.Tipo))
            l.fisso += Dimensione(c.Tipo);
        else
            ++l.numVar;
    }
    return l;
}

std::vector<uint8_t> Riga(Scrittore& s, const TabellaNuova& t, const Layout& l,
                          const std::vector<Valore>& valori) {
    const size_t nc = t.Colonne.size();
    if (valori.size() != nc) throw Invalido("riga di " + t.Nome + " con colonne diverse");
    std::vector<uint8_t> r(1 + l.fisso, 0);
    r[0] = uint8_t(nc);
    std::vector<uint8_t> nulli((nc + 7) / 8, 0);
    std::vector<size_t> offVar;
    // Memos go inline when the row stays small, else to long-value pages.
    for (size_t i = 0; i < nc; ++i) {
        const auto& c = t.Colonne[i];
        const Valore& v = valori[i];
        bool presente = !v.IsNull();
        uint8_t* f = r.data() + 1 + l.offsetFisso[i];
        switch (c.Tipo) {
            case SiNo:
                presente = !v.IsNull() && (v.IsNumerico() ? v.ComeDoppio() != 0 : false);
                break;
            case Byte:
                if (presente) f[0] = uint8_t(Intero(v));
                break;
            case Integer:
                if (presente) Scrivi16(f, uint32_t(Intero(v)));
                break;
            case Long:
                if (presente) Scrivi32(f, uint32_t(Intero(v)));
                break;
            case Currency:
                if (presente) {
                    const int64_t x = v.Tipo == TipoValore::Valuta
                                          ? v.I
                                          : int64_t(std::llround(v.ComeDoppio() * 10000.0));
                    std::memcpy(f, &x, 8);
                }
                break;
            case Single:
                if (presente) {
                    const float x = float(v.ComeDoppio());
                    std::memcpy(f, &x, 4);
                }
                break;
            case Double:
            case DataOra:
                if (presente) {
                    const double x = v.ComeDoppio();
                    std::memcpy(f, &x, 8);
                }
                break;
            case Text:
            case Memo:
            case Ole:
            case Binary: {
                offVar.push_back(r.size());
                if (!presente) break;
                std::string b =
                    (c.Tipo == Text || c.Tipo == Memo) ? Windows1252().FromUtf8(v.S) : v.S;
                if (c.Tipo == Text || c.Tipo == Binary) {
                    if (b.size() > c.Lunghezza)
                        throw Invalido("valore troppo lungo per " + t.Nome + "." + c.Nome);
                    r.insert(r.end(), b.begin(), b.end());
                } else {
                    const auto campo = s.CampoLungo(b, b.size() <= 64);
                    r.insert(r.end(), campo.begin(), campo.end());
                }
                break;
            }
            default:
                throw Invalido("tipo di colonna non scrivibile");
        }
        if (presente) nulli[i / 8] |= uint8_t(1 << (i % 8));
    }
    if (l.numVar > 0) {
        const size_t eod = r.size();
        offVar.push_back(eod);  // eod is the table's last entry
        // Trailer: eod, offsets last first, jump table, count, null mask.
        const size_t base = r.size() + offVar.size() + 1 + nulli.size();
        size_t salti = 0;
        while ((base + salti - 1) / 256 > salti)
            ++salti;
        std::vector<uint8_t> coda;
        for (size_t i = offVar.size(); i-- > 0;)
            coda.push_back(uint8_t(offVar[i] & 0xFF));
        for (size_t k = salti; k-- > 0;) {
            uint8_t primo = 0xFF;
            for (size_t i = 0; i < offVar.size(); ++i)
                if (offVar[i] >= 256 * (k + 1)) {
                    primo = uint8_t(i);
                    break;
                }
            coda.push_back(primo);
        }
        coda.push_back(uint8_t(l.numVar));
        r.insert(r.end(), coda.begin(), coda.end());
    }
    r.insert(r.end(), nulli.begin(), nulli.end());
    if (r.size() + 2 > P - TestaDati) throw Invalido("riga troppo lunga in " + t.Nome);
    return r;
}

// The usage map row: pages of the table, inline (type 0) when they fit.
std::vector<uint8_t> Mappa(const std::vector<uint32_t>& pagine) {
    std::vector<uint8_t> m(Jet3.MappaUsoLunghezza, 0);
    if (pagine.empty()) return m;
    const uint32_t inizio = pagine.front();
    const size_t bit = (m.size() - 5) * 8;
    if (pagine.back() - inizio < bit) {
        Scrivi32(&m[1], inizio);
        for (uint32_t p : pagine)
            m[5 + (p - inizio) / 8] |= uint8_t(1 << ((p - inizio) % 8));
        return m;
    }
    throw Invalido("tabella troppo grande");  // replaced below by type 1 maps
}

void ScriviTabella(Scrittore& s, const TabellaNuova& t, uint32_t definizione, bool diSistema) {
    const Layout l = Disponi(t);
    const uint32_t paginaMappe = s.NuovaDati(definizione);
    std::vector<uint32_t> dati;
    uint32_t corrente = 0;
    for (const auto& valori : t.Righe) {
        const auto r = Riga(s, t, l, valori);
        if (corrente == 0 || !Scrittore::Entra(s.pagine[corrente], r.size())) {
            corrente = s.NuovaDati(definizione);
            dati.push_back(corrente);
        }
        Scrittore::Aggiungi(s.pagine[corrente], r);
    }
    // Usage maps: inline when the pages fit one map, else through map pages.
    std::vector<uint8_t> uso;
    const size_t bitInline = (Jet3.MappaUsoLunghezza - 5) * 8;
    if (dati.empty() || dati.back() - dati.front() < bitInline) {
        uso = Mappa(dati);
    } else {
        const uint64_t perPagina = uint64_t(P - 4) * 8;
        uso.assign(1, 1);
        std::vector<uint32_t> mappe;
        for (uint32_t p : dati) {
            const size_t k = size_t(p / perPagina);
            while (mappe.size() <= k) {
                mappe.push_back(s.Nuova(PaginaMappa));
            }
            const uint64_t b = p % perPagina;
            s.pagine[mappe[k]][4 + b / 8] |= uint8_t(1 << (b % 8));
        }
        for (uint32_t m : mappe) {
            uso.resize(uso.size() + 4);
            Scrivi32(&uso[uso.size() - 4], m);
        }
        if (uso.size() > Jet3.MappaUsoLunghezza) throw Invalido("tabella troppo grande");
        uso.resize(Jet3.MappaUsoLunghezza, 0);
    }
    Scrittore::Aggiungi(s.pagine[paginaMappe], uso);
    Scrittore::Aggiungi(s.pagine[paginaMappe], Mappa({}));

    // The definition.
    Pagina& d = s.pagine[definizione];
    d[0] = PaginaDefinizione;
    d[1] = 0x01;
    d[2] = 'V';
    d[3] = 'C';
    Scrivi32(&d[0x0C], uint32_t(t.Righe.size()));
    d[0x14] = diSistema ? 0x53 : 0x4E;
    const uint16_t nc = uint16_t(t.Colonne.size());
    Scrivi16(&d[0x15], nc);
    Scrivi16(&d[0x17], uint16_t(l.numVar));
    Scrivi16(&d[0x19], nc);
    Scrivi32(&d[0x23], (paginaMappe << 8) | 0);
    Scrivi32(&d[0x27], (paginaMappe << 8) | 1);
    size_t o = Jet3.DefInizioColonne;
    for (size_t i = 0; i < nc; ++i) {
        const auto& c = t.Colonne[i];
        if (o + Jet3.VoceColonna > P) throw Invalido("definizione troppo lunga");
        uint8_t* e = &d[o];
        e[0] = c.Tipo;
        Scrivi16(e + 1, uint32_t(i));
        Scrivi16(e + 3, l.indiceVar[i]);
        Scrivi16(e + 5, uint32_t(i));
        if (c.Tipo == Text || c.Tipo == Memo) {
            Scrivi16(e + 7, 0x0409);  // General sort order
            Scrivi16(e + 9, 1252);    // code page
        }
        e[13] = Fissa(c.Tipo) ? 0x03 : 0x02;
        Scrivi16(e + 14, l.offsetFisso[i]);
        uint16_t len = uint16_t(Dimensione(c.Tipo));
        if (c.Tipo == Text || c.Tipo == Binary) len = c.Lunghezza;
        if (c.Tipo == SiNo) len = 1;
        Scrivi16(e + 16, len);
        o += Jet3.VoceColonna;
    }
    for (const auto& c : t.Colonne) {
        const std::string n = Windows1252().FromUtf8(c.Nome);
        if (n.empty() || n.size() > 64 || o + 1 + n.size() > P - 2)
            throw Invalido("nome di colonna non valido");
        d[o] = uint8_t(n.size());
        std::memcpy(&d[o + 1], n.data(), n.size());
        o += 1 + n.size();
    }
    d[o] = 0xFF;
    d[o + 1] = 0xFF;
    o += 2;
    Scrivi32(&d[0x08], uint32_t(o));
}

}  // namespace

std::string ScriviJet3(const std::vector<TabellaNuova>& tabelle, const std::string& password) {
    Scrittore s;
    s.Nuova(0);                  // header, filled at the end
    s.NuovaDati(0);              // page 1
    s.Nuova(PaginaDefinizione);  // page 2: the catalog

    TabellaNuova catalogo;
    catalogo.Nome = "MSysObjects";
    catalogo.Colonne = {
        {"Id", Long, 0},      {"ParentId", Long, 0},      {"Name", Text, 128},
        {"Type", Integer, 0}, {"DateCreate", DataOra, 0}, {"DateUpdate", DataOra, 0},
        {"Flags", Long, 0},   {"LvProp", Ole, 0}};
    const double adesso = 36526.5;  // a fixed creation time keeps files reproducible
    const int64_t contenitoreTabelle = 0x0F000001;
    auto voce = [&](uint32_t id, int64_t padre, const std::string& nome, int tipo, int64_t flag) {
        catalogo.Righe.push_back({Valore::Intero(int32_t(id)), Valore::Intero(padre),
                                  Valore::Testo(nome), Valore::Intero(tipo),
                                  Valore::DataOra(adesso), Valore::DataOra(adesso),
                                  Valore::Intero(int32_t(flag)), Valore{}});
    };
    voce(contenitoreTabelle, 0x0F000000, "Tables", 3, 0);
    voce(2, contenitoreTabelle, "MSysObjects", 1, int64_t(int32_t(0x80000002u)));
    for (const auto& t : tabelle) {
        if (t.Colonne.empty() || t.Colonne.size() > 255) throw Invalido("colonne di " + t.Nome);
        const uint32_t def = s.Nuova(PaginaDefinizione);
        ScriviTabella(s, t, def, false);
        voce(def, contenitoreTabelle, t.Nome, 1, 0);
    }
    ScriviTabella(s, catalogo, 2, true);

    // The header, its scrambled area last.
    Pagina& h = s.pagine[0];
    h[0] = 0x00;
    h[1] = 0x01;
    std::memcpy(&h[4], FirmaJet, std::strlen(FirmaJet) + 1);
    Scrivi16(&h[OffsetOrdinamento3], 0x0409);
    Scrivi16(&h[OffsetCodePage], 1252);
    const std::string pw = Windows1252().FromUtf8(password);
    if (pw.size() > Jet3.Password) throw Invalido("password troppo lunga");
    std::memcpy(&h[OffsetPassword], pw.data(), pw.size());
    Rc4(&h[OffsetCifrato], Jet3.AreaCifrata);

    std::string out;
    out.reserve(s.pagine.size() * P);
    for (const auto& p : s.pagine)
        out.append(reinterpret_cast<const char*>(p.data()), p.size());
    return out;
}

void ScriviFileJet3(const std::string& percorso, const std::vector<TabellaNuova>& tabelle,
                    const std::string& password) {
    EsitoFile esito;
    if (!ScriviFileSicuro(percorso, ScriviJet3(tabelle, password), esito)) throw ErroreFile(esito);
}

std::vector<TabellaNuova> TabelleHost(const DatiHost& dati) {
    TabellaNuova conti{"Conti", {{"IdConto", Long, 0}, {"Descrizione", Text, 50}}, {}};
    for (const auto& c : dati.Conti)
        conti.Righe.push_back(
            {Valore::Intero(c.IdConto), c.Descrizione ? Valore::Testo(*c.Descrizione) : Valore{}});
    TabellaNuova casse{"TabellaCassa",
                       {{"IDCassa", Long, 0}, {"IDConto", Long, 0}, {"Descrizione", Text, 50}},
                       {}};
    for (const auto& c : dati.Casse)
        casse.Righe.push_back(
            {Valore::Intero(c.IDCassa), Valore::Intero(c.IDConto), Valore::Testo(c.Descrizione)});
    TabellaNuova operazioni{"Operazioni",
                            {{"IDOperazione", Long, 0},
                             {"IDCassa", Long, 0},
                             {"Data", DataOra, 0},
                             {"Descrizione", Text, 100},
                             {"Euro", Currency, 0},
                             {"Totale\xC2\xA3", Double, 0},
                             {"nostatistiche", SiNo, 0},
                             {"Note", Memo, 0}},
                            {}};
    int32_t id = 0;
    for (const auto& o : dati.Operazioni)
        operazioni.Righe.push_back({Valore::Intero(++id), Valore::Intero(o.IDCassa),
                                    Valore::DataOra(o.Data), Valore::Testo(o.Descrizione),
                                    Valore::Valuta(o.EuroDiecimillesimi), Valore::Doppio(o.Lire),
                                    Valore::Booleano(o.NoStatistiche), Valore{}});
    TabellaNuova versione{"Versione", {{"versione", Long, 0}}, {}};
    for (const auto& v : dati.Versioni)
        versione.Righe.push_back({v ? Valore::Intero(*v) : Valore{}});
    return {conti, casse, operazioni, versione};
}

}  // namespace quandora::jet
