// Reading Jet 3 and Jet 4 files: the catalog, table definitions, usage
// maps and the rows of tables (pages, the header and the values of columns:
// PagineJet.cpp, ValoriJet.cpp).
//
// Every count and offset read from the file is checked against the page or
// the file it points into before it is used; a file that does not hold
// together gives error 3049 (3343 when it is not a Jet file at all). The
// bytes decoded for one open database are limited to a multiple of the
// file's size, so that a hostile file cannot make a small file decode into
// an unbounded amount of memory.

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>

#include "jet/ErroriJet.h"
#include "jet/Jet.h"
#include "jet/JetFormato.h"
#include "jet/PagineJet.h"
#include "util/Testo.h"

namespace quandora::jet {

using namespace formato;
using namespace interno;

class DatabaseJet::Lettore {
  public:
    Lettore(std::unique_ptr<FileInLettura> file, uint64_t dimensione, bool jet4, uint32_t chiave,
            std::string percorso)
        : pagine_(std::move(file), dimensione, jet4, chiave), percorso_(std::move(percorso)) {}

    PagineJet pagine_;
    std::string percorso_;

    // The bytes of a table definition, over its chain of pages.
    std::vector<uint8_t> Definizione(uint32_t pagina) {
        std::vector<uint8_t> def;
        std::set<uint32_t> viste;
        uint32_t n = pagina;
        bool prima = true;
        while (n != 0 || prima) {
            Verifica(viste.insert(n).second);
            const uint8_t* p = pagine_.Pagina(n);
            Verifica(p[0] == PaginaDefinizione);
            def.insert(def.end(), p + (prima ? 0 : 8), p + pagine_.C().Pagina);
            n = U32(p + 4);
            prima = false;
        }
        return def;
    }

    struct IndiceReale {
        std::vector<std::pair<uint16_t, bool>> Colonne;  // number, ascending
        uint32_t Radice = 0;
    };
    struct Definita {
        Tabella T;
        size_t NumVar = 0;  // entries of a row's variable-offset table
        std::vector<uint32_t> Pagine;
        std::vector<IndiceReale> Indici;
    };

    Definita LeggiDefinizione(uint32_t pagina) {
        const Costanti& c = pagine_.C();
        const bool jet4 = pagine_.Jet4();
        const std::vector<uint8_t> def = Definizione(pagina);
        Blocco b{def.data(), def.size()};
        Definita d;
        Tabella& t = d.T;
        const uint16_t numColonne = b.W(c.DefNumColonne);
        Verifica(numColonne <= 256);  // Jet holds at most 255 columns
        d.NumVar = b.W(c.DefNumVar);
        const uint32_t numIndiciReali = b.L(c.DefNumIndiciReali);
        Verifica(numIndiciReali <= def.size());
        size_t o = c.DefInizioColonne + size_t(numIndiciReali) * c.VoceIndiceReale;
        Verifica(o + size_t(numColonne) * c.VoceColonna <= def.size());
        for (uint16_t i = 0; i < numColonne; ++i, o += c.VoceColonna) {
            Colonna col;
            col.Tipo = b.B(o);
            col.IndiceVar = b.W(o + c.ColIndiceVar);
            col.Numero = b.W(o + c.ColNumero);
            col.Fissa = (b.B(o + c.ColFlag) & 0x01) != 0;
            col.OffsetFisso = b.W(o + c.ColOffsetFisso);
            col.Lunghezza = b.W(o + c.ColLunghezza);
            col.Precisione = b.B(o + c.ColPrecisione);
            col.Scala = b.B(o + c.ColPrecisione + 1);
            t.Colonne.push_back(col);
        }
        for (auto& col : t.Colonne) {
            if (jet4) {
                const uint16_t len = b.W(o);
                Verifica(o + 2 + len <= def.size());
                col.Nome = DaUcs2(def.data() + o + 2, len);
                o += 2 + len;
            } else {
                const uint8_t len = b.B(o);
                Verifica(o + 1 + len <= def.size());
                col.Nome = TestoJet3(def.data() + o + 1, len);
                o += 1 + len;
            }
        }
        // The index entries: up to ten columns (number, 1 for ascending),
        // the usage map and the root page (Jet 4: after 4 bytes more).
        for (uint32_t i = 0; i < numIndiciReali; ++i) {
            const size_t e = o + (jet4 ? 4 : 0);
            Verifica(e + 39 <= def.size());
            IndiceReale ir;
            for (size_t k = 0; k < 10; ++k) {
                const uint16_t numero = b.W(e + 3 * k);
                if (numero != 0xFFFF) ir.Colonne.emplace_back(numero, b.B(e + 3 * k + 2) == 1);
            }
            ir.Radice = b.L(e + 34);
            d.Indici.push_back(ir);
            o += jet4 ? 52 : 39;
        }
        // Columns in the order of their numbers, as Jet lists them.
        std::stable_sort(t.Colonne.begin(), t.Colonne.end(),
                         [](const Colonna& a, const Colonna& z) { return a.Numero < z.Numero; });
        const uint32_t mappa = b.L(c.DefMappaUso);
        d.Pagine = PagineDellaMappa(mappa >> 8, mappa & 0xFF, pagina);
        return d;
    }

