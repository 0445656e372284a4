// The portable helpers of uxUtilita: texts, paths as texts, version texts.

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
    using Pezzi = std::vector<std::string>;
    // Only one final separator is ignored.
    const struct {
        const char *testo, *separatore;
        Pezzi atteso;
    } casi[] = {{"a;;b;", ";", {"a", "", "b"}},
                {"uno<>due<>tre", "<>", {"uno", "due", "tre"}},
                {"x,,", ",", {"x", ""}},
                {",", ",", {""}},
                {"senza", ",", {"senza"}}};
    for (const auto& c : casi) {
        Pezzi pezzi = {"vecchio", "contenuto"};
        EXPECT_TRUE(u.uxSplit(pezzi, c.testo, c.separatore)) << c.testo;
        EXPECT_EQ(pezzi, c.atteso) << c.testo;
    }
    for (const auto& [testo, separatore] : {std::pair{"", ","}, {"a,b", ""}}) {
        Pezzi pezzi = {"a", "b"};
        EXPECT_FALSE(u.uxSplit(pezzi, testo, separatore));
        EXPECT_EQ(pezzi, Pezzi{""});
    }
}

TEST(Testi, BlanksGoAndSecondsBecomeATimeValue) {
    const uxUtilita u;
    EXPECT_EQ(u.EspuraSpazi("  1 234 , 56 "), "1234,56");
    EXPECT_EQ(u.EspuraSpazi("a\tb"), "a\tb");
    EXPECT_EQ(u.EspuraSpazi(""), "");
    EXPECT_EQ(u.EspuraSpazi("   "), "");
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
    EXPECT_EQ(quandora::ScomponiData(u.LongToDate(2147483647)).Anno, 1968);
}

TEST(AggiungiSepDir, ChangesTheCallersVariableAndReturnsTheSameText) {
    const uxUtilita u;
    std::string p = "  C:\\Programmi\\Quandora  ";
    // Already in folder form the second time: unchanged.
    for (int volta = 0; volta < 2; ++volta) {
        EXPECT_EQ(u.AggiungiSepDir(p), "C:\\Programmi\\Quandora\\");
        EXPECT_EQ(p, "C:\\Programmi\\Quandora\\");
    }
    std::string vuoto = "   ";
    EXPECT_EQ(u.AggiungiSepDir(vuoto), "");
    EXPECT_EQ(vuoto, "");
    // Only blanks are trimmed; a "/" is not a separator here.
    std::string tab = "\tC:/x";
    EXPECT_EQ(u.AggiungiSepDir(tab), "\tC:/x\\");
    EXPECT_EQ(u.AggiungiSepDir(std::string(" D:\\ ")), "D:\\");
}

TEST(PartiDelPercorso, FolderFileNameExtensionAndTheTextBeforeANul) {
    const uxUtilita u;
    EXPECT_EQ(u.EstraiPath("C:\\Prog\\x.exe"), "C:\\Prog\\");
    EXPECT_EQ(u.EstraiPath("C:\\"), "C:\\");
    EXPECT_EQ(u.EstraiPath("x.exe"), "");
    EXPECT_EQ(u.EstraiPath("\\x.exe"), "");
    EXPECT_EQ(u.EstraiPath("\\\\srv\\dati\\a.b"), "\\\\srv\\dati\\");
    EXPECT_EQ(u.DeterminaSoloFileName("C:\\Prog/sub/y.txt"), "y.txt");
    EXPECT_EQ(u.DeterminaSoloFileName("C:/a\\b\\z"), "z");
    EXPECT_EQ(u.DeterminaSoloFileName("nome.dat"), "nome.dat");
    EXPECT_EQ(u.DeterminaSoloFileName("C:\\Prog\\"), "");
    EXPECT_EQ(u.DeterminaSoloFileName(""), "");
    EXPECT_EQ(u.EstraiEstensione("archivio.tar.gz"), "gz");
    EXPECT_EQ(u.EstraiEstensione(".profilo"), "");
    EXPECT_EQ(u.EstraiEstensione("punto."), "");
    EXPECT_EQ(u.EstraiEstensione("senza"), "");
    // The scan does not stop at a folder: a dotted folder name counts.
    EXPECT_EQ(u.EstraiEstensione("C:\\v1.2\\leggimi"), "2\\leggimi");
    EXPECT_EQ(u.StripTerminator(std::string("C:\\WINDOWS\0   \0x", 16)), "C:\\WINDOWS");
    EXPECT_EQ(u.StripTerminator("intero"), "intero");
    EXPECT_EQ(u.StripTerminator(std::string("\0abc", 4)), "");
}

// Fields compare as unsigned 16-bit numbers, not as text; beyond that range
// a field is the largest one. "3.3" reads as 3.3.3.3, "" as 0.0.0.0, fields
// past the fourth are ignored, a field reads its leading digits.
TEST(ConfrontaVersione, FieldsAsUnsigned16BitNumbersShortTextsRepeatingTheirLastField) {
    const uxUtilita u;
    EXPECT_EQ(u.ConfrontaVersione("3.2.9.9", "3.3.0.0"), -1);
    EXPECT_EQ(u.ConfrontaVersione("3.3.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.10.0.0", "3.3.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("32768.0.0.0", "32767.0.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("99999999999999999999.0.0.0", "65534.0.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("70000.0.0.0", "65535.0.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.3", "3.3.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("", "0.0.0.1"), -1);
    EXPECT_EQ(u.ConfrontaVersione("3.3.0.0.9", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione(" 3.3.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.3b.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("-3.0.0.0", "0.0.0.0"), 0);
}
