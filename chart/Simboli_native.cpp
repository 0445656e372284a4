#include "chart/Formati.h"

namespace quandora {

// No regional settings here: the Italian symbols.
SimboliNumerici SimboliUtente() {
    return SimboliNumerici{",", "."};
}

}  // namespace quandora
