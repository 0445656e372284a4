#pragma once
// The program's small database interface: what the program asks of the
// host's database engine and nothing more. Open a database, open a
// forward-only record set on a SQL text, read the current row's fields by
// index or by name (Null is a value of its own), move to the next row,
// close. Failures are Errore with the engine's numbers and Italian texts.
//
// OpenDatabase is the factory of our own Jet engine; OpenDatabaseDao that of
// the host's own engine, DAO, where Windows has it.

#include <memory>
#include <string>

#include "jet/Valore.h"

namespace quandora {

// Record set types as DAO numbers them; the program uses only the forward-
// only kind.
constexpr int dbOpenForwardOnly = 8;

class Recordset {
  public:
    virtual ~Recordset() = default;
    // True when there is no current row.
    virtual bool Eof() const = 0;
    // The current row's field by index (0-based) or name (any case): 3265 for
    // a field the record set has not, 3021 when there is no current row.
    virtual Valore Campo(int indice) const = 0;
    virtual Valore Campo(const std::string& nome) const = 0;
    virtual int NumeroCampi() const = 0;
    // To the next row; 3021 when there is no current row.
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
};

class Database {
  public:
    virtual ~Database() = default;
    // A record set over the query's rows. Only dbOpenForwardOnly is offered.
    virtual std::unique_ptr<Recordset> OpenRecordset(const std::string& sql,
                                                     int tipo = dbOpenForwardOnly) = 0;
    virtual void Close() = 0;
};

// Opens a database as DAO's OpenDatabase does: the file, shared or exclusive,
// read-only or not, and the connect string (";Pwd=password"). Our engine
// reads only, shared: it refuses exclusive and writable openings with error
// 3051, so nothing can ever write the host's file.
std::unique_ptr<Database> OpenDatabase(const std::string& percorso, bool esclusivo,
                                       bool solaLettura, const std::string& connessione);

// The same through DAO, when one of its engine classes can be created on
// this machine; nullptr when none can (always in the native build, which
// has no COM). Failures of the opening itself are thrown, as above.
std::unique_ptr<Database> OpenDatabaseDao(const std::string& percorso, bool esclusivo,
                                          bool solaLettura, const std::string& connessione);

}  // namespace quandora
