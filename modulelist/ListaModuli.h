#pragma once
// The list of Quandora's add-on modules, Moduli.dat: fixed records of 1407
// bytes (path 1024, name 128, description 255), ANSI text filled with
// spaces, no header. Records are never deleted or moved; a new module is
// appended. Record numbers and counts are 16-bit: the list holds at most
// 32767 records, and the next one fails with overflow (error 6).
//
// A file whose length is not a multiple of 1407 ends in a partial record
// (a write cut short, or a copy cut off). That record counts as a record
// whose missing bytes are spaces: it is listed and matched like the others,
// and a new record is appended after it, the partial one first completed
// with spaces, so that nothing already in the file is lost and the file
// is whole again afterwards.

#include <cstdint>
#include <string>
#include <vector>

namespace quandora {

constexpr size_t kLunghezzaPercorsoModulo = 1024;
constexpr size_t kLunghezzaNomeModulo = 128;
constexpr size_t kLunghezzaDescrizioneModulo = 255;
constexpr size_t kLunghezzaRecordModulo =
    kLunghezzaPercorsoModulo + kLunghezzaNomeModulo + kLunghezzaDescrizioneModulo;

// The open Moduli.dat, held under our clients' lock for one operation
// (FileModuli.h). Failures throw Errore with the runtime's file errors.
class FileModuli {
  public:
    virtual ~FileModuli() = default;
    virtual uint64_t Dimensione() = 0;
    // Reads up to n bytes at offset; returns how many were there.
    virtual size_t Leggi(uint64_t offset, char* dati, size_t n) = 0;
    virtual void Scrivi(uint64_t offset, const char* dati, size_t n) = 0;
};

// One entry of the list, texts in UTF-8, blanks removed at both ends.
struct VoceModulo {
    std::string pathname;
    std::string nome;
    std::string descrizione;
};

// A module as its record holds it: ANSI texts, each cut to its field and
// filled with spaces.
struct RecordModulo {
    std::string pathname;
    std::string nome;
    std::string descrizione;
};

// The record of a module given in UTF-8. A text that the ANSI code page
// cannot hold exactly is refused with error 5 ("Chiamata di routine o
// argomento non valido"): stored with "?" or a look-alike in place of what
// the code page lacks, two different names would become one entry (the
// second overwriting the first), and a path would name another file.
RecordModulo RecordDelModulo(const std::string& pathname, const std::string& nome,
                             const std::string& descrizione);

// Adds the module or brings its entry up to date. The given name, as its
// record holds it (cut to its field) with blanks removed at both ends and in
// upper case, is compared with the stored names (blanks removed, upper
// case). A matching entry whose path or description differ (blanks
// removed, without regard to case) gets the given path and description;
// its name keeps its first spelling. Returns true.
bool AggiungiModuloAlFile(FileModuli& file, const RecordModulo& modulo);

// The entries of the file (records whose name begins with NUL are not
// entries), sorted by name in upper case by character codes.
std::vector<VoceModulo> LeggiListaModuli(FileModuli& file);

}  // namespace quandora
