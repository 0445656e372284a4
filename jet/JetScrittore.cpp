// Jet 3 writer (and Jet 4, for the reader's tests). Layout of a written file:
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

Errore Invalido(const std::string& perche) {
    return Errore(5, "Chiamata di routine o argomento non validi: " + perche);
}

using Pagina = std::vector<uint8_t>;

bool Fissa(uint8_t tipo) {
    return tipo != Text && tipo != Memo && tipo != Ole && tipo != Binary;
}

int64_t Intero(const Valore& v) {
    if (v.Tipo == TipoValore::Valuta) return v.I / 10000;
    if (v.Tipo == TipoValore::Doppio || v.Tipo == TipoValore::DataOra)
        return int64_t(std::llround(v.D));
    return v.I;
}

// UCS-2 little-endian of a UTF-8 text (characters beyond the BMP as '?').
std::string Ucs2(const std::string& utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = NextUtf8(utf8, i);
        if (c > 0xFFFF) c = '?';
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

// Jet 4's compressed form when every character fits one byte and none is
// zero, else plain UCS-2.
std::string TestoJet4(const std::string& utf8) {
    const std::string u = Ucs2(utf8);
    bool comprimibile = true;
    for (size_t i = 0; i < u.size(); i += 2)
        comprimibile &= u[i + 1] == 0 && u[i] != 0;
    if (!comprimibile || u.empty()) return u;
    std::string c = "\xFF\xFE";
    for (size_t i = 0; i < u.size(); i += 2)
        c += u[i];
    return c;
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
            l.fisso += LunghezzaFissa(c.Tipo);
        else
            ++l.numVar;
    }
    return l;
}

class Scrittore {
  public:
    explicit Scrittore(bool jet4)
        : c(jet4 ? Jet4 : Jet3), j4(jet4), P(c.Pagina), testa(c.RigheDati + 2) {}

