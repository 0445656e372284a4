#pragma once
// Quandora's installation and data folders, found through the application
// path that Windows' registry holds for "quandora.exe". Nothing is cached:
// each call reads the registry and the file system again.

#include <string>

namespace quandora {

// The installation folder, ending in "\". Errors 4051 (not registered) and
// 4052 (the registered folder is gone).
std::string CercaCartellaQuandora();

// The data folder, the installation folder followed by "BNK\", created
// (with the folders above it) when missing; a creation that fails shows
// later, when the list file is opened.
std::string CercaCartellaDatiQuandora();

}  // namespace quandora
