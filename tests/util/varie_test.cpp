// The portable helpers of uxUtilita: texts, paths as texts, version texts.

#include <gtest/gtest.h>

#include "util/uxUtilita.h"

using quandora::uxUtilita;

TEST(UxReplace, ReplacesLeftToRightWithoutOverlapAndNotWithAnEmptyArgument) {
    const uxUtilita u;
    EXPECT_EQ(u.uxReplace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(u.uxReplace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(u.uxReplace("abc", "b", "bbb"), "abbbc");  // no re-scan of the replacement
    EXPECT_EQ(u.uxReplace("Abc", "a", "x"), "Abc");      // case-sensitive
    EXPECT_EQ(u.uxReplace("ab", "abc", "x"), "ab");      // a search longer than the text
    EXPECT_EQ(u.uxReplace("aaaa", "aa", ""), "aaaa");
    EXPECT_EQ(u.uxReplace("aaaa", "", "b"), "aaaa");
    // Blanks go, other white space stays.
    EXPECT_EQ(u.EspuraSpazi("  1 234 , 56 "), "1234,56");
    EXPECT_EQ(u.EspuraSpazi("a\tb"), "a\tb");
    EXPECT_EQ(u.EspuraSpazi("   "), "");
}

// The result and the pieces, over an old content; only one final separator
// is ignored.
TEST(UxSplit, PiecesBetweenSeparatorsOrOneEmptyPieceAndFalse) {
    using Pezzi = std::vector<std::string>;
    auto dividi = [](const char* testo, const char* separatore) {
        Pezzi pezzi = {"vecchio", "contenuto"};
        const bool diviso = uxUtilita().uxSplit(pezzi, testo, separatore);
        return std::pair{diviso, pezzi};
    };
    EXPECT_EQ(dividi("a;;b;", ";"), std::pair(true, Pezzi{"a", "", "b"}));
    EXPECT_EQ(dividi("uno<>due<>tre", "<>"), std::pair(true, Pezzi{"uno", "due", "tre"}));
    EXPECT_EQ(dividi("x,,", ","), std::pair(true, Pezzi{"x", ""}));
    EXPECT_EQ(dividi(",", ","), std::pair(true, Pezzi{""}));
    EXPECT_EQ(dividi("senza", ","), std::pair(true, Pezzi{"senza"}));
    EXPECT_EQ(dividi("", ","), std::pair(false, Pezzi{""}));
    EXPECT_EQ(dividi("a,b", ""), std::pair(false, Pezzi{""}));
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
    EXPECT_EQ(u.EstraiPath("x.exe"), "");
    EXPECT_EQ(u.EstraiPath("\\x.exe"), "");
    EXPECT_EQ(u.EstraiPath("\\\\srv\\dati\\a.b"), "\\\\srv\\dati\\");
    EXPECT_EQ(u.DeterminaSoloFileName("C:\\Prog/sub/y.txt"), "y.txt");
    EXPECT_EQ(u.DeterminaSoloFileName("C:/a\\b\\z"), "z");
    EXPECT_EQ(u.DeterminaSoloFileName("nome.dat"), "nome.dat");
    EXPECT_EQ(u.DeterminaSoloFileName("C:\\Prog\\"), "");
    EXPECT_EQ(u.EstraiEstensione("archivio.tar.gz"), "gz");
    EXPECT_EQ(u.EstraiEstensione(".profilo"), "");
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
