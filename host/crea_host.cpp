// crea_host CARTELLA [AAAA-MM-GG]
// Writes the stand-in host's data into CARTELLA: quandora.dat (the empty
// template) and bnk\quandora.mdb (the demo accounts up to the day before
// the date given, today by default).

#include <cstdio>
#include <ctime>
#include <string>

#include "host/DatiDemo.h"
#include "util/DataOle.h"
#include "util/Errore.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "uso: crea_host CARTELLA [AAAA-MM-GG]\n");
        return 2;
    }
    int anno = 0, mese = 0, giorno = 0;
    if (argc == 3) {
        if (std::sscanf(argv[2], "%d-%d-%d", &anno, &mese, &giorno) != 3) {
            std::fprintf(stderr, "data non valida: %s\n", argv[2]);
            return 2;
        }
    } else {
        const std::time_t ora = std::time(nullptr);
        const std::tm* oggi = std::localtime(&ora);
        anno = oggi->tm_year + 1900;
        mese = oggi->tm_mon + 1;
        giorno = oggi->tm_mday;
    }
    try {
        quandora::host::ScriviHost(argv[1], quandora::DataSerial(anno, mese, giorno));
    } catch (const quandora::Errore& e) {
        std::fprintf(stderr, "Errore %d: %s\n", e.Numero(), e.Descrizione().c_str());
        return 1;
    }
    return 0;
}
