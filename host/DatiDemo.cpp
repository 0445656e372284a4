#include "host/DatiDemo.h"

#include <cmath>
#include <filesystem>
#include <random>

#include "util/DataOle.h"
#include "util/Errore.h"

namespace quandora::host {

namespace {

// Accounts and cash books of the family.
enum : int32_t {
    kContoCorrente = 1,
    kLibretto = 2,
    kCarta = 3,
    kContanti = 4,
};
enum : int32_t {
    kCassaBanca = 11,
    kCassaBonifici = 12,
    kCassaLibretto = 21,
    kCassaCarta = 31,
    kCassaPortafoglio = 41,
};

int64_t Centesimi(double euro) {
    return static_cast<int64_t>(std::llround(euro * 100.0)) * 100;
}

class Generatore {
  public:
    explicit Generatore(DatiHost& d) : d_(d), caso_(20210101) {}

    void Movimento(int32_t cassa, double data, double euro, const std::string& descrizione,
                   bool noStatistiche = false) {
        DatiHost::Operazione o;
        o.IDCassa = cassa;
        o.Data = data;
        o.EuroDiecimillesimi = Centesimi(euro);
        o.Lire = std::round(static_cast<double>(o.EuroDiecimillesimi) / 10000.0 * 1936.27);
        o.NoStatistiche = noStatistiche;
        o.Descrizione = descrizione;
        d_.Operazioni.push_back(o);
    }
    // A move between two of the family's own cash books: it changes no
    // total, so it is left out of the statistics.
    void Giroconto(int32_t da, int32_t a, double data, double euro, const std::string& testo) {
        Movimento(da, data, -euro, testo, true);
        Movimento(a, data, euro, testo, true);
    }
    double Importo(double minimo, double massimo) {
        std::uniform_real_distribution<double> u(minimo, massimo);
        return std::round(u(caso_) * 100.0) / 100.0;
    }
    int Intero(int minimo, int massimo) {
        std::uniform_int_distribution<int> u(minimo, massimo);
        return u(caso_);
    }

  private:
    DatiHost& d_;
    std::mt19937 caso_;
};

}  // namespace

DatiHost DatiModello() {
    DatiHost d;
    d.Versioni = {2};
    return d;
}

DatiHost DatiDemo(double fine) {
    DatiHost d = DatiModello();
    d.Conti = {{kContoCorrente, "Conto corrente"},
               {kLibretto, "Libretto di risparmio"},
               {kCarta, "Carta di credito"},
               {kContanti, "Contanti"}};
    d.Casse = {{kCassaBanca, kContoCorrente, "Banca"},
               {kCassaBonifici, kContoCorrente, "Bonifici"},
               {kCassaLibretto, kLibretto, "Libretto"},
               {kCassaCarta, kCarta, "Carta"},
               {kCassaPortafoglio, kContanti, "Portafoglio"}};

    Generatore g(d);
    const double inizio = DataSerial(2021, 1, 1);
    g.Movimento(kCassaBanca, inizio, 3250.00, "Saldo iniziale");
    g.Movimento(kCassaLibretto, inizio, 8000.00, "Saldo iniziale");
    g.Movimento(kCassaPortafoglio, inizio, 120.00, "Saldo iniziale");

    double speseCarta = 0;
    for (double giorno = inizio; giorno < fine; giorno += 1) {
        const ParteData p = ScomponiData(giorno);
        const int dow = static_cast<int>(std::fmod(std::floor(giorno) + 6, 7));  // 0 = Monday

        if (p.Giorno == 27) g.Movimento(kCassaBonifici, giorno, 2450.00, "Stipendio");
        if (p.Giorno == 27 && p.Mese == 12) {
            g.Movimento(kCassaBonifici, giorno, 2100.00, "Tredicesima");
        }
        if (p.Giorno == 5) g.Movimento(kCassaBonifici, giorno, -780.00, "Affitto");
        if (p.Giorno == 10 && p.Mese % 2 == 0) {
            g.Movimento(kCassaBanca, giorno, -g.Importo(60, 140), "Bolletta luce");
            g.Movimento(kCassaBanca, giorno, -g.Importo(40, 190), "Bolletta gas");
        }
        if (p.Giorno == 15) g.Movimento(kCassaBanca, giorno, -29.90, "Telefono e internet");
        if (p.Giorno == 28) {
            g.Giroconto(kCassaBonifici, kCassaLibretto, giorno, 250.00, "Risparmio mensile");
        }
        // Shopping: at the supermarket with the card, small things in cash.
        if (dow == 5) {
            const double spesa = g.Importo(55, 160);
            g.Movimento(kCassaCarta, giorno + 0.75, -spesa, "Spesa supermercato");
            speseCarta += spesa;
        }
        if (dow == 2 && g.Intero(0, 1) == 1) {
            g.Movimento(kCassaPortafoglio, giorno, -g.Importo(8, 45), "Mercato");
        }
        if (g.Intero(0, 9) == 0) {
            const double acquisto = g.Importo(15, 220);
            g.Movimento(kCassaCarta, giorno, -acquisto, "Acquisti");
            speseCarta += acquisto;
        }
        if (g.Intero(0, 9) == 0) {
            const double pieno = g.Importo(45, 75);
            g.Movimento(kCassaCarta, giorno, -pieno, "Carburante");
            speseCarta += pieno;
        }
        if (dow == 6 && g.Intero(0, 2) == 0) {
            g.Movimento(kCassaPortafoglio, giorno + 0.85, -g.Importo(25, 70), "Pizzeria");
        }
        if (g.Intero(0, 24) == 0) {
            g.Movimento(kCassaPortafoglio, giorno, -g.Importo(6, 38), "Farmacia");
        }
        // Cash from the bank every other week.
        if (dow == 0 && static_cast<int64_t>(giorno) / 7 % 2 == 0) {
            g.Giroconto(kCassaBanca, kCassaPortafoglio, giorno, 100.00, "Prelievo bancomat");
        }
        // The card's statement is paid from the current account.
        if (p.Giorno == 16 && speseCarta > 0) {
            g.Giroconto(kCassaBanca, kCassaCarta, giorno, std::round(speseCarta * 100) / 100,
                        "Addebito estratto conto carta");
            speseCarta = 0;
        }
        if (p.Giorno == 31 && p.Mese == 12) {
            g.Movimento(kCassaLibretto, giorno, g.Importo(20, 60), "Interessi");
        }
        if (p.Mese == 8 && p.Giorno == 3) {
            g.Movimento(kCassaCarta, giorno, -g.Importo(900, 1600), "Vacanze");
        }
    }
    return d;
}

void ScriviHost(const std::string& cartella, double fine) {
    namespace fs = std::filesystem;
    const fs::path radice = fs::u8path(cartella);
    std::error_code ec;
    fs::create_directories(radice / "bnk", ec);
    if (ec) throw ErroreDiSistema(76);
    const auto utf8 = [](const fs::path& p) {
        const auto u = p.u8string();
        return std::string(u.begin(), u.end());
    };
    jet::ScriviFileJet3(utf8(radice / "quandora.dat"), TabelleHost(DatiModello()),
                        PasswordQuandora);
    jet::ScriviFileJet3(utf8(radice / "bnk" / "quandora.mdb"), TabelleHost(DatiDemo(fine)),
                        PasswordQuandora);
}

}  // namespace quandora::host
