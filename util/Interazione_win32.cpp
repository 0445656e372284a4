#include <windows.h>

#include <string>

#include "util/Interazione.h"
#include "util/Testo.h"

namespace quandora {

namespace {

// The real message boxes, owned by the active window of the thread so that
// they are modal to the program's window.
class InterazioneWindows final : public Interazione {
  public:
    int MsgBox(std::string_view testo, unsigned stile, std::string_view titolo) override {
        const std::string t = ToAnsi(testo);
        const std::string c = ToAnsi(titolo);
        return MessageBoxA(GetActiveWindow(), t.c_str(), c.c_str(), stile);
    }
};

}  // namespace

Interazione& InterazionePredefinita() {
    static InterazioneWindows instance;
    return instance;
}

}  // namespace quandora
