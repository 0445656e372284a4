#include "util/Testo.h"

namespace quandora {

// Native builds have no system code page of their own: they behave as a
// Western European Windows does.
const CodePage& SystemCodePage() {
    return Windows1252();
}

}  // namespace quandora
