#pragma once
// Our own read-only engine for Jet 3 (Access 97) and Jet 4 database files.
//
// DatabaseJet opens a file shared and read-only (the host may hold it open
// at the same time) and never writes to it. The catalog is read at opening;
// a table is decoded whole on first use and kept for the life of the open
// database, so that the same query run once per day of a long range reads
// the file once. Failures are Errore with the engine's numbers and Italian
// descriptions (see ErroriJet.h).

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/Valore.h"
#include "util/FileBinario.h"

namespace quandora::jet {

// Column types as stored in the table definitions.
enum TipoColonna : uint8_t {
    SiNo = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DataOra = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    ReplicationId = 0x0F,
    Numeric = 0x10,
};

// The bytes a value of a fixed-length type takes in a row; 0 for the types
// kept in the row's variable part (text, memo, binary, OLE) and for Yes/No,
// which lives in the null mask.
inline size_t LunghezzaFissa(uint8_t tipo) {
    switch (tipo) {
        case Byte:
            return 1;
        case Integer:
            return 2;
        case Long:
        case Single:
            return 4;
        case Currency:
        case Double:
        case DataOra:
            return 8;
        case ReplicationId:
            return 16;
        case Numeric:
            return 17;
        default:
            return 0;
    }
}

struct Colonna {
    std::string Nome;
    uint8_t Tipo = 0;
    uint16_t Numero = 0;       // position in the null mask
    uint16_t IndiceVar = 0;    // entry in the row's variable-offset table
    uint16_t OffsetFisso = 0;  // offset in the fixed part of the row
    uint16_t Lunghezza = 0;
    bool Fissa = false;
    uint8_t Precisione = 0, Scala = 0;  // Numeric
};

// A decoded table, column by column: Valori[c][r] is row r of column c.
struct Tabella {
    std::string Nome;
    std::vector<Colonna> Colonne;
    std::vector<std::vector<Valore>> Valori;
    size_t Righe = 0;
    std::vector<uint32_t> Posizioni;  // each row's page << 8 | row in the file

    // The column's index, -1 when the table has none of that name (names
    // compare without regard to case).
    int IndiceColonna(const std::string& nome) const;
};

struct VoceCatalogo {
    std::string Nome;
    uint32_t PaginaDefinizione = 0;
    bool DiSistema = false;
};

class DatabaseJet {
  public:
    // Opens the file and checks the password. A database with a password
    // opens only with that password; one without opens with any.
    static std::unique_ptr<DatabaseJet> Apri(const std::string& percorso,
                                             const std::string& password);
    ~DatabaseJet();

    int VersioneJet() const { return jet4_ ? 4 : 3; }
    uint16_t CodePage() const { return codePage_; }
    // User tables, in catalog order.
    std::vector<std::string> TabelleUtente() const;
    // The table of that name (any case), decoded; error 3078 when missing.
    const Tabella& LeggiTabella(const std::string& nome);

    // The table's rows (their numbers in Tabella) in the order of the first
    // index Access keeps on that column alone, as its leaf pages hold them;
    // descending tells whether the index is. Empty when there is none.
    std::vector<size_t> OrdineIndice(const std::string& tabella, const std::string& colonna,
                                     bool& discendente);

    // What the SQL executor keeps of this database between statements (its
    // joins and row lists, see JetSql.h): made by the executor on the first
    // statement, held here without being looked at, and gone with the
    // database.
    struct StatoSql {
        virtual ~StatoSql() = default;
    };
    std::unique_ptr<StatoSql>& MemoriaSql() { return memoriaSql_; }

  private:
    DatabaseJet() = default;
    const VoceCatalogo& Voce(const std::string& nome) const;
    class Lettore;
    friend class Lettore;
    std::unique_ptr<Lettore> lettore_;
    bool jet4_ = false;
    uint16_t codePage_ = 1252;
    std::vector<VoceCatalogo> catalogo_;
    std::map<std::string, std::unique_ptr<Tabella>> tabelle_;  // by lower-case name
    std::unique_ptr<StatoSql> memoriaSql_;
};

// Folds a text for comparisons without regard to case (ASCII and Latin-1
// letters), as Jet compares names and texts.
std::string Piega(const std::string& utf8);

}  // namespace quandora::jet