    // The data pages of a table from its usage map: a bitmap of pages from
    // a first page (type 0) or a list of map pages, each a bitmap of its own
    // stretch of the file (type 1).
    std::vector<uint32_t> PagineDellaMappa(uint32_t pagina, uint32_t riga, uint32_t definizione) {
        const Costanti& c = pagine_.C();
        const uint8_t* dati;
        size_t n;
        pagine_.RigaGrezza((pagina << 8) | riga, dati, n);
        // A copy: reading the pages it lists may refill the page cache.
        const std::vector<uint8_t> mappa(dati, dati + n);
        Blocco b{mappa.data(), n};
        std::vector<uint32_t> pagine;
        auto aggiungi = [&](uint64_t p) {
            if (p >= pagine_.Numero()) return;
            const uint8_t* pg = pagine_.Pagina(uint32_t(p));
            if (pg[0] == PaginaDati && U32(pg + 4) == definizione) pagine.push_back(uint32_t(p));
        };
        const uint8_t tipo = b.B(0);
        if (tipo == 0) {
            const uint32_t inizio = b.L(1);
            for (size_t i = 5; i < n; ++i)
                for (int bit = 0; bit < 8; ++bit)
                    if (mappa[i] & (1 << bit)) aggiungi(uint64_t(inizio) + (i - 5) * 8 + bit);
        } else if (tipo == 1) {
            const uint64_t perPagina = uint64_t(c.Pagina - 4) * 8;
            std::set<uint32_t> viste;
            std::vector<uint8_t> bitmap;
            for (size_t k = 0; 1 + 4 * k + 4 <= n; ++k) {
                const uint32_t mp = b.L(1 + 4 * k);
                if (mp == 0) continue;
                Verifica(viste.insert(mp).second);
                const uint8_t* pm = pagine_.Pagina(mp);
                Verifica(pm[0] == PaginaMappa);
                bitmap.assign(pm, pm + c.Pagina);
                for (size_t i = 4; i < c.Pagina; ++i)
                    for (int bit = 0; bit < 8; ++bit)
                        if (bitmap[i] & (1 << bit)) aggiungi(k * perPagina + (i - 4) * 8 + bit);
            }
        } else {
            Verifica(false);
        }
        std::sort(pagine.begin(), pagine.end());
        pagine.erase(std::unique(pagine.begin(), pagine.end()), pagine.end());
        return pagine;
    }

    // The variable-offset table of a row (numVar entries and eod after
    // them), read from the row's end backwards: null mask, count, then the
    // entries. Jet 3 keeps one byte per entry and, for each 256 bytes of
    // row, a jump table entry naming the first entry past that boundary.
    void OffsetVariabili(const uint8_t* r, size_t n, size_t maschera, size_t numVar,
                         std::vector<size_t>& off) {
        off.clear();
        if (pagine_.Jet4()) {
            Verifica(n >= maschera + 2 + 2 * (numVar + 1));
            for (size_t i = 0; i <= numVar; ++i)
                off.push_back(U16(r + n - maschera - 4 - 2 * i));
            return;
        }
        const size_t salti = (n - 1) / 256;
        Verifica(n >= maschera + 1 + salti + numVar + 1);
        const uint8_t* salto = r + n - maschera - 2;  // salto[-j]: entry j
        const uint8_t* voce = r + n - maschera - 2 - salti;
        for (size_t i = 0; i <= numVar; ++i) {
            size_t pagina = 0;
            for (size_t j = 0; j < salti; ++j)
                if (*(salto - j) <= i) ++pagina;
            off.push_back(*(voce - i) + 256 * pagina);
        }
    }

