// The text helpers of uxUtilita.

#include <gtest/gtest.h>

#include "util/uxUtilita.h"

using quandora::uxUtilita;

TEST(UxReplace, ReplacesLeftToRightWithoutOverlapAndNotWithAnEmptyArgument) {
    const uxUtilita u;
    EXPECT_EQ(u.uxReplace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(u.uxReplace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(u.uxReplace("Conto Conto", "Conto", "Cassa"), "Cassa Cassa");
    EXPECT_EQ(u.uxReplace("abc", "b", "bbb"), "abbbc");  // no re-scan of the replacement
    EXPECT_EQ(u.uxReplace("Abc", "a", "x"), "Abc");      // case-sensitive
    EXPECT_EQ(u.uxReplace("ab", "abc", "x"), "ab");      // a search longer than the text
    EXPECT_EQ(u.uxReplace("aaaa", "aa", ""), "aaaa");
    EXPECT_EQ(u.uxReplace("aaaa", "", "b"), "aaaa");
    EXPECT_EQ(u.uxReplace("", "a", "b"), "");
}

TEST(UxSplit, PiecesBetweenSeparatorsOrOneEmptyPieceAndFalse) {
    const uxUtilita u;
    std::vector<std::string> pezzi = {"vecchio", "contenuto"};
    EXPECT_TRUE(u.uxSplit(pezzi, "a;;b;", ";"));
    EXPECT_EQ(pezzi, (std::vector<std::string>{"a", "", "b"}));

    EXPECT_TRUE(u.uxSplit(pezzi, "uno<>due<>tre", "<>"));
    EXPECT_EQ(pezzi, (std::vector<std::string>{"uno", "due", "tre"}));

    // Only one final separator is ignored.
    EXPECT_TRUE(u.uxSplit(pezzi, "x,,", ","));
    EXPECT_EQ(pezzi, (std::vector<std::string>{"x", ""}));
    EXPECT_TRUE(u.uxSplit(pezzi, ",", ","));
    EXPECT_EQ(pezzi, (std::vector<std::string>{""}));
    EXPECT_TRUE(u.uxSplit(pezzi, "senza", ","));
    EXPECT_EQ(pezzi, (std::vector<std::string>{"senza"}));
    pezzi = {"a", "b"};
    EXPECT_FALSE(u.uxSplit(pezzi, "", ","));
    EXPECT_EQ(pezzi, (std::vector<std::string>{""}));
    pezzi = {"a", "b"};
    EXPECT_FALSE(u.uxSplit(pezzi, "a,b", ""));
    EXPECT_EQ(pezzi, (std::vector<std::string>{""}));
}

TEST(Testi, BlanksGoAndSecondsBecomeATimeValue) {
    const uxUtilita u;
    EXPECT_EQ(u.EspuraSpazi("  1 234 , 56 "), "1234,56");
    EXPECT_EQ(u.EspuraSpazi("a\tb"), "a\tb");
    EXPECT_EQ(u.EspuraSpazi(""), "");
    EXPECT_EQ(u.EspuraSpazi("   "), "");
    EXPECT_DOUBLE_EQ(u.LongToDate(0), 0.0);
    EXPECT_DOUBLE_EQ(u.LongToDate(3661), (3600 + 60 + 1) / 86400.0);
    EXPECT_DOUBLE_EQ(u.LongToDate(43200), 0.5);
    // 24 hours and more run into the following days.
    EXPECT_DOUBLE_EQ(u.LongToDate(86400 + 21600), 1.25);
    const auto p = quandora::ScomponiData(u.LongToDate(2 * 86400 + 13 * 3600 + 5 * 60 + 9));
    EXPECT_EQ(p.Giorno, 1);  // 1 January 1900
    EXPECT_EQ(p.Ore, 13);
    EXPECT_EQ(p.Minuti, 5);
    EXPECT_EQ(p.Secondi, 9);
    // A negative count goes back before the base day, time counted forward.
    const auto n = quandora::ScomponiData(u.LongToDate(-3600));
    EXPECT_EQ(n.Giorno, 29);
    EXPECT_EQ(n.Ore, 23);
    const auto grande = quandora::ScomponiData(u.LongToDate(2147483647));
    EXPECT_EQ(grande.Anno, 1968);
}
