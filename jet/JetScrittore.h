#pragma once
// A writer of Jet 3 (Access 97) database files, for test fixtures and the
// stand-in host's demo database (host/SchemaHost.h), and of Jet 4 files, for
// the reader's tests: tables with Yes/No, Byte, Integer, Long, Currency,
// Single, Double, Date/Time, Text, Memo and OLE columns, their rows, and a
// database password. Tables get no indexes. Every row must fit in one data
// page; long memos go to long-value pages. A library of its own
// (jetscrittore): the program never writes a database.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/Jet.h"
#include "jet/Valore.h"

namespace quandora::jet {

struct ColonnaNuova {
    std::string Nome;
    uint8_t Tipo = Long;
    uint16_t Lunghezza = 0;  // Text: the most characters; ignored otherwise
};

struct TabellaNuova {
    std::string Nome;
    std::vector<ColonnaNuova> Colonne;
    // One value per column; Null for a missing value. Numbers are taken from
    // any numeric Valore, texts as UTF-8 and written in Windows-1252.
    std::vector<std::vector<Valore>> Righe;
};

// The bytes of a Jet 3 file holding the tables. Error 5 (invalid call) with
// an explanation when a value does not fit its column or a row its page.
std::string ScriviJet3(const std::vector<TabellaNuova>& tabelle, const std::string& password = {});

// The same in Jet 3 or Jet 4 form (versione 3 or 4). Jet 4 texts are
// UCS-2, compressed when every character fits one byte; its password is
// masked as the reader expects (see JetFormato.h).
std::string ScriviJet(const std::vector<TabellaNuova>& tabelle, const std::string& password,
                      int versione);

// Writes the file safely (temporary file, then moved over the target).
void ScriviFileJet3(const std::string& percorso, const std::vector<TabellaNuova>& tabelle,
                    const std::string& password = {});

}  // namespace quandora::jet