    // Decodes one row into the table's columns.
    void DecodificaRiga(Definita& d, const uint8_t* r, size_t n, std::vector<size_t>& offVar) {
        Tabella& t = d.T;
        const size_t testa = pagine_.Jet4() ? 2 : 1;
        Verifica(n >= testa);
        const size_t colonneRiga = pagine_.Jet4() ? U16(r) : r[0];
        const size_t maschera = (colonneRiga + 7) / 8;
        Verifica(n >= testa + maschera);
        const uint8_t* nulli = r + n - maschera;
        auto presente = [&](uint16_t numero) {
            return numero < colonneRiga && (nulli[numero / 8] & (1 << (numero % 8))) != 0;
        };

        // The count of a row's variable offsets: rows written before a
        // variable column was added have fewer than the table.
        size_t numVar = 0;
        offVar.clear();
        if (d.NumVar > 0) {
            const size_t conteggio = pagine_.Jet4() ? 2 : 1;
            Verifica(n >= testa + maschera + conteggio);
            numVar = pagine_.Jet4() ? U16(r + n - maschera - 2) : r[n - maschera - 1];
            OffsetVariabili(r, n, maschera, numVar, offVar);
        }

        for (size_t ci = 0; ci < t.Colonne.size(); ++ci) {
            const Colonna& c = t.Colonne[ci];
            Valore v;
            if (c.Tipo == SiNo) {
                v = Valore::Booleano(presente(c.Numero));
            } else if (!presente(c.Numero)) {
                // Null
            } else if (c.Fissa) {
                const size_t len = LunghezzaInRiga(c);
                const size_t o = testa + c.OffsetFisso;
                Verifica(len != 0 && o + len <= n);
                v = ValoreFisso(pagine_, c, r + o);
            } else if (c.IndiceVar < numVar) {
                const size_t a = offVar[c.IndiceVar], z = offVar[c.IndiceVar + 1];
                Verifica(a <= z && z <= n);
                v = ValoreVariabile(pagine_, c, r + a, z - a);
            }
            t.Valori[ci].push_back(std::move(v));
        }
        // Every decoded cell counts against the budget too: a hostile file
        // cannot make many rows of many columns out of a few bytes.
        pagine_.Spendi(t.Colonne.size() * 8);
        ++t.Righe;
    }

