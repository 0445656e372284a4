#pragma once
// A scripted Interazione for in-process tests: records every message box
// and answers with the queued answers (OK when none is queued). Installed for
// the lifetime of the object.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
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

    // File dialogs: each shown dialog is recorded as it was set up (with the
    // name it offered); the queued answers are the names chosen, nullopt a
    // cancel (a cancel when none is queued).
    bool MostraDialogoFile(intptr_t, DialogoFile& dialogo, bool salva) override {
        dialoghi.push_back({dialogo, salva});
        if (scelte.empty() || !scelte.front()) {
            if (!scelte.empty()) scelte.pop_front();
            return false;
        }
        dialogo.FileName = *scelte.front();
        scelte.pop_front();
        return true;
    }

    // Window events let through: counted, then the test's handler runs.
    void DoEvents() override {
        ++giri;
        if (eventi) eventi(giri);
    }

    std::vector<BoxMostrato> boxes;
    std::deque<int> risposte;
    struct DialogoMostrato {
        DialogoFile dialogo;
        bool salva;
    };
    std::vector<DialogoMostrato> dialoghi;
    std::deque<std::optional<std::string>> scelte;
    std::function<void(int)> eventi;
    int giri = 0;

  private:
    Interazione* precedente_;
};

}  // namespace quandora::test
