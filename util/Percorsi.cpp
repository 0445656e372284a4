// Paths as texts: folder form, file names and extensions. Nothing here
// touches the file system, so it builds and is tested everywhere.

#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

std::string uxUtilita::AggiungiSepDir(std::string& percorso) const {
    percorso = TogliSpazi(percorso);
    if (!percorso.empty() && percorso.back() != '\\') percorso += '\\';
    return percorso;
}

std::string uxUtilita::AggiungiSepDir(std::string&& percorso) const {
    std::string copia = std::move(percorso);
    return AggiungiSepDir(copia);
}

std::string uxUtilita::EstraiPath(const std::string& filename) const {
    const auto sep = filename.rfind('\\');
    // A "\" only as the first character is no folder part.
    if (sep == std::string::npos || sep == 0) return {};
    return filename.substr(0, sep + 1);
}

std::string uxUtilita::DeterminaSoloFileName(std::string pathname) const {
    return SoloNomeDaPercorso(pathname);
}

std::string uxUtilita::SoloNomeDaPercorso(const std::string& percorso) const {
    const auto sep = percorso.find_last_of("\\/");
    return sep == std::string::npos ? percorso : percorso.substr(sep + 1);
}

std::string uxUtilita::EstraiEstensione(const std::string& filename) const {
    // The scan does not stop at a separator: a dot in a folder name counts
    // when the file name has none.
    const auto punto = filename.rfind('.');
    if (punto == std::string::npos || punto == 0) return {};
    return filename.substr(punto + 1);
}

std::string uxUtilita::StripTerminator(std::string strString) const {
    const auto nul = strString.find('\0');
    if (nul != std::string::npos) strString.resize(nul);
    return strString;
}

}  // namespace quandora
