// The chart file (VRT): a signature field, the header, the days, the number
// of marks as text and the marks, element 0 included. No padding anywhere,
// little-endian integers and IEEE 754 floats, dates as OLE Automation
// dates, fixed-width ANSI text padded with spaces.
//
// Reading checks every count against the bytes really there before it
// allocates, and refuses values that cannot be drawn; the chart in memory
// changes only once the whole file has been read.

#include <cmath>
#include <cstring>
#include <limits>

#include "chart/Grafico.h"
#include "util/Errore.h"
#include "util/FileBinario.h"
#include "util/Testo.h"

namespace quandora {

namespace {

constexpr size_t kCampoTesto = 50;
constexpr size_t kTestata = 291;
constexpr size_t kPunto = 20;
constexpr size_t kSegno = 26;
const char* const kFirma = "VRTFILE - Grafico Trevalto Saldo";

std::string CampoTesto(std::string testo, size_t larghezza) {
    testo.resize(larghezza, ' ');
    return testo;
}

// Little-endian fields, whatever the machine's order.
void ScriviU(std::string& out, uint64_t v, int byte) {
    for (int i = 0; i < byte; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void ScriviI32(std::string& out, int32_t v) {
    ScriviU(out, static_cast<uint32_t>(v), 4);
}
void ScriviI16(std::string& out, int16_t v) {
    ScriviU(out, static_cast<uint16_t>(v), 2);
}
void ScriviF64(std::string& out, double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    ScriviU(out, u, 8);
}
void ScriviF32(std::string& out, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    ScriviU(out, u, 4);
}

uint64_t LeggiU(const unsigned char* p, int byte) {
    uint64_t v = 0;
    for (int i = byte - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}
int32_t LeggiI32(const unsigned char* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(LeggiU(p, 4)));
}
int16_t LeggiI16(const unsigned char* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(LeggiU(p, 2)));
}
double LeggiF64(const unsigned char* p) {
    const uint64_t u = LeggiU(p, 8);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}
float LeggiF32(const unsigned char* p) {
    const uint32_t u = static_cast<uint32_t>(LeggiU(p, 4));
    float v;
    std::memcpy(&v, &u, 4);
    return v;
}

[[noreturn]] void FormatoNonValido() {
    throw Errore(7881, "Formato file non valido");
}
[[noreturn]] void DatiNonCorretti() {
    throw Errore(7882, "Dati non corretti.");
}

// Reads n bytes at offset, which the caller has checked are there; a read
// that still fails is an input/output error.
void Leggi(FileInLettura& file, uint64_t offset, void* dati, size_t n) {
    if (n > 0 && !file.Leggi(offset, dati, n)) throw ErroreFile(EsitoFile::Altro);
}

bool Finito(double v) {
    return std::isfinite(v);
}

}  // namespace

std::string CodificaVrt(const TestataGrafico& testata, const std::vector<PuntoSaldo>& saldi,
                        const std::vector<SegnoGrafico>& segni) {
    std::string out;
    out.reserve(kCampoTesto * 2 + kTestata + kPunto * saldi.size() + kSegno * segni.size());
    out += CampoTesto(kFirma, kCampoTesto);

    ScriviI32(out, testata.NumeroGiorni);
    ScriviF64(out, testata.SaldoMinimo);
    ScriviF64(out, testata.SaldoMassimo);
    ScriviF64(out, testata.DataInizio);
    ScriviF64(out, testata.DataFine);
    // One byte a character; what the code page cannot hold becomes "?".
    out += CampoTesto(ToAnsi(testata.Descrizione), kLunghezzaDescrizione);

    for (const PuntoSaldo& p : saldi) {
        ScriviI32(out, p.Giorno);
        ScriviF64(out, p.Data);
        ScriviF64(out, p.Saldo);
    }

    // The upper bound of the marks, element 0 counted apart.
    const long long limite = static_cast<long long>(segni.size()) - 1;
    out += CampoTesto(std::to_string(limite < 0 ? 0 : limite), kCampoTesto);
    if (segni.empty()) {
        // Never so in the program (the marks are reset before any chart);
        // the file still gets its placeholder record.
        out.append(kSegno, '\0');
    }
    for (const SegnoGrafico& s : segni) {
        ScriviF32(out, s.X);
        ScriviF32(out, s.Y);
        ScriviF64(out, s.Data);
        ScriviF64(out, s.Importo);
        ScriviI16(out, s.Tipo);
    }
    return out;
}

ContenutoVrt LeggiVrt(FileInLettura& file) {
    const uint64_t dimensione = file.Dimensione();
    ContenutoVrt c;

    unsigned char firma[kCampoTesto];
    if (dimensione < kCampoTesto) FormatoNonValido();
    Leggi(file, 0, firma, kCampoTesto);
    if (std::memcmp(firma, CampoTesto(kFirma, kCampoTesto).data(), kCampoTesto) != 0)
        FormatoNonValido();

    unsigned char t[kTestata];
    if (dimensione < kCampoTesto + kTestata) DatiNonCorretti();
    Leggi(file, kCampoTesto, t, kTestata);
    c.Testata.NumeroGiorni = LeggiI32(t);
    c.Testata.SaldoMinimo = LeggiF64(t + 4);
    c.Testata.SaldoMassimo = LeggiF64(t + 12);
    c.Testata.DataInizio = LeggiF64(t + 20);
    c.Testata.DataFine = LeggiF64(t + 28);
    c.Testata.Descrizione =
        FromAnsi(std::string_view(reinterpret_cast<const char*>(t + 36), kLunghezzaDescrizione));

    // The days, the count field and at least the placeholder mark must all
    // be there before anything is allocated.
    const int32_t n = c.Testata.NumeroGiorni;
    if (n < 1) DatiNonCorretti();
    uint64_t offset = kCampoTesto + kTestata;
    const uint64_t byteGiorni = static_cast<uint64_t>(n) * kPunto;
    if (dimensione - offset < byteGiorni + kCampoTesto + kSegno) DatiNonCorretti();
    const TestataGrafico& h = c.Testata;
    if (!Finito(h.SaldoMinimo) || !Finito(h.SaldoMassimo) ||
        !Finito(h.SaldoMassimo - h.SaldoMinimo) || !DataValida(h.DataInizio) ||
        !DataValida(h.DataFine))
        DatiNonCorretti();

    std::vector<unsigned char> blocco(static_cast<size_t>(byteGiorni));
    Leggi(file, offset, blocco.data(), blocco.size());
    offset += byteGiorni;
    c.Saldi.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < c.Saldi.size(); ++i) {
        const unsigned char* p = blocco.data() + i * kPunto;
        PuntoSaldo& s = c.Saldi[i];
        s.Giorno = LeggiI32(p);
        s.Data = LeggiF64(p + 4);
        s.Saldo = LeggiF64(p + 12);
        if (!DataValida(s.Data) || !Finito(s.Saldo)) DatiNonCorretti();
    }

