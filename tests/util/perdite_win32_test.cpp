// No path keeps a kernel handle: the program runs its tests twice (the first
// run fills Windows' own caches), and the second must end with the handles it
// started with. The selection guard is checked by what the context holds.

#include <gtest/gtest.h>

#include "tests/support/Processo_win32.h"
#include "util/Gdi_win32.h"

using namespace quandora;

namespace {

// Asked value by value (Wine's GetProcessHandleCount answers 0); handle
// values are multiples of 4, Wine hands out the lowest free ones.
DWORD HandleAperti() {
    DWORD n = 0;
    for (uintptr_t v = 4; v < 0x1000; v += 4) {
        DWORD flag = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flag)) ++n;
    }
    return n;
}

class ControlloHandle : public testing::EmptyTestEventListener {
    void OnTestIterationStart(const testing::UnitTest&, int giro) override {
        if (giro == 1) prima_ = HandleAperti();
    }
    void OnTestIterationEnd(const testing::UnitTest&, int giro) override {
        if (giro != 1) return;
        // A handle Windows closes on its own a moment later (a process that
        // ends, a wait that completes) is not a leak: a leak stays.
        EXPECT_TRUE(test::Attendi([&] { return HandleAperti() <= prima_; }, 5000))
            << HandleAperti() << " handles open after the second run, " << prima_ << " before";
    }
    DWORD prima_ = 0;
};

const bool g_registrato = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ControlloHandle);
    return true;
}();

}  // namespace

TEST(Perdite, TheProgramRunsTwice) {
    EXPECT_EQ(GTEST_FLAG_GET(repeat), 2) << "GTEST_REPEAT=2 counts the handles of the second run";
}

TEST(Perdite, ASelectionPutsTheContextsOwnObjectBack) {
    const DCCreato dc = CreaDCMemoria(nullptr);
    const HGDIOBJ proprio = GetCurrentObject(dc.get(), OBJ_PEN);
    const Penna rossa(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    const Penna blu(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
    {
        OggettoSelezionato selezionata(dc.get(), rossa.get());
        selezionata.Seleziona(dc.get(), blu.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), blu.get());
        const OggettoSelezionato spostata(std::move(selezionata));
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), proprio);
}
