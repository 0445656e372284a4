// dao_bench: what reading through DAO costs beside our engine read
// directly. The balance query of every day of a year on the demo data, on
// one connection: once through ApriDatabase with the DAO stand-in
// registered (every call late bound through IDispatch, answered by the same
// engine), once through our engine alone. The difference is the price of
// the COM layer per query; a real DAO's own engine time is not in it.
//
// Run under Wine in the test prefix:
//   build/win32/wine-run.sh build/win32/bin/dao_bench.exe

#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "chart/clsQuery.h"
#include "database/AccessoDati.h"
#include "host/DatiDemo.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"

using namespace quandora;
using Orologio = std::chrono::steady_clock;

namespace {

// The best of three passes over the year, in seconds; somma collects the
// balances so that nothing is optimised away.
double Migliore(Database& db, Data inizio, int giorni, double& somma) {
    clsQuery q;
    q.conto = -1;
    double migliore = 1e300;
    for (int volta = 0; volta < 3; ++volta) {
        const auto t = Orologio::now();
        for (int i = 0; i < giorni; ++i) {
            q.data = inizio + i;
            auto rs = db.OpenRecordset(q.Query());
            const Valore v = rs->Campo("TotaleEuro");
            if (!v.IsNull()) somma += v.ComeDoppio();
            rs->Close();
        }
        migliore = std::min(migliore, std::chrono::duration<double>(Orologio::now() - t).count());
    }
    return migliore;
}

}  // namespace

int main() {
    CoInitialize(nullptr);
    const daoprova::Server server(ToAnsi(CartellaModulo() + "DaoProva.dll").c_str());
    const daoprova::Registrato registrato(server, daoprova::kClasseDao35);
    if (registrato.Esito() != S_OK) {
        std::fprintf(stderr, "DaoProva.dll cannot be registered\n");
        return 1;
    }
    int esito = 0;
    try {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string cartella = FromAnsi(temp) + "trevalto-dao-bench";
        host::ScriviHost(cartella, DataSerial(2026, 12, 7));
        const std::string mdb = cartella + "\\bnk\\quandora.mdb";
        const Data inizio = DataSerial(2025, 1, 1);
        const int giorni = 365;

        double sommaDao = 0, sommaJet = 0;
        auto dao = ApriDatabase(mdb);
        const double tDao = Migliore(*dao, inizio, giorni, sommaDao);
        dao->Close();
        auto jet = OpenDatabase(mdb, false, true, ConnessioneQuandora());
        const double tJet = Migliore(*jet, inizio, giorni, sommaJet);
        jet->Close();

        std::printf("giorni: %d (2025, tutti i conti)\n", giorni);
        std::printf("through DAO (late bound): %.1f us per query (checksum %.2f)\n",
                    tDao / giorni * 1e6, sommaDao);
        std::printf("our engine directly:      %.1f us per query (checksum %.2f)\n",
                    tJet / giorni * 1e6, sommaJet);
        std::printf("COM layer per query:      %.1f us (%.2f times)\n",
                    (tDao - tJet) / giorni * 1e6, tDao / tJet);
        if (sommaDao != sommaJet) {
            std::fprintf(stderr, "the two ways gave different balances\n");
            esito = 1;
        }
    } catch (const Errore& e) {
        std::fprintf(stderr, "Errore %d: %s\n", e.Numero(), ToAnsi(e.Descrizione()).c_str());
        esito = 1;
    }
    CoUninitialize();
    return esito;
}