    const Costanti& c;
    const bool j4;
    const uint32_t P;
    const size_t testa;  // data page header before the row offsets
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
        Scrivi16(&pagine[n][2], uint32_t(P - testa));
        return n;
    }
    static size_t Libero(const Pagina& p) { return U16(&p[2]); }
    bool Entra(const Pagina& p, size_t n) const {
        return U16(&p[c.RigheDati]) < 255 && Libero(p) >= n + 2;
    }
    // Appends a row; returns its number on the page.
    uint32_t Aggiungi(Pagina& p, const std::vector<uint8_t>& riga) const {
        const uint16_t righe = U16(&p[c.RigheDati]);
        const size_t fine = righe == 0 ? P : U16(&p[testa + 2 * (righe - 1)]);
        const size_t inizio = fine - riga.size();
        std::memcpy(&p[inizio], riga.data(), riga.size());
        Scrivi16(&p[testa + 2 * righe], uint32_t(inizio));
        Scrivi16(&p[c.RigheDati], righe + 1u);
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
        const size_t massimo = P - testa - 2;
        if (inlinea) {
            Scrivi32(&campo[0], n | 0x80000000u);
            campo.resize(12 + dati.size());
            if (!dati.empty()) std::memcpy(campo.data() + 12, dati.data(), dati.size());
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
                r.insert(r.end(), dati.begin() + long(inizi[k]),
                         dati.begin() + long(inizi[k] + len));
                lval_ = 0;
                prossimo = RigaLunga(r);
            }
            Scrivi32(&campo[0], n);
            Scrivi32(&campo[4], prossimo);
        }
        return campo;
    }

    std::string Testo(const std::string& utf8) const {
        return j4 ? TestoJet4(utf8) : Windows1252().FromUtf8(utf8);
    }

    std::vector<uint8_t> Riga(const TabellaNuova& t, const Layout& l,
                              const std::vector<Valore>& valori) {
        const size_t nc = t.Colonne.size();
        if (valori.size() != nc) throw Invalido("riga di " + t.Nome + " con colonne diverse");
        const size_t numCol = j4 ? 2 : 1;
        std::vector<uint8_t> r(numCol + l.fisso, 0);
        r[0] = uint8_t(nc);
        if (j4) r[1] = uint8_t(nc >> 8);
        std::vector<uint8_t> nulli((nc + 7) / 8, 0);
        std::vector<size_t> offVar;
        for (size_t i = 0; i < nc; ++i) {
            const auto& col = t.Colonne[i];
            const Valore& v = valori[i];
            bool presente = !v.IsNull();
            uint8_t* f = r.data() + numCol + l.offsetFisso[i];
            switch (col.Tipo) {
                case SiNo:
                    presente = !v.IsNull() && v.IsNumerico() && v.ComeDoppio() != 0;
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
                    const bool testo = col.Tipo == Text || col.Tipo == Memo;
                    if (testo && Windows1252().ToUtf8(Windows1252().FromUtf8(v.S)) != v.S && !j4)
                        throw Invalido("testo non rappresentabile in " + t.Nome + "." + col.Nome);
                    const std::string b = testo ? Testo(v.S) : v.S;
                    if (col.Tipo == Text || col.Tipo == Binary) {
                        const size_t massimo = size_t(col.Lunghezza) * (j4 && testo ? 2 : 1);
                        if (b.size() > massimo)
                            throw Invalido("valore troppo lungo per " + t.Nome + "." + col.Nome);
                        r.insert(r.end(), b.begin(), b.end());
                    } else {
                        const auto campo = CampoLungo(b, b.size() <= 64);
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
            offVar.push_back(r.size());  // eod is the table's last entry
            std::vector<uint8_t> coda;
            if (j4) {
                // Two-byte entries: eod, offsets last first, count.
                for (size_t i = offVar.size(); i-- > 0;) {
                    coda.push_back(uint8_t(offVar[i]));
                    coda.push_back(uint8_t(offVar[i] >> 8));
                }
                coda.push_back(uint8_t(l.numVar));
                coda.push_back(uint8_t(l.numVar >> 8));
            } else {
                // Jet 3: one-byte offsets, a jump table for each 256 bytes
                // of row (its count comes from the row's size), count.
                const size_t base = r.size() + offVar.size() + 1 + nulli.size();
                size_t salti = 0;
                while ((base + salti - 1) / 256 > salti)
                    ++salti;
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
            }
            r.insert(r.end(), coda.begin(), coda.end());
        }
        r.insert(r.end(), nulli.begin(), nulli.end());
        if (r.size() + 2 > P - testa) throw Invalido("riga troppo lunga in " + t.Nome);
        return r;
    }

    // A usage map row of type 0 (pages from a start page).
    std::vector<uint8_t> Mappa(const std::vector<uint32_t>& pp) const {
        std::vector<uint8_t> m(c.MappaUsoLunghezza, 0);
        if (pp.empty()) return m;
        const uint32_t inizio = pp.front();
        Scrivi32(&m[1], inizio);
        for (uint32_t p : pp)
            m[5 + (p - inizio) / 8] |= uint8_t(1 << ((p - inizio) % 8));
        return m;
    }

    void ScriviTabella(const TabellaNuova& t, uint32_t definizione, bool diSistema) {
        const Layout l = Disponi(t);
        const uint32_t paginaMappe = NuovaDati(definizione);
        std::vector<uint32_t> dati;
        uint32_t corrente = 0;
        for (const auto& valori : t.Righe) {
            const auto r = Riga(t, l, valori);
            if (corrente == 0 || !Entra(pagine[corrente], r.size())) {
                corrente = NuovaDati(definizione);
                dati.push_back(corrente);
            }
            Aggiungi(pagine[corrente], r);
        }
        // Usage maps: inline when the pages fit one map, else through map pages.
        std::vector<uint8_t> uso;
        const size_t bitInline = (c.MappaUsoLunghezza - 5) * 8;
        if (dati.empty() || dati.back() - dati.front() < bitInline) {
            uso = Mappa(dati);
        } else {
            const uint64_t perPagina = uint64_t(P - 4) * 8;
            uso.assign(1, 1);
            std::vector<uint32_t> mappe;
            for (uint32_t p : dati) {
                const size_t k = size_t(p / perPagina);
                while (mappe.size() <= k)
                    mappe.push_back(Nuova(PaginaMappa));
                const uint64_t b = p % perPagina;
                pagine[mappe[k]][4 + b / 8] |= uint8_t(1 << (b % 8));
            }
            for (uint32_t m : mappe) {
                uso.resize(uso.size() + 4);
                Scrivi32(&uso[uso.size() - 4], m);
            }
            if (uso.size() > c.MappaUsoLunghezza) throw Invalido("tabella troppo grande");
            uso.resize(c.MappaUsoLunghezza, 0);
        }
        Aggiungi(pagine[paginaMappe], uso);
        Aggiungi(pagine[paginaMappe], Mappa({}));

        // The definition.
        Pagina& d = pagine[definizione];
        d[0] = PaginaDefinizione;
        d[1] = 0x01;
        if (!j4) {
            d[2] = 'V';
            d[3] = 'C';
        }
        Scrivi32(&d[c.DefRighe], uint32_t(t.Righe.size()));
        d[c.DefTipo] = diSistema ? 0x53 : 0x4E;
        const uint16_t nc = uint16_t(t.Colonne.size());
        Scrivi16(&d[c.DefTipo + 1], nc);  // max_cols
        Scrivi16(&d[c.DefNumVar], uint16_t(l.numVar));
        Scrivi16(&d[c.DefNumColonne], nc);
        Scrivi32(&d[c.DefMappaUso], (paginaMappe << 8) | 0);
        Scrivi32(&d[c.DefMappaUso + 4], (paginaMappe << 8) | 1);
        size_t o = c.DefInizioColonne;
        for (size_t i = 0; i < nc; ++i) {
            const auto& col = t.Colonne[i];
            if (o + c.VoceColonna > P) throw Invalido("definizione troppo lunga");
            uint8_t* e = &d[o];
            e[0] = col.Tipo;
            Scrivi16(e + c.ColNumero, uint32_t(i));  // number including deleted columns
            Scrivi16(e + c.ColIndiceVar, l.indiceVar[i]);
            Scrivi16(e + c.ColPosizione, uint32_t(i));
            const bool testo = col.Tipo == Text || col.Tipo == Memo;
            if (testo) {
                if (j4) {
                    Scrivi16(e + 11, 0x0409);                // General sort order
                    e[16] = col.Tipo == Text ? 0x01 : 0x00;  // compressed unicode
                } else {
                    Scrivi16(e + 7, 0x0409);
                    Scrivi16(e + 9, 1252);  // code page
                }
            }
            e[c.ColFlag] = Fissa(col.Tipo) ? 0x03 : 0x02;
            Scrivi16(e + c.ColOffsetFisso, l.offsetFisso[i]);
            uint16_t len = uint16_t(LunghezzaFissa(col.Tipo));
            if (col.Tipo == Text) len = uint16_t(col.Lunghezza * (j4 ? 2 : 1));
            if (col.Tipo == Binary) len = col.Lunghezza;
            if (col.Tipo == SiNo) len = 1;
            Scrivi16(e + c.ColLunghezza, len);
            o += c.VoceColonna;
        }
        for (const auto& col : t.Colonne) {
            const std::string n = j4 ? Ucs2(col.Nome) : Windows1252().FromUtf8(col.Nome);
            const size_t testaNome = j4 ? 2 : 1;
            if (n.empty() || n.size() > 128 || o + testaNome + n.size() > P - 2)
                throw Invalido("nome di colonna non valido");
            d[o] = uint8_t(n.size());
            if (j4) d[o + 1] = uint8_t(n.size() >> 8);
            std::memcpy(&d[o + testaNome], n.data(), n.size());
            o += testaNome + n.size();
        }
        d[o] = 0xFF;
        d[o + 1] = 0xFF;
        o += 2;
        Scrivi32(&d[0x08], uint32_t(o));
        if (j4) Scrivi16(&d[2], uint32_t(P - o - 8));
    }
};

}  // namespace

