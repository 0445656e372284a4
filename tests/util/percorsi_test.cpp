// Paths as texts: the folder form every caller appends file names to, and
// the pieces of a path.

#include <gtest/gtest.h>

#include "util/uxUtilita.h"

using quandora::uxUtilita;

TEST(AggiungiSepDir, ChangesTheCallersVariableAndReturnsTheSameText) {
    const uxUtilita u;
    std::string p = "  C:\\Programmi\\Quandora  ";
    EXPECT_EQ(u.AggiungiSepDir(p), "C:\\Programmi\\Quandora\\");
    EXPECT_EQ(p, "C:\\Programmi\\Quandora\\");
    // Already in folder form: unchanged, also when called again.
    EXPECT_EQ(u.AggiungiSepDir(p), "C:\\Programmi\\Quandora\\");
    EXPECT_EQ(p, "C:\\Programmi\\Quandora\\");

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
    EXPECT_EQ(u.EstraiPath(""), "");
    EXPECT_EQ(u.EstraiPath("\\\\srv\\dati\\a.b"), "\\\\srv\\dati\\");
    EXPECT_EQ(u.DeterminaSoloFileName("C:\\Prog\\x.exe"), "x.exe");
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
