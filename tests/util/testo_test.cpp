#include <gtest/gtest.h>

#include <array>

#include "util/DataOle.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

using namespace quandora;

TEST(Windows1252, RoundTripsEveryByteAndReplacesWhatItCannotMap) {
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Windows1252().FromUtf8(Windows1252().ToUtf8(byte)), byte) << b;
    }
    EXPECT_EQ(Windows1252().ToUtf8("\x80"), "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(Windows1252().ToUtf8("\xE8"), "\xC3\xA8");       // è
    EXPECT_EQ(Windows1252().FromUtf8("\xE4\xB8\xAD"), "?");    // a CJK character
    EXPECT_EQ(Windows1252().FromUtf8("a\xC3"), "a?");          // cut sequence
    EXPECT_EQ(Windows1252().FromUtf8("\xC0\x80"), "??");       // overlong NUL
    EXPECT_EQ(Windows1252().FromUtf8("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(Windows1252().FromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

static std::array<int, 6> Parti(Data d) {
    const ParteData p = ScomponiData(d);
    return {p.Anno, p.Mese, p.Giorno, p.Ore, p.Minuti, p.Secondi};
}

TEST(DataOle, KnownDatesRollOverAndDatesBeforeTheEpochCountTimeForward) {
    EXPECT_EQ(DataSerial(1899, 12, 30), 0.0);
    EXPECT_EQ(DataSerial(2004, 3, 15), 38061.0);
    EXPECT_EQ(DataSerial(2000, 2, 29) + 1, DataSerial(2000, 3, 1));
    EXPECT_EQ(DataSerial(1900, 2, 28) + 1, DataSerial(1900, 3, 1));  // 1900 was no leap year
    EXPECT_EQ(Parti(38061.75), (std::array{2004, 3, 15, 18, 0, 0}));
    EXPECT_EQ(DataSerial(2004, 13, 1), DataSerial(2005, 1, 1));
    EXPECT_EQ(DataSerial(2004, 0, 1), DataSerial(2003, 12, 1));
    EXPECT_EQ(DataSerial(2004, 3, 0), DataSerial(2004, 2, 29));
    EXPECT_EQ(DataSerial(2004, 1, 32), DataSerial(2004, 2, 1));
    EXPECT_EQ(DataSerial(2004, -11, 1), DataSerial(2003, 1, 1));
    EXPECT_EQ(Parti(-1.25), (std::array{1899, 12, 29, 6, 0, 0}));
    // A time that rounds to midnight belongs to the next day.
    EXPECT_EQ(Parti(-1.9999999999), (std::array{1899, 12, 30, 0, 0, 0}));
    EXPECT_EQ(Parti(38061.99999999999), (std::array{2004, 3, 16, 0, 0, 0}));
}

TEST(DataOle, EveryDayOfFourCenturiesRoundTrips) {
    for (int64_t g = DataSerial(1800, 1, 1); g < DataSerial(2200, 1, 1); ++g) {
        int a, m, d;
        CivileDaGiorno(g, a, m, d);
        ASSERT_EQ(GiornoDaCivile(a, m, d), g);
        ASSERT_GE(d, 1);
        ASSERT_LE(d, 31);
    }
}

// Seconds as a time value: 24 hours and more run into the following days; a
// negative count goes back before the base day, the time counted forward.
TEST(LongToDate, SecondsBecomeATimeValueOfAsManyDays) {
    const uxUtilita u;
    EXPECT_DOUBLE_EQ(u.LongToDate(43200), 0.5);
    EXPECT_DOUBLE_EQ(u.LongToDate(86400 + 21600), 1.25);
    EXPECT_EQ(Parti(u.LongToDate(2 * 86400 + 13 * 3600 + 5 * 60 + 9)),
              (std::array{1900, 1, 1, 13, 5, 9}));
    EXPECT_EQ(Parti(u.LongToDate(-3600)), (std::array{1899, 12, 29, 23, 0, 0}));
    EXPECT_EQ(Parti(u.LongToDate(2147483647)), (std::array{1968, 1, 18, 3, 14, 7}));
}