    char campo[kCampoTesto];
    Leggi(file, offset, campo, kCampoTesto);
    offset += kCampoTesto;
    // Rounded to the nearest integer, halves to the even one.
    const double valore = std::nearbyint(ValoreIniziale(std::string_view(campo, kCampoTesto)));
    if (!(valore >= 0 && valore <= kMassimoSegni)) DatiNonCorretti();
    const uint64_t m = static_cast<uint64_t>(valore);
    if (dimensione - offset < (m + 1) * kSegno) DatiNonCorretti();

    blocco.resize(static_cast<size_t>((m + 1) * kSegno));
    Leggi(file, offset, blocco.data(), blocco.size());
    c.Segni.resize(static_cast<size_t>(m + 1));
    for (size_t i = 0; i < c.Segni.size(); ++i) {
        const unsigned char* p = blocco.data() + i * kSegno;
        SegnoGrafico& s = c.Segni[i];
        s.X = LeggiF32(p);
        s.Y = LeggiF32(p + 4);
        s.Data = LeggiF64(p + 8);
        s.Importo = LeggiF64(p + 16);
        s.Tipo = LeggiI16(p + 24);
        // Element 0 is never drawn: it comes back as it was stored.
        if (i > 0 && (!std::isfinite(s.X) || !std::isfinite(s.Y) || !DataValida(s.Data) ||
                      !Finito(s.Importo)))
            DatiNonCorretti();
    }
    return c;
}

void GraficoSaldi::SalvaVrtFile(const std::string& nomeFile) const {
    if (Testata.NumeroGiorni == 0) return;
    EsitoFile esito;
    if (!ScriviFileSicuro(nomeFile, CodificaVrt(Testata, Saldi, Segni), esito))
        throw ErroreFile(esito);
}

void GraficoSaldi::ApriVrtFile(const std::string& nomeFile) {
    EsitoFile esito;
    auto file = FileInLettura::Apri(nomeFile, esito);
    if (!file) throw ErroreFile(esito);
    ContenutoVrt c = LeggiVrt(*file);
    file.reset();
    Testata = std::move(c.Testata);
    Saldi = std::move(c.Saldi);
    Segni = std::move(c.Segni);
}

}  // namespace quandora
