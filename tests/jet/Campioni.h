#pragma once
// The files Microsoft Access made (../shared/jet-samples beside the project,
// CAMPIONI_JET): their paths as this build sees them (under Wine through the
// Z: drive).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quandora::test {

// A file or folder of the samples, by its path inside their folder.
inline std::string Campione(const std::string& relativo) {
    std::string p = std::string(CAMPIONI_JET) + "/" + relativo;
#ifdef _WIN32
    std::replace(p.begin(), p.end(), '/', '\\');
    p = "Z:" + p;
#endif
    return p;
}

// Every sample file, jet3/ then jet4/, by name. A test that needs them fails
// when they are missing.
inline std::vector<std::string> FileCampione() {
    std::vector<std::string> file;
    for (const char* versione : {"jet3", "jet4"}) {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(Campione(versione), ec))
            if (e.path().extension() == ".mdb") file.push_back(e.path().string());
    }
    std::sort(file.begin(), file.end());
    EXPECT_GE(file.size(), 20u) << "sample files missing in " << CAMPIONI_JET;
    return file;
}

}  // namespace quandora::test
