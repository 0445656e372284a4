#include "modulelist/ListaModuli.h"

#include <algorithm>

#include "util/Errore.h"
#include "util/Testo.h"

namespace quandora {

namespace {

constexpr int32_t kMassimoRecord = 32767;

// A field as stored: ANSI, cut to its width, filled with spaces. Whether
// the code page holds the text exactly is told by the way back: whatever
// it lacks came out as "?" or as a look-alike (Windows' best fit), and
// reads back as something else; so does malformed UTF-8.
std::string Campo(const std::string& utf8, size_t larghezza) {
    std::string ansi = ToAnsi(utf8);
    if (FromAnsi(ansi) != utf8) throw ErroreDiSistema(5);
    ansi.resize(larghezza, ' ');
    return ansi;
}

// The records of the file, read in one go: at most one record more than the
// list can number, which is enough to find the overflow.
struct Contenuto {
    std::string dati;
    int32_t totale = 0;
};

Contenuto LeggiContenuto(FileModuli& file) {
    constexpr uint64_t kMassimo = (kMassimoRecord + 1) * uint64_t{kLunghezzaRecordModulo};
    const uint64_t dimensione = file.Dimensione();
    Contenuto c;
    c.dati.assign(static_cast<size_t>(dimensione < kMassimo ? dimensione : kMassimo), ' ');
    c.dati.resize(file.Leggi(0, c.dati.data(), c.dati.size()));
    c.totale =
        static_cast<int32_t>((c.dati.size() + kLunghezzaRecordModulo - 1) / kLunghezzaRecordModulo);
    return c;
}

// Record k (from 1); bytes missing at the end of the file read as spaces.
RecordModulo LeggiRecord(const Contenuto& c, int32_t k) {
    std::string buffer =
        c.dati.substr(static_cast<size_t>(k - 1) * kLunghezzaRecordModulo, kLunghezzaRecordModulo);
    buffer.resize(kLunghezzaRecordModulo, ' ');
    return {buffer.substr(0, kLunghezzaPercorsoModulo),
            buffer.substr(kLunghezzaPercorsoModulo, kLunghezzaNomeModulo),
            buffer.substr(kLunghezzaPercorsoModulo + kLunghezzaNomeModulo)};
}

void ScriviRecord(FileModuli& file, int32_t k, const RecordModulo& r) {
    const std::string buffer = r.pathname + r.nome + r.descrizione;
    file.Scrivi(static_cast<uint64_t>(k - 1) * kLunghezzaRecordModulo, buffer.data(),
                buffer.size());
}

std::string Chiave(const std::string& ansi) {
    return Maiuscolo(FromAnsi(TogliSpazi(ansi)));
}

}  // namespace

RecordModulo RecordDelModulo(const std::string& pathname, const std::string& nome,
                             const std::string& descrizione) {
    return {Campo(pathname, kLunghezzaPercorsoModulo), Campo(nome, kLunghezzaNomeModulo),
            Campo(descrizione, kLunghezzaDescrizioneModulo)};
}

bool AggiungiModuloAlFile(FileModuli& file, const RecordModulo& modulo) {
    const std::string nomeCercato = Chiave(modulo.nome);
    const Contenuto contenuto = LeggiContenuto(file);
    const int32_t totale = contenuto.totale;
    for (int32_t i = 1; i <= totale; ++i) {
        if (i > kMassimoRecord) throw ErroreDiSistema(6);
        RecordModulo r = LeggiRecord(contenuto, i);
        if (Chiave(r.nome) != nomeCercato) continue;
        if (Chiave(r.pathname) != Chiave(modulo.pathname) ||
            Chiave(r.descrizione) != Chiave(modulo.descrizione)) {
            r.pathname = modulo.pathname;
            r.descrizione = modulo.descrizione;
            ScriviRecord(file, i, r);
        }
        return true;
    }
    if (totale + 1 > kMassimoRecord) throw ErroreDiSistema(6);
    // A partial last record is completed with spaces before the new one.
    const uint64_t fine = static_cast<uint64_t>(totale) * kLunghezzaRecordModulo;
    const uint64_t dimensione = contenuto.dati.size();
    if (dimensione < fine) {
        const std::string spazi(static_cast<size_t>(fine - dimensione), ' ');
        file.Scrivi(dimensione, spazi.data(), spazi.size());
    }
    ScriviRecord(file, totale + 1, modulo);
    return true;
}

std::vector<VoceModulo> LeggiListaModuli(FileModuli& file) {
    std::vector<VoceModulo> voci;
    std::vector<std::string> chiavi;
    const Contenuto contenuto = LeggiContenuto(file);
    for (int32_t i = 1; i <= contenuto.totale; ++i) {
        if (i > kMassimoRecord) throw ErroreDiSistema(6);
        const RecordModulo r = LeggiRecord(contenuto, i);
        if (r.nome[0] == '\0') continue;
        voci.push_back({FromAnsi(TogliSpazi(r.pathname)), FromAnsi(TogliSpazi(r.nome)),
                        FromAnsi(TogliSpazi(r.descrizione))});
    }
    // By name in upper case, by character codes (UTF-8 bytes order as code
    // points do); equal names keep their order in the file.
    std::stable_sort(voci.begin(), voci.end(), [](const VoceModulo& a, const VoceModulo& b) {
        return Maiuscolo(a.nome) < Maiuscolo(b.nome);
    });
    return voci;
}

}  // namespace quandora
