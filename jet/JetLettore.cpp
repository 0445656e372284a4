// Reading Jet 3 and Jet 4 files: header, password, catalog, table
// definitions, usage maps, data pages, rows and long values.
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
#include "util/Testo.h"

namespace quandora::jet {

using namespace formato;

namespace {

struct Danneggiato {};  // thrown inside the reader, turned into 3049 at its edge

void Verifica(bool condizione) {
    if (!condizione) throw Danneggiato{};
}

// Bounds-checked reads of a block of bytes.
struct Blocco {
    const uint8_t* Dati = nullptr;
    size_t N = 0;
    uint8_t B(size_t o) const {
        Verifica(o < N);
        return Dati[o];
    }
    uint16_t W(size_t o) const {
        Verifica(o + 2 <= N && o + 2 > o);
        return U16(Dati + o);
    }
    uint32_t L(size_t o) const {
        Verifica(o + 4 <= N && o + 4 > o);
        return U32(Dati + o);
    }
};

std::string DaUcs2(const uint8_t* p, size_t n) {
    std::string out;
    out.reserve(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2) {
        char32_t c = char32_t(p[i] | (p[i + 1] << 8));
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < n) {
            const char32_t c2 = char32_t(p[i + 2] | (p[i + 3] << 8));
            if (c2 >= 0xDC00 && c2 <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (c2 - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Jet 4 text: UCS-2, or its compressed form (0xFF 0xFE, then runs of single
// bytes and of UCS-2 pairs, each 0x00 switching between the two).
std::string TestoJet4(const uint8_t* p, size_t n) {
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        std::string out;
        bool compresso = true;
        size_t i = 2;
        while (i < n) {
            if (p[i] == 0) {
                compresso = !compresso;
                ++i;
            } else if (compresso) {
                AppendUtf8(out, p[i]);
                ++i;
            } else {
                if (i + 1 >= n) break;
                AppendUtf8(out, char32_t(p[i] | (p[i + 1] << 8)));
                i += 2;
            }
        }
        return out;
    }
    return DaUcs2(p, n);
}

std::string Guid(const uint8_t* p) {
    static const char* hex = "0123456789ABCDEF";
    std::string s = "{";
    auto byte = [&](int i) {
        s += hex[p[i] >> 4];
        s += hex[p[i] & 15];
    };
    for (int i = 3; i >= 0; --i)
        byte(i);
    s += '-';
    byte(5), byte(4);
    s += '-';
    byte(7), byte(6);
    s += '-';
    byte(8), byte(9);
    s += '-';
    for (int i = 10; i < 16; ++i)
        byte(i);
    return s + "}";
}

}  // namespace

class DatabaseJet::Lettore {
  public:
    Lettore(std::unique_ptr<FileInLettura> file, std::string percorso)
        : file_(std::move(file)), percorso_(std::move(percorso)) {}

    std::unique_ptr<FileInLettura> file_;
    std::string percorso_;
    Costanti c_ = Jet3;
    bool jet4_ = false;
    uint32_t chiave_ = 0;
    uint64_t pagine_ = 0;
    uint64_t budget_ = 0;  // bytes of texts and long values still allowed
    std::unordered_map<uint32_t, std::vector<uint8_t>> cache_;

    const uint8_t* Pagina(uint32_t n) {
        Verifica(n < pagine_);
        auto it = cache_.find(n);
        if (it != cache_.end()) return it->second.data();
        if (cache_.size() >= 4096) cache_.clear();
        std::vector<uint8_t> buf(c_.Pagina);
        Verifica(file_->Leggi(uint64_t(n) * c_.Pagina, buf.data(), buf.size()));
        if (chiave_ != 0 && n != 0) Rc4(buf.data(), buf.size(), chiave_ ^ n);
        return cache_.emplace(n, std::move(buf)).first->second.data();
    }

    void Spendi(size_t n) {
        Verifica(n <= budget_);
        budget_ -= n;
    }

    std::string Testo(const uint8_t* p, size_t n, uint16_t codePage) {
        Spendi(n);
        if (jet4_) return TestoJet4(p, n);
        (void)codePage;  // only Windows-1252 is known natively; see README
        return Windows1252().ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
    }

    // A row of a data page by its number: [inizio, fine) within the page.
    // Returns false for a deleted row; follows the page's pointer when the
    // row has moved to another page.
    bool Riga(uint32_t pagina, uint32_t riga, const uint8_t*& dati, size_t& n, int salti = 0) {
        const uint8_t* p = Pagina(pagina);
        Verifica(p[0] == PaginaDati);
        Blocco b{p, c_.Pagina};
        const uint16_t righe = b.W(c_.RigheDati);
        Verifica(riga < righe);
        const size_t base = c_.RigheDati + 2;
        const uint16_t voce = b.W(base + 2 * riga);
        if (voce & 0x8000) return false;
        const size_t inizio = voce & 0x1FFF;
        const size_t fine = riga == 0 ? c_.Pagina : (b.W(base + 2 * (riga - 1)) & 0x1FFF);
        Verifica(inizio >= base + 2 * righe && inizio < fine && fine <= c_.Pagina);
        if (voce & 0x4000) {
            Verifica(fine - inizio >= 4 && salti < 8);
            const uint32_t ptr = U32(p + inizio);
            return RigaQualsiasi(ptr >> 8, ptr & 0xFF, dati, n, salti + 1);
        }
        dati = p + inizio;
        n = fine - inizio;
        return true;
    }

    // The target of a row pointer, whatever its own flags.
    bool RigaQualsiasi(uint32_t pagina, uint32_t riga, const uint8_t*& dati, size_t& n, int salti) {
        const uint8_t* p = Pagina(pagina);
        Verifica(p[0] == PaginaDati);
        Blocco b{p, c_.Pagina};
        const uint16_t righe = b.W(c_.RigheDati);
        Verifica(riga < righe);
        const size_t base = c_.RigheDati + 2;
        const uint16_t voce = b.W(base + 2 * riga);
        const size_t inizio = voce & 0x1FFF;
        const size_t fine = riga == 0 ? c_.Pagina : (b.W(base + 2 * (riga - 1)) & 0x1FFF);
        Verifica(inizio >= base + 2 * righe && inizio < fine && fine <= c_.Pagina);
        if ((voce & 0x4000) && !(voce & 0x8000)) {
            Verifica(fine - inizio >= 4 && salti < 8);
            const uint32_t ptr = U32(p + inizio);
            return RigaQualsiasi(ptr >> 8, ptr & 0xFF, dati, n, salti + 1);
        }
        dati = p + inizio;
        n = fine - inizio;
        return true;
    }

    // The bytes of a table definition, over its chain of pages.
    std::vector<uint8_t> Definizione(uint32_t pagina) {
        std::vector<uint8_t> def;
        std::set<uint32_t> viste;
        uint32_t n = pagina;
        bool prima = true;
        while (n != 0 || prima) {
            Verifica(viste.insert(n).second);
            const uint8_t* p = Pagina(n);
            Verifica(p[0] == PaginaDefinizione);
            def.insert(def.end(), p + (prima ? 0 : 8), p + c_.Pagina);
            n = U32(p + 4);
            prima = false;
        }
        return def;
    }

    Tabella LeggiDefinizione(uint32_t pagina, std::vector<uint32_t>& pagineDati) {
        const std::vector<uint8_t> def = Definizione(pagina);
        Blocco b{def.data(), def.size()};
        Tabella t;
        const uint16_t numColonne = b.W(c_.DefNumColonne);
        Verifica(numColonne <= 256);  // Jet holds at most 255 columns
        const uint32_t numIndiciReali = b.L(c_.DefNumIndiciReali);
        Verifica(numIndiciReali <= def.size());
        size_t o = c_.DefInizioColonne + size_t(numIndiciReali) * c_.VoceIndiceReale;
        Verifica(o + size_t(numColonne) * c_.VoceColonna <= def.size());
        for (uint16_t i = 0; i < numColonne; ++i, o += c_.VoceColonna) {
            Colonna col;
            col.Tipo = b.B(o);
            col.IndiceVar = b.W(o + c_.ColIndiceVar);
            col.Numero = b.W(o + c_.ColNumero);
            col.Fissa = (b.B(o + c_.ColFlag) & 0x01) != 0;
            col.OffsetFisso = b.W(o + c_.ColOffsetFisso);
            col.Lunghezza = b.W(o + c_.ColLunghezza);
            col.Precisione = b.B(o + c_.ColPrecisione);
            col.Scala = b.B(o + c_.ColPrecisione + 1);
            t.Colonne.push_back(col);
        }
        for (auto& col : t.Colonne) {
            if (jet4_) {
                const uint16_t len = b.W(o);
                Verifica(o + 2 + len <= def.size());
                col.Nome = DaUcs2(def.data() + o + 2, len);
                o += 2 + len;
            } else {
                const uint8_t len = b.B(o);
                Verifica(o + 1 + len <= def.size());
                col.Nome = Windows1252().ToUtf8(
                    std::string_view(reinterpret_cast<const char*>(def.data() + o + 1), len));
                o += 1 + len;
            }
        }
        // Columns in the order of their numbers, as Jet lists them.
        std::stable_sort(t.Colonne.begin(), t.Colonne.end(),
                         [](const Colonna& a, const Colonna& z) { return a.Numero < z.Numero; });
        const uint32_t mappa = b.L(c_.DefMappaUso);
        pagineDati = PagineDellaMappa(mappa >> 8, mappa & 0xFF, pagina);
        return t;
    }

    std::vector<uint32_t> PagineDellaMappa(uint32_t pagina, uint32_t riga, uint32_t definizione) {
        const uint8_t* dati;
        size_t n;
        Verifica(Riga(pagina, riga, dati, n));
        Blocco b{dati, n};
        std::vector<uint32_t> pagine;
        auto aggiungi = [&](uint64_t p) {
            if (p >= pagine_) return;
            const uint8_t* pg = Pagina(uint32_t(p));
            if (pg[0] == PaginaDati && U32(pg + 4) == definizione) pagine.push_back(uint32_t(p));
        };
        const uint8_t tipo = b.B(0);
        if (tipo == 0) {
            const uint32_t inizio = b.L(1);
            for (size_t i = 5; i < n; ++i)
                for (int bit = 0; bit < 8; ++bit)
                    if (dati[i] & (1 << bit)) aggiungi(uint64_t(inizio) + (i - 5) * 8 + bit);
        } else if (tipo == 1) {
            const uint64_t perPagina = uint64_t(c_.Pagina - 4) * 8;
            std::set<uint32_t> viste;
            for (size_t k = 0; 1 + 4 * k + 4 <= n; ++k) {
                const uint32_t mp = b.L(1 + 4 * k);
                if (mp == 0) continue;
                Verifica(viste.insert(mp).second);
                const uint8_t* pm = Pagina(mp);
                Verifica(pm[0] == PaginaMappa);
                for (size_t i = 4; i < c_.Pagina; ++i)
                    for (int bit = 0; bit < 8; ++bit)
                        if (pm[i] & (1 << bit)) aggiungi(k * perPagina + (i - 4) * 8 + bit);
            }
        } else {
            Verifica(false);
        }
        std::sort(pagine.begin(), pagine.end());
        pagine.erase(std::unique(pagine.begin(), pagine.end()), pagine.end());
        return pagine;
    }

    // A long value (memo, OLE) from its 12-byte field.
    std::string ValoreLungo(const uint8_t* campo, size_t n) {
        Verifica(n >= 12);
        const uint32_t testa = U32(campo);
        const uint32_t lunghezza = testa & 0x3FFFFFFF;
        Verifica(lunghezza <= uint64_t(pagine_) * c_.Pagina);
        Spendi(lunghezza);
        if (testa & 0x80000000u) {
            Verifica(12 + size_t(lunghezza) <= n);
            return std::string(reinterpret_cast<const char*>(campo + 12), lunghezza);
        }
        uint32_t ptr = U32(campo + 4);
        if (testa & 0x40000000u) {
            const uint8_t* d;
            size_t dn;
            Verifica(RigaQualsiasi(ptr >> 8, ptr & 0xFF, d, dn, 0));
            Verifica(dn >= lunghezza);
            return std::string(reinterpret_cast<const char*>(d), lunghezza);
        }
        std::string out;
        std::set<uint32_t> visti;
        while (out.size() < lunghezza) {
            Verifica(ptr != 0 && visti.insert(ptr).second);
            const uint8_t* d;
            size_t dn;
            Verifica(RigaQualsiasi(ptr >> 8, ptr & 0xFF, d, dn, 0));
            Verifica(dn >= 4);
            ptr = U32(d);
            const size_t parte = std::min<size_t>(dn - 4, lunghezza - out.size());
            out.append(reinterpret_cast<const char*>(d + 4), parte);
        }
        return out;
    }

    // Decodes one row into the table's columns.
    void DecodificaRiga(Tabella& t, const uint8_t* r, size_t n) {
        const size_t testa = jet4_ ? 2 : 1;
        Verifica(n >= testa);
        const size_t colonneRiga = jet4_ ? U16(r) : r[0];
        const size_t maschera = (colonneRiga + 7) / 8;
        Verifica(n >= testa + maschera);
        const uint8_t* nulli = r + n - maschera;
        auto presente = [&](uint16_t numero) {
            return numero < colonneRiga && (nulli[numero / 8] & (1 << (numero % 8))) != 0;
        };

        // The variable-offset table, eod as its last entry.
        size_t numVar = 0;
        std::vector<size_t> offVar;
        bool haVar = false;
        for (const auto& c : t.Colonne)
            haVar |= !c.Fissa;
        if (haVar) {
            if (jet4_) {
                Verifica(n >= testa + maschera + 2);
                numVar = U16(r + n - maschera - 2);
                Verifica(n >= maschera + 2 + 2 * (numVar + 1));
                for (size_t i = 0; i <= numVar; ++i)
                    offVar.push_back(U16(r + n - maschera - 4 - 2 * i));
            } else {
                Verifica(n >= testa + maschera + 1);
                numVar = r[n - maschera - 1];
                size_t salti = (n - 1) / 256;
                Verifica(n >= maschera + 2 + salti + numVar + 1);
                // The count comes from the row's size; a last entry past eod
                // is a filler that still takes its byte.
                const size_t puntatore = n - maschera - salti - 2;
                if ((puntatore - numVar) / 256 < salti) --salti;
                size_t usati = 0;
                for (size_t i = 0; i <= numVar; ++i) {
                    while (usati < salti && i == r[n - maschera - 2 - usati])
                        ++usati;
                    offVar.push_back(r[puntatore - i] + 256 * usati);
                }
            }
        }

        for (size_t ci = 0; ci < t.Colonne.size(); ++ci) {
            const Colonna& c = t.Colonne[ci];
            Valore v;
            if (c.Tipo == SiNo) {
                v = Valore::Booleano(presente(c.Numero));
            } else if (!presente(c.Numero)) {
                // Null
            } else if (c.Fissa) {
                const size_t len = LunghezzaFissa(c.Tipo);
                const size_t o = testa + c.OffsetFisso;
                if (len == 0 || o + len > n) throw Danneggiato{};
                v = Fisso(c, r + o);
            } else if (c.IndiceVar < numVar) {
                const size_t a = offVar[c.IndiceVar], z = offVar[c.IndiceVar + 1];
                Verifica(a <= z && z <= n);
                v = Variabile(c, r + a, z - a);
            }
            t.Valori[ci].push_back(std::move(v));
        }
        // Every decoded cell counts against the budget too: a hostile file
        // cannot make many rows of many columns out of a few bytes.
        Spendi(t.Colonne.size() * 8);
        ++t.Righe;
    }

    Valore Fisso(const Colonna& c, const uint8_t* p) {
        switch (c.Tipo) {
            case Byte:
                return Valore::Intero(p[0]);
            case Integer:
                return Valore::Intero(int16_t(U16(p)));
            case Long:
                return Valore::Intero(int32_t(U32(p)));
            case Currency: {
                int64_t v;
                std::memcpy(&v, p, 8);
                return Valore::Valuta(v);
            }
            case Single: {
                float f;
                std::memcpy(&f, p, 4);
                return Valore::Doppio(f);
            }
            case Double:
            case DataOra: {
                double d;
                std::memcpy(&d, p, 8);
                return c.Tipo == DataOra ? Valore::DataOra(d) : Valore::Doppio(d);
            }
            case ReplicationId:
                return Valore::Testo(Guid(p));
            case Numeric: {
                double v = 0;
                for (int w = 0; w < 4; ++w)
                    v = v * 4294967296.0 + double(U32(p + 1 + 4 * w));
                for (int s = 0; s < c.Scala && s < 28; ++s)
                    v /= 10;
                return Valore::Doppio(p[0] & 0x80 ? -v : v);
            }
            default:
                throw Danneggiato{};
        }
    }

    Valore Variabile(const Colonna& c, const uint8_t* p, size_t n) {
        switch (c.Tipo) {
            case Text:
                return Valore::Testo(Testo(p, n, 0));
            case Binary:
                Spendi(n);
                return Valore::Binario(std::string(reinterpret_cast<const char*>(p), n));
            case Memo: {
                const std::string b = ValoreLungo(p, n);
                const auto* q = reinterpret_cast<const uint8_t*>(b.data());
                return Valore::Testo(jet4_ ? TestoJet4(q, b.size()) : Windows1252().ToUtf8(b));
            }
            case Ole:
                return Valore::Binario(ValoreLungo(p, n));
            default:
                // Fixed types stored as variable (never written by Jet): the
                // bytes are read like a fixed column when they are enough.
                if (LunghezzaFissa(c.Tipo) != 0 && n >= LunghezzaFissa(c.Tipo)) return Fisso(c, p);
                return {};
        }
    }

    Tabella LeggiTabella(uint32_t definizione) {
        std::vector<uint32_t> pagine;
        Tabella t = LeggiDefinizione(definizione, pagine);
        t.Valori.resize(t.Colonne.size());
        std::vector<uint8_t> riga;
        for (uint32_t pg : pagine) {
            const uint16_t righe = U16(Pagina(pg) + c_.RigheDati);
            Verifica(c_.RigheDati + 2 + size_t(righe) * 2 <= c_.Pagina);
            for (uint16_t i = 0; i < righe; ++i) {
                const uint8_t* d;
                size_t n;
                if (!Riga(pg, i, d, n)) continue;
                // A copy: reading long values may refill the page cache.
                riga.assign(d, d + n);
                DecodificaRiga(t, riga.data(), riga.size());
            }
        }
        return t;
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
    std::unique_ptr<DatabaseJet> db(new DatabaseJet);
    db->lettore_ = std::make_unique<Lettore>(std::move(file), percorso);
    Lettore& l = *db->lettore_;

    const uint64_t dimensione = l.file_->Dimensione();
    uint8_t testa[0x100];
    if (dimensione < Jet3.Pagina || !l.file_->Leggi(0, testa, sizeof testa))
        throw FormatoNonRiconosciuto(percorso);
    if (testa[0] != 0 || std::memcmp(testa + 4, FirmaJet, 16) != 0)
        throw FormatoNonRiconosciuto(percorso);
    const uint32_t versione = U32(testa + OffsetVersione);
    if (versione > 1) throw FormatoNonRiconosciuto(percorso);
    l.jet4_ = db->jet4_ = versione == 1;
    l.c_ = l.jet4_ ? Jet4 : Jet3;
    if (dimensione < l.c_.Pagina * 3ull) throw DatabaseDanneggiato(percorso);
    l.pagine_ = dimensione / l.c_.Pagina;
    l.budget_ = dimensione * 64 + (64u << 20);

    uint8_t chiaro[0x100];
    std::memcpy(chiaro, testa, sizeof chiaro);
    Rc4(chiaro + OffsetCifrato, l.c_.AreaCifrata);
    db->codePage_ = U16(chiaro + OffsetCodePage);
    l.chiave_ = U32(chiaro + OffsetChiave);

    // The password: up to its first zero (Jet 3: code page bytes; Jet 4:
    // UCS-2 under the mask of the creation date).
    std::string salvata;
    if (l.jet4_) {
        uint8_t maschera[4];
        MascheraPasswordJet4(chiaro, maschera);
        uint8_t pw[40];
        for (int i = 0; i < 40; ++i)
            pw[i] = chiaro[OffsetPassword + i] ^ maschera[i % 4];
        size_t n = 0;
        while (n + 1 < 40 && (pw[n] | pw[n + 1]))
            n += 2;
        salvata = DaUcs2(pw, n);
    } else {
        size_t n = 0;
        while (n < 20 && chiaro[OffsetPassword + n])
            ++n;
        salvata = Windows1252().ToUtf8(
            std::string_view(reinterpret_cast<const char*>(chiaro + OffsetPassword), n));
    }
    if (!salvata.empty() && salvata != password) throw PasswordNonValida();

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

const Tabella& DatabaseJet::LeggiTabella(const std::string& nome) {
    const std::string chiave = Piega(nome);
    auto it = tabelle_.find(chiave);
    if (it != tabelle_.end()) return *it->second;
    const VoceCatalogo* voce = nullptr;
    for (const auto& v : catalogo_)
        if (Piega(v.Nome) == chiave) voce = &v;
    if (!voce) throw TabellaNonTrovata(nome);
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
