#pragma once
// uxUtilita: the utility class shared by Trevalto and Varniko.
//
// A class without data members: each user keeps its own instance. Its
// operations trap their own errors and return a neutral result (an empty
// text, false, "-1"); only a few show a message of their own. The
// operations are defined one unit per concern: names ending in _win32 call
// Windows and build only for it, the others are portable.

#include <cstdint>
#include <string>

namespace quandora {

class uxUtilita {
  public:
    // --- File versions (Versione.cpp, Versione_win32.cpp) ---

    // The file version of a file's version resource as "major.minor.build.
    // revision"; "0.0.0.0" when the file or its resource is missing.
    // Every field is the unsigned 16-bit word of the resource (0 to 65535).
    std::string GetVersione(const std::string& file) const;

    // Compares two version texts field by field: 1 when VersioneA is newer,
    // 0 when equal, -1 when older. See CampoVersione for how fields read.
    int32_t ConfrontaVersione(const std::string& VersioneA, const std::string& VersioneB) const;

    // --- Error reports and log (Errori.cpp, Log_win32.cpp) ---

    // Shows the current error in a message box titled "Errore <n>" with the
    // information icon, then clears it.
    void PrintErrore() const;
    // As PrintErrore, with the text "<inizio>: <description>".
    void PrintErroreEx(const std::string& inizio) const;
    // The Italian text of a runtime error number; for numbers outside the
    // table, the current error's description.
    std::string MessaggioErroreITA(int32_t codice) const;
    // Appends a line (CR LF, ANSI) to a log file; see Log_win32.cpp.
    bool ScriviLog(std::string testo, const std::string& filename = std::string(), bool data = true,
                   bool CancellaPrecedente = false) const;

  private:
    static uint16_t ParteAlta(uint32_t n);
    static uint16_t ParteBassa(uint32_t n);
    static uint16_t CampoVersione(const std::string& testo, int16_t n);
    static int32_t ConfrontaCampi(uint16_t a, uint16_t b);
    std::string TestoErrore() const;
};

}  // namespace quandora
