#pragma once
// The number of the Errore a call raises; 0 when it raises none.

#include <functional>

#include "util/Errore.h"

namespace quandora::test {

inline int NumeroErrore(const std::function<void()>& f) {
    try {
        f();
    } catch (const Errore& e) {
        return e.Numero();
    }
    return 0;
}

}  // namespace quandora::test
