#pragma once
// Dates as the system keeps them: OLE Automation dates, an 8-byte float of
// days since 30 December 1899 with the time of day as the fraction. For
// dates before that day the whole part counts back and the fraction still
// counts forward from midnight (-1.25 is 29 December 1899, 06:00).

#include <cstdint>

namespace quandora {

using Data = double;

struct ParteData {
    int Anno = 1899;
    int Mese = 12;
    int Giorno = 30;
    int Ore = 0;
    int Minuti = 0;
    int Secondi = 0;
};

// The date of a year, month and day (at midnight). Month and day outside
// their ranges roll over into the next or previous months and years, as
// DateSerial does (month 13 is January of the next year, day 0 the last
// day of the previous month).
Data DataSerial(int anno, int mese, int giorno);

// The date and time parts of a date, the time rounded to the second.
ParteData ScomponiData(Data d);

// The date of a day number (whole days since 30 December 1899) and back.
int64_t GiornoDaCivile(int anno, int mese, int giorno);
void CivileDaGiorno(int64_t giorno, int& anno, int& mese, int& gg);

}  // namespace quandora
