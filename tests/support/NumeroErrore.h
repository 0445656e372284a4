#pragma once
// The number of the Errore a call raises (its description to descrizione,
// when given); 0 when it raises none.

#include <functional>
#include <string>

#include "util/Errore.h"

namespace quandora::test {

inline int NumeroErrore(const std::function<void()>& f, std::string* descrizione = nullptr) {
    try {
        f();
    } catch (const Errore& e) {
        if (descrizione) *descrizione = e.Descrizione();
        return e.Numero();
    }
    return 0;
}

}  // namespace quandora::test
