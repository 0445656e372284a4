// Benchmark of the balance query: the query of every day of ten years (3,653
// queries on one open database) over a host database of 20,000 movements in
// 8 accounts and 30 cash books, for one account and for all, with and
// without the no-statistics condition. Beside it, measured in the same run,
// a plain loop that sums the same amounts from arrays already in memory.
//
//   jet_bench [FOLDER]   (the database is written there; default: temp)

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "chart/clsQuery.h"
#include "host/SchemaHost.h"
#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"

using namespace quandora;
using Orologio = std::chrono::steady_clock;

namespace {

double Secondi(Orologio::time_point a, Orologio::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path cartella =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    const std::string file = (cartella / "jet_bench.mdb").string();

    host::DatiHost d;
    for (int c = 1; c <= 8; ++c)
        d.Conti.push_back({c, "Conto " + std::to_string(c)});
    for (int k = 0; k < 30; ++k)
        d.Casse.push_back({100 + k, 1 + k % 8, "Cassa " + std::to_string(k)});
    std::mt19937 g(42);
    const double inizio = DataSerial(2000, 1, 1);
    const int giorni = 3653;
    for (int i = 0; i < 20000; ++i) {
        host::DatiHost::Operazione o;
        o.IDCassa = 100 + int(g() % 30);
        o.Data = inizio + double(g() % unsigned(giorni)) + (i % 9 == 0 ? 0.4 : 0.0);
        o.EuroDiecimillesimi = (int64_t(g() % 400000) - 200000) * 100;
        o.Lire = double(o.EuroDiecimillesimi) / 10000.0 * 1936.27;
        o.NoStatistiche = g() % 10 == 0;
        o.Descrizione = "Movimento " + std::to_string(i);
        d.Operazioni.push_back(o);
    }
    d.Versioni = {2};
    jet::ScriviFileJet3(file, host::TabelleHost(d), PasswordQuandora);

    // The arrays of the plain loop: date, account, flag and amount.
    std::vector<double> data;
    std::vector<int32_t> conto;
    std::vector<uint8_t> flag;
    std::vector<double> euro;
    for (const auto& o : d.Operazioni) {
        data.push_back(o.Data);
        conto.push_back(d.Casse[size_t(o.IDCassa - 100)].IDConto);
        flag.push_back(o.NoStatistiche);
        euro.push_back(double(o.EuroDiecimillesimi) / 10000.0);
    }

    std::printf("Database: %zu movimenti, %zu conti, %zu casse, %d giorni\n", d.Operazioni.size(),
                d.Conti.size(), d.Casse.size(), giorni);
    std::printf("%-28s %12s %12s %12s %8s\n", "caso", "prima (ms)", "query (us)", "ciclo (us)",
                "rapporto");
    int differenze = 0;
    for (int32_t c : {3, -1}) {
        for (bool noStat : {false, true}) {
            auto db = jet::DatabaseJet::Apri(file, PasswordQuandora);
            clsQuery q;
            q.conto = c;
            q.NoStatistiche = noStat;
            std::vector<double> risultati(static_cast<size_t>(giorni));
            double primo = 0;
            const auto t0 = Orologio::now();
            for (int k = 0; k < giorni; ++k) {
                q.data = inizio + k;
                const auto r = jet::Esegui(*db, q.Query());
                risultati[size_t(k)] = r.Righe[0][0].ComeDoppio();
                if (k == 0) primo = Secondi(t0, Orologio::now());
            }
            const auto t1 = Orologio::now();
            std::vector<double> ciclo(static_cast<size_t>(giorni));
            for (int k = 0; k < giorni; ++k) {
                const double giorno = inizio + k;
                double s = 0;
                for (size_t i = 0; i < data.size(); ++i)
                    if (data[i] <= giorno && (c == -1 || conto[i] == c) && !(noStat && flag[i]))
                        s += euro[i];
                ciclo[size_t(k)] = s;
            }
            const auto t2 = Orologio::now();
            for (int k = 0; k < giorni; ++k)
                if (std::abs(ciclo[size_t(k)] - risultati[size_t(k)]) > 0.005) ++differenze;
            const double query = (Secondi(t0, t1) - primo) / (giorni - 1) * 1e6;
            const double rif = Secondi(t1, t2) / giorni * 1e6;
            char nome[64];
            std::snprintf(nome, sizeof nome, "%s%s", c == -1 ? "tutti i conti" : "un conto",
                          noStat ? ", no statistiche" : "");
            std::printf("%-28s %12.2f %12.2f %12.2f %8.2f\n", nome, primo * 1e3, query, rif,
                        query / rif);
        }
    }
    std::printf("Giorni con saldo diverso dal ciclo: %d\n", differenze);
    std::filesystem::remove(file);
    return differenze == 0 ? 0 : 1;
}
