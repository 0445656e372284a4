// jetsql: runs one SQL statement on a Jet database file and prints the
// result as CSV, or lists the user tables.
//
//   jetsql FILE [--pwd P] "SELECT ..."
//   jetsql FILE [--pwd P] --tables
//
// Output (UTF-8, one line per row, "\n" endings): a header row with the
// column names, then the rows. Fields are separated by commas; texts are
// always in double quotes with inner quotes doubled; Null is an empty
// field; Yes/No is -1 or 0; currency has up to four decimals; dates are
// yyyy-mm-dd hh:mm:ss; doubles have 15 significant digits; bytes are hex
// after 0x. On failure it prints "Errore N: description" on the error
// stream and exits with 1; with bad arguments it prints its usage and
// exits with 2.

#include <cstdio>
#include <string>

#include "jet/Jet.h"
#include "jet/JetSql.h"
#include "util/DataOle.h"
#include "util/Errore.h"
#include "util/Testo.h"

using namespace quandora;

namespace {

std::string Csv(const Valore& v) {
    char buf[64];
    switch (v.Tipo) {
        case TipoValore::Null:
            return "";
        case TipoValore::DataOra: {
            const ParteData p = ScomponiData(v.D);
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.Anno, p.Mese,
                          p.Giorno, p.Ore, p.Minuti, p.Secondi);
            return buf;
        }
        case TipoValore::Booleano:
            return v.I ? "-1" : "0";
        case TipoValore::Testo: {
            std::string s = "\"";
            for (char c : v.S) {
                if (c == '"') s += '"';
                s += c;
            }
            return s + "\"";
        }
        case TipoValore::Binario: {
            std::string s = "0x";
            for (unsigned char c : v.S) {
                std::snprintf(buf, sizeof buf, "%02X", c);
                s += buf;
            }
            return s;
        }
        default:
            return v.ComeTesto();
    }
}

std::string Argomento(const char* a) {
#ifdef _WIN32
    return FromAnsi(a);  // the ANSI command line
#else
    return a;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::string file, password, sql;
    bool tabelle = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = Argomento(argv[i]);
        if (a == "--pwd" && i + 1 < argc)
            password = Argomento(argv[++i]);
        else if (a == "--tables")
            tabelle = true;
        else if (file.empty())
            file = a;
        else if (sql.empty())
            sql = a;
        else
            file.clear(), i = argc;
    }
    if (file.empty() || (sql.empty() == !tabelle)) {
        std::fprintf(stderr,
                     "uso: jetsql FILE [--pwd P] \"SQL\" | jetsql FILE [--pwd P] --tables\n");
        return 2;
    }
    try {
        auto db = jet::DatabaseJet::Apri(file, password);
        std::string out;
        if (tabelle) {
            out = Csv(Valore::Testo("Tabella"));
            out += '\n';
            for (const auto& t : db->TabelleUtente())
                out += Csv(Valore::Testo(t)) + "\n";
        } else {
            const jet::Risultato r = jet::Esegui(*db, sql);
            for (size_t c = 0; c < r.Colonne.size(); ++c) {
                if (c) out += ',';
                out += Csv(Valore::Testo(r.Colonne[c]));
            }
            out += "\n";
            for (const auto& riga : r.Righe) {
                for (size_t c = 0; c < riga.size(); ++c) {
                    if (c) out += ',';
                    out += Csv(riga[c]);
                }
                out += "\n";
            }
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    } catch (const Errore& e) {
        std::fprintf(stderr, "Errore %d: %s\n", int(e.Numero()), e.Descrizione().c_str());
        return 1;
    }
}
