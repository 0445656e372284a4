// The stand-in hosts: each quandora.exe built by quandora_host carries the
// file version it was given, or none.

#include <gtest/gtest.h>

#include <string>

#include "util/Modulo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

std::string Host(const std::string& nome) {
    return CartellaModulo() + "..\\host\\" + nome + "\\quandora.exe";
}

TEST(HostSostitutivo, EachQuandoraExeHasTheVersionItWasBuiltWith) {
    const uxUtilita u;
    EXPECT_EQ(u.GetVersione(Host("quandora")), "3.3.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_3_0_0")), "3.3.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_2_9_9")), "3.2.9.9");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_10_0_0")), "3.10.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_4_0_1_7")), "4.0.1.7");
    // Without a version resource the file is there and reads as 0.0.0.0.
    EXPECT_EQ(u.GetVersione(Host("quandora_senza_versione")), "0.0.0.0");
    EXPECT_EQ(u.ConfrontaVersione(u.GetVersione(Host("quandora_senza_versione")), "3.3.0.0"), -1);
    EXPECT_NE(u.GetVersione(Host("quandora_senza_versione")),
              u.GetVersione(Host("non_esiste")) + "x");
}

}  // namespace
}  // namespace quandora
