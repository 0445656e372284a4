#include "util/DataOle.h"

#include <cmath>

namespace quandora {

namespace {
// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpocaOle = -25569;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
}  // namespace

// Proleptic Gregorian calendar, counted in days from 1970-01-01 through
// 400-year eras (146097 days each).
int64_t GiornoDaCivile(int anno, int mese, int giorno) {
    int64_t y = anno;
    const int64_t m = mese;
    y -= m <= 2;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + giorno - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - kEpocaOle;
}

void CivileDaGiorno(int64_t giorno, int& anno, int& mese, int& gg) {
    const int64_t z = giorno + kEpocaOle + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    gg = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    mese = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    anno = static_cast<int>(yoe + era * 400 + (mese <= 2));
}

Data DataSerial(int anno, int mese, int giorno) {
    // Months roll over into years first, then days count from the first of
    // the month.
    int64_t m0 = static_cast<int64_t>(mese) - 1;
    const int64_t a = anno + FloorDiv(m0, 12);
    m0 -= FloorDiv(m0, 12) * 12;
    return static_cast<Data>(GiornoDaCivile(static_cast<int>(a), static_cast<int>(m0 + 1), 1) +
                             giorno - 1);
}

ParteData ScomponiData(Data d) {
    // Whole part toward zero is the day; the fraction's absolute value is the
    // time of day.
    double intero = std::trunc(d);
    int64_t secondi = std::llround(std::fabs(d - intero) * 86400.0);
    if (secondi >= 86400) {
        // Rounding reached midnight: that is the next day forward in time.
        secondi -= 86400;
        intero += 1;
    }
    ParteData p;
    CivileDaGiorno(static_cast<int64_t>(intero), p.Anno, p.Mese, p.Giorno);
    p.Ore = static_cast<int>(secondi / 3600);
    p.Minuti = static_cast<int>(secondi / 60 % 60);
    p.Secondi = static_cast<int>(secondi % 60);
    return p;
}

}  // namespace quandora
