#pragma once
// A scripted Interazione for in-process tests: records every message box
// and answers with the queued answers (OK when none is queued). Installed for
// the lifetime of the object.

#include <deque>
#include <string>
#include <vector>

#include "util/Interazione.h"

namespace quandora::test {

struct BoxMostrato {
    std::string testo;
    unsigned stile;
    std::string titolo;
};

class InterazioneRegistrata : public Interazione {
  public:
    InterazioneRegistrata() : precedente_(ImpostaInterazione(this)) {}
    ~InterazioneRegistrata() override { ImpostaInterazione(precedente_); }
    InterazioneRegistrata(const InterazioneRegistrata&) = delete;
    InterazioneRegistrata& operator=(const InterazioneRegistrata&) = delete;

    int MsgBox(std::string_view testo, unsigned stile, std::string_view titolo) override {
        boxes.push_back({std::string(testo), stile, std::string(titolo)});
        if (risposte.empty()) return mb::kIdOk;
        const int r = risposte.front();
        risposte.pop_front();
        return r;
    }

    std::vector<BoxMostrato> boxes;
    std::deque<int> risposte;

  private:
    Interazione* precedente_;
};

}  // namespace quandora::test