    Tabella LeggiTabella(uint32_t definizione) {
        Definita d = LeggiDefinizione(definizione);
        d.T.Valori.resize(d.T.Colonne.size());
        const Costanti& c = pagine_.C();
        std::vector<uint8_t> riga;
        std::vector<size_t> offVar;
        for (uint32_t pg : d.Pagine) {
            const uint16_t righe = U16(pagine_.Pagina(pg) + c.RigheDati);
            Verifica(c.RigheDati + 2 + size_t(righe) * 2 <= c.Pagina);
            for (uint16_t i = 0; i < righe; ++i) {
                const uint8_t* dati;
                size_t n;
                if (!pagine_.Riga(pg, i, dati, n)) continue;
                // A copy: reading long values may refill the page cache.
                riga.assign(dati, dati + n);
                DecodificaRiga(d, riga.data(), riga.size(), offVar);
                d.T.Posizioni.push_back(pg << 8 | i);
            }
        }
        return std::move(d.T);
    }
};

DatabaseJet::~DatabaseJet() = default;

std::unique_ptr<DatabaseJet> DatabaseJet::Apri(const std::string& percorso,
                                               const std::string& password) {
    EsitoFile esito;
    auto file = FileInLettura::Apri(percorso, esito);
    if (!file) {
        switch (esito) {
            case EsitoFile::NonTrovato:
            case EsitoFile::PercorsoNonTrovato:
                throw FileNonTrovato(percorso);
            case EsitoFile::InUso:
            case EsitoFile::AccessoNegato:
                throw FileBloccato(percorso);
            default:
                throw DatabaseDanneggiato(percorso);
        }
    }
    const uint64_t dimensione = file->Dimensione();
    uint8_t testa[0x100];
    Intestazione intestazione;
    if (dimensione < Jet3.Pagina || !file->Leggi(0, testa, sizeof testa) ||
        !LeggiIntestazione(testa, sizeof testa, intestazione))
        throw FormatoNonRiconosciuto(percorso);
    const Costanti& c = intestazione.Jet4 ? Jet4 : Jet3;
    if (dimensione < c.Pagina * 3ull) throw DatabaseDanneggiato(percorso);
    if (!intestazione.Password.empty() && intestazione.Password != password)
        throw PasswordNonValida();

    std::unique_ptr<DatabaseJet> db(new DatabaseJet);
    db->jet4_ = intestazione.Jet4;
    db->codePage_ = intestazione.CodePage;
    db->lettore_ = std::make_unique<Lettore>(std::move(file), dimensione, intestazione.Jet4,
                                             intestazione.Chiave, percorso);
    Lettore& l = *db->lettore_;
    try {
        Tabella sys = l.LeggiTabella(2);
        const int id = sys.IndiceColonna("Id"), nome = sys.IndiceColonna("Name"),
                  tipo = sys.IndiceColonna("Type"), flag = sys.IndiceColonna("Flags");
        if (id < 0 || nome < 0 || tipo < 0) throw Danneggiato{};
        for (size_t r = 0; r < sys.Righe; ++r) {
            const Valore& t = sys.Valori[tipo][r];
            if (!t.IsNumerico() || (t.I & 0x7F) != 1) continue;  // local tables only
            const Valore& n = sys.Valori[nome][r];
            const Valore& i = sys.Valori[id][r];
            if (n.Tipo != TipoValore::Testo || i.Tipo != TipoValore::Intero) continue;
            VoceCatalogo v;
            v.Nome = n.S;
            v.PaginaDefinizione = uint32_t(i.I) & 0x00FFFFFF;
            const int64_t f =
                flag >= 0 && sys.Valori[flag][r].IsNumerico() ? sys.Valori[flag][r].I : 0;
            v.DiSistema = (uint32_t(f) & 0x80000002u) != 0 || Piega(v.Nome).rfind("msys", 0) == 0;
            db->catalogo_.push_back(v);
        }
    } catch (const Danneggiato&) {
        throw DatabaseDanneggiato(percorso);
    } catch (const std::bad_alloc&) {
        throw DatabaseDanneggiato(percorso);
    }
    return db;
}

std::vector<std::string> DatabaseJet::TabelleUtente() const {
    std::vector<std::string> nomi;
    for (const auto& v : catalogo_)
        if (!v.DiSistema) nomi.push_back(v.Nome);
    return nomi;
}

const VoceCatalogo& DatabaseJet::Voce(const std::string& nome) const {
    const std::string chiave = Piega(nome);
    const VoceCatalogo* voce = nullptr;
    for (const auto& v : catalogo_)
        if (Piega(v.Nome) == chiave) voce = &v;
    if (!voce) throw TabellaNonTrovata(nome);
    return *voce;
}

std::vector<size_t> DatabaseJet::OrdineIndice(const std::string& tabella,
                                              const std::string& colonna, bool& discendente) {
    const Tabella& t = LeggiTabella(tabella);
    const int c = t.IndiceColonna(colonna);
    if (c < 0) throw ElementoNonTrovato();
    try {
        const auto d = lettore_->LeggiDefinizione(Voce(tabella).PaginaDefinizione);
        for (const auto& ir : d.Indici) {
            if (ir.Colonne.size() != 1 || ir.Colonne[0].first != t.Colonne[size_t(c)].Numero)
                continue;
            discendente = !ir.Colonne[0].second;
            std::map<uint32_t, size_t> riga;
            for (size_t r = 0; r < t.Righe; ++r)
                riga[t.Posizioni[r]] = r;
            std::vector<size_t> ordine;
            for (uint32_t p : PuntatoriIndice(lettore_->pagine_, ir.Radice)) {
                auto it = riga.find(p);
                if (it == riga.end()) throw Danneggiato{};
                ordine.push_back(it->second);
            }
            return ordine;
        }
        return {};
    } catch (const Danneggiato&) {
        throw DatabaseDanneggiato(lettore_->percorso_);
    }
}

const Tabella& DatabaseJet::LeggiTabella(const std::string& nome) {
    const std::string chiave = Piega(nome);
    auto it = tabelle_.find(chiave);
    if (it != tabelle_.end()) return *it->second;
    const VoceCatalogo* voce = &Voce(nome);
    try {
        auto t = std::make_unique<Tabella>(lettore_->LeggiTabella(voce->PaginaDefinizione));
        t->Nome = voce->Nome;
        return *tabelle_.emplace(chiave, std::move(t)).first->second;
    } catch (const Danneggiato&) {
        throw DatabaseDanneggiato(lettore_->percorso_);
    } catch (const std::bad_alloc&) {
        throw DatabaseDanneggiato(lettore_->percorso_);
    }
}

int Tabella::IndiceColonna(const std::string& nome) const {
    const std::string p = Piega(nome);
    for (size_t i = 0; i < Colonne.size(); ++i)
        if (Piega(Colonne[i].Nome) == p) return int(i);
    return -1;
}

std::string Piega(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char ch = static_cast<unsigned char>(s[i]);
        if (ch < 0x80) {
            out += char(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            ++i;
            continue;
        }
        char32_t cp = NextUtf8(s, i);
        if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) cp += 0x20;
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace quandora::jet
