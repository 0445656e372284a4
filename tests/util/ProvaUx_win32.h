#pragma once
// The fixture of the uxUtilita tests on Windows: the class under test, a
// scratch folder (ending in "\"), the boxes recorded.

#include <gtest/gtest.h>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/uxUtilita.h"

namespace quandora::test {

class ProvaUx : public ::testing::Test {
  protected:
    // A copy of a program of the build (beside this one) in the scratch folder.
    std::string Copia(const std::string& programma, const std::string& nome) const {
        CopyFileA(ToAnsi(CartellaBin() + programma).c_str(), ToAnsi(base + nome).c_str(), FALSE);
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
    const CartellaTemporanea dir;
    const std::string base = dir.Percorso() + "\\";
    InterazioneRegistrata box;
};

}  // namespace quandora::test