std::string ScriviJet(const std::vector<TabellaNuova>& tabelle, const std::string& password,
                      int versione) {
    if (versione != 3 && versione != 4) throw Invalido("versione di Jet");
    Scrittore s(versione == 4);
    s.Nuova(0);                  // header, filled at the end
    s.NuovaDati(0);              // page 1
    s.Nuova(PaginaDefinizione);  // page 2: the catalog

    TabellaNuova catalogo;
    catalogo.Nome = "MSysObjects";
    catalogo.Colonne = {
        {"Id", Long, 0},      {"ParentId", Long, 0},      {"Name", Text, 128},
        {"Type", Integer, 0}, {"DateCreate", DataOra, 0}, {"DateUpdate", DataOra, 0},
        {"Flags", Long, 0},   {"LvProp", Ole, 0}};
    const double creazione = 36526.5;  // a fixed creation time keeps files reproducible
    const int64_t contenitoreTabelle = 0x0F000001;
    auto voce = [&](uint32_t id, int64_t padre, const std::string& nome, int tipo, int64_t flag) {
        catalogo.Righe.push_back({Valore::Intero(int32_t(id)), Valore::Intero(padre),
                                  Valore::Testo(nome), Valore::Intero(tipo),
                                  Valore::DataOra(creazione), Valore::DataOra(creazione),
                                  Valore::Intero(int32_t(flag)), Valore{}});
    };
    voce(contenitoreTabelle, 0x0F000000, "Tables", 3, 0);
    voce(2, contenitoreTabelle, "MSysObjects", 1, int64_t(int32_t(0x80000002u)));
    for (const auto& t : tabelle) {
        if (t.Colonne.empty() || t.Colonne.size() > 255) throw Invalido("colonne di " + t.Nome);
        const uint32_t def = s.Nuova(PaginaDefinizione);
        s.ScriviTabella(t, def, false);
        voce(def, contenitoreTabelle, t.Nome, 1, 0);
    }
    s.ScriviTabella(catalogo, 2, true);

    // The header, its scrambled area last.
    Pagina& h = s.pagine[0];
    h[0] = 0x00;
    h[1] = 0x01;
    std::memcpy(&h[4], FirmaJet, std::strlen(FirmaJet) + 1);
    h[OffsetVersione] = s.j4 ? 1 : 0;
    Scrivi16(&h[OffsetCodePage], 1252);
    if (s.j4) {
        Scrivi32(&h[OffsetOrdinamento4], 0x0409);
        std::memcpy(&h[OffsetDataCreazione], &creazione, 8);
        const std::string pw = Ucs2(password);
        if (pw.size() > s.c.Password) throw Invalido("password troppo lunga");
        uint8_t maschera[4];
        MascheraPasswordJet4(h.data(), maschera);
        for (size_t i = 0; i < s.c.Password; ++i)
            h[OffsetPassword + i] = uint8_t((i < pw.size() ? uint8_t(pw[i]) : 0) ^ maschera[i % 4]);
    } else {
        Scrivi16(&h[OffsetOrdinamento3], 0x0409);
        const std::string pw = Windows1252().FromUtf8(password);
        if (pw.size() > s.c.Password) throw Invalido("password troppo lunga");
        std::memcpy(&h[OffsetPassword], pw.data(), pw.size());
    }
    Rc4(&h[OffsetCifrato], s.c.AreaCifrata);

    std::string out;
    out.reserve(s.pagine.size() * s.P);
    for (const auto& p : s.pagine)
        out.append(reinterpret_cast<const char*>(p.data()), p.size());
    return out;
}

std::string ScriviJet3(const std::vector<TabellaNuova>& tabelle, const std::string& password) {
    return ScriviJet(tabelle, password, 3);
}

void ScriviFileJet3(const std::string& percorso, const std::vector<TabellaNuova>& tabelle,
                    const std::string& password) {
    EsitoFile esito;
    if (!ScriviFileSicuro(percorso, ScriviJet3(tabelle, password), esito)) throw ErroreFile(esito);
}

}  // namespace quandora::jet
