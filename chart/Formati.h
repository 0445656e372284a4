#pragma once
// The texts of the chart: amounts as "###,###,##0.00" with the user's
// grouping and decimal symbols, dates as "dd-MM-yy" and "dd-MM-yyyy", and
// the number at the start of a text as the chart file's count field holds
// it.

#include <cstdint>
#include <string>
#include <string_view>

#include "util/DataOle.h"

namespace quandora {

// The user's regional symbols for numbers (UTF-8).
struct SimboliNumerici {
    std::string Decimale = ",";
    std::string Migliaia = ".";
};

// The symbols of the user's regional settings as they stand now. Windows
// reads them on every call (LOCALE_SDECIMAL, LOCALE_STHOUSAND of the user's
// locale), so a change in the control panel shows at the next drawing; the
// native builds have no regional settings and use the Italian ones.
SimboliNumerici SimboliUtente();

// "###,###,##0.00": thousands grouped, at least one digit before the
// decimal symbol, two decimals rounded half away from zero, a minus sign in
// front of negative amounts (not of an amount that rounds to zero).
std::string FormattaImporto(double importo, const SimboliNumerici& simboli);

// "###,000": at least three digits with leading zeros, the thousands
// grouped with the user's symbol, a minus sign in front of negative counts.
std::string FormattaGiorni(int32_t giorni, const SimboliNumerici& simboli);

// "dd-MM-yy" (breve) or "dd-MM-yyyy".
std::string FormattaDataBreve(Data data);
std::string FormattaDataLunga(Data data);

// The decimal number at the start of a text, as Visual Basic's Val reads
// it: blanks (space, tab, line feed) anywhere are skipped, then an optional
// sign, digits, an optional "." with more digits and an optional exponent
// (E or D). A text without a number gives 0.
double ValoreIniziale(std::string_view testo);

// The range of OLE Automation dates: 1 January 100 to 31 December 9999.
constexpr Data kDataMinima = -657434.0;
constexpr Data kDataMassima = 2958465.99999;
inline bool DataValida(Data d) {
    return d >= kDataMinima && d < 2958466.0;
}

}  // namespace quandora
