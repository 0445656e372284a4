#include "tests/support/SuperficieRegistrata.h"

#include "util/Testo.h"

namespace quandora {

double SuperficieRegistrata::LarghezzaTesto(const std::string& testo) {
    size_t pos = 0;
    size_t caratteri = 0;
    for (; pos < testo.size(); ++caratteri)
        NextUtf8(testo, pos);
    return static_cast<double>(caratteri) * stato_.Punti * kLarghezzaPerPunto;
}

}  // namespace quandora
