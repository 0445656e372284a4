// GetVersione against real version resources: the build makes small programs
// with known file versions (and one without any resource) beside this test.

#include <windows.h>

#include <gtest/gtest.h>

#include "util/Modulo.h"
#include "util/uxUtilita.h"

using quandora::CartellaModulo;
using quandora::uxUtilita;

TEST(GetVersione, ReadsTheFileVersionOfTheResourceOrZero) {
    const uxUtilita u;
    const std::string bin = CartellaModulo();
    EXPECT_EQ(u.GetVersione(bin + "versione_3_3_0_0.exe"), "3.3.0.0");
    EXPECT_EQ(u.GetVersione(bin + "versione_3_10_0_0.exe"), "3.10.0.0");
    // The product version of this one is 9.9.9.9: only the file version counts.
    EXPECT_EQ(u.GetVersione(bin + "versione_4_0_1_7.exe"), "4.0.1.7");
    // Fields above 32767 read as unsigned 16-bit numbers.
    EXPECT_EQ(u.GetVersione(bin + "versione_40000_65535_1_2.exe"), "40000.65535.1.2");
    EXPECT_EQ(u.GetVersione(bin + "senza_versione.exe"), "0.0.0.0");
    EXPECT_EQ(u.GetVersione(bin + "non_esiste.exe"), "0.0.0.0");
    EXPECT_EQ(u.GetVersione(""), "0.0.0.0");
}
