#include <cstdio>
#include <string>

#include "util/Interazione.h"

namespace quandora {

namespace {

// Native builds have no screen: the box is written to standard error and
// answered with its default button.
class InterazioneSuConsole final : public Interazione {
  public:
    int MsgBox(std::string_view testo, unsigned stile, std::string_view titolo) override {
        std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(titolo.size()), titolo.data(),
                     static_cast<int>(testo.size()), testo.data());
        const unsigned bottoni = stile & 0x0F;
        const bool secondo = (stile & mb::kDefButton2) != 0;
        if (bottoni == mb::kYesNo) return secondo ? mb::kIdNo : mb::kIdYes;
        if (bottoni == mb::kOkCancel) return secondo ? mb::kIdCancel : mb::kIdOk;
        return mb::kIdOk;
    }
};

}  // namespace

Interazione& InterazionePredefinita() {
    static InterazioneSuConsole instance;
    return instance;
}

}  // namespace quandora
