#pragma once
// The module folder: the folder of the file (program or library) that holds
// the running code, as Windows reports it. Windows only.

#include <string>

namespace quandora {

// Full path of the module (the .exe or .dll) this code is linked into.
std::string PercorsoModulo();

// Its folder, ending in "\".
std::string CartellaModulo();

}  // namespace quandora
