#pragma once
// Files as the portable code sees them: reading at an offset from a file
// opened shared and read-only, reading a whole file, and writing a file so
// that a failure never destroys the previous one. Paths are UTF-8 texts;
// the Windows implementation converts them to the ANSI code page.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "util/Errore.h"

namespace quandora {

enum class EsitoFile {
    Ok,
    NonTrovato,          // the file does not exist
    PercorsoNonTrovato,  // its folder does not exist, or the name is not valid
    InUso,               // another process holds it without sharing, or locked
    AccessoNegato,       // no permission, read-only file, or a folder
    DiscoPieno,
    Altro,
};

// What an error code of the system (errno natively, GetLastError on
// Windows) means for a file operation.
EsitoFile EsitoDelSistema(int codice);

// The runtime error that stands for a failed file operation: 53, 76, 70, 75
// or 61 with its Italian text.
Errore ErroreFile(EsitoFile esito);

// A file opened for reading only, sharing reading and writing with every
// other process (the host may have the same file open). Nothing is ever
// written to it.
class FileInLettura {
  public:
    virtual ~FileInLettura() = default;
    // Opens the file; nullptr with the reason in esito when it cannot.
    static std::unique_ptr<FileInLettura> Apri(const std::string& percorso, EsitoFile& esito);

    virtual uint64_t Dimensione() const = 0;
    // Reads exactly n bytes at offset; false when they are not all there or
    // the read fails.
    virtual bool Leggi(uint64_t offset, void* dati, size_t n) = 0;
};

// Reads a whole file into dati. A file larger than limite fails with Altro
// before anything is allocated.
bool LeggiFile(const std::string& percorso, std::string& dati, EsitoFile& esito,
               uint64_t limite = UINT64_C(1) << 31);

// Writes dati to a temporary file beside percorso and moves it over
// percorso. On failure the previous file (if any) is left as it was and no
// temporary file stays behind.
bool ScriviFileSicuro(const std::string& percorso, std::string_view dati, EsitoFile& esito);

}  // namespace quandora
