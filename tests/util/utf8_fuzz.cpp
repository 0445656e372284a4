// Any bytes taken as UTF-8 decode without reading past the end, and what
// Windows-1252 can hold survives the round trip.
#include <cstddef>
#include <cstdint>
#include <string>

#include "util/Testo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string testo(reinterpret_cast<const char*>(data), size);
    const std::string ansi = quandora::Windows1252().FromUtf8(testo);
    const std::string utf8 = quandora::Windows1252().ToUtf8(ansi);
    if (quandora::Windows1252().FromUtf8(utf8) != ansi) __builtin_trap();
    return 0;
}
