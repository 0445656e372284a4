#pragma once
// The fixture of the uxUtilita tests on Windows: the class under test, a
// scratch folder named after the test (ending in "\"), the boxes recorded.

#include <gtest/gtest.h>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/uxUtilita.h"

namespace quandora::test {

class ProvaUx : public ::testing::Test {
  protected:
    void TearDown() override { Cancella(base); }
    // A copy of a program of the build (beside this one) in the scratch folder.
    std::string Copia(const std::string& programma, const std::string& nome) const {
        CopyFileA(Ansi(CartellaBin() + programma).c_str(), Ansi(base + nome).c_str(), FALSE);
        return base + nome;
    }
    // A REG_SZ value's bytes as stored; "" when missing or of another type.
    static std::string ValoreSz(uint32_t hive, const std::string& chiave, const std::string& nome) {
        const auto v = LeggiGrezzo(hive, chiave, nome);
        return v && v->tipo == REG_SZ ? v->dati : std::string();
    }
    static constexpr uint32_t kCr = uxUtilita::kHkeyClassesRoot;
    static constexpr uint32_t kCu = uxUtilita::kHkeyCurrentUser;
    static constexpr uint32_t kLm = uxUtilita::kHkeyLocalMachine;
    const uxUtilita u{};
    const std::string base = CartellaProva(
        std::string("ux_") + testing::UnitTest::GetInstance()->current_test_info()->name());
    InterazioneRegistrata box;
};

}  // namespace quandora::test
