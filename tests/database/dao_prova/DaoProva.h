#pragma once
// DaoProva.dll: DAO's engine for machines that have none (Wine), an
// in-process automation server answering from our own Jet engine, with the
// members the program calls and DAO's conventions for them: argument
// counts and types checked, no named arguments, and the engine's errors as
// DAO raises them (DISP_E_EXCEPTION with number and description, filled in
// three ways: scode 0x800A0000 + number by the engine, workspace and record
// set, a deferred fill-in by the database, wCode by the fields). Its member
// table is in DaoProva_win32.cpp. Registered by the test programs, in the
// test prefix only, for their own length.

#include <windows.h>

namespace daoprova {

// How DaoProvaRegistra registers the engine, one or several added together.
enum Registrazione : int {
    kClasseDao35 = 1,    // DAO 3.5's class {00000010-0000-0010-8000-00AA006D2EA4}
    kSoloProgId36 = 2,   // "DAO.DBEngine.36", DAO 3.6's class
    kSoloProgId120 = 4,  // "DAO.DBEngine.120", the Access database engine's class
};

// What DaoProvaConteggio counts, since the library was loaded.
enum Conteggio : int {
    kMotori35,   // engines made as DAO 3.5's class
    kMotori36,   // ... as DAO 3.6's
    kMotori120,  // ... as the Access database engine's
    kMotoriVivi,
    kDatabase,  // successful OpenDatabase calls
    kRecordset,
    kChiusure,  // Close calls on databases and record sets
    kErrori,    // DISP_E_EXCEPTION answers
    kOggettiVivi,
    kNumeroConteggi
};

// The library as a test loads it, kept loaded until the program ends.
// Registra first removes what an earlier registration of this DLL left; it
// and Deregistra refuse with E_ACCESSDENIED to touch another server's keys.
class Server {
  public:
    explicit Server(const char* percorso) : dll_(LoadLibraryA(percorso)) {}
    bool Caricato() const { return Funzione("DaoProvaConteggio") != nullptr; }
    HRESULT Registra(int modo) const {
        auto f = reinterpret_cast<HRESULT(WINAPI*)(int)>(Funzione("DaoProvaRegistra"));
        return f ? f(modo) : E_FAIL;
    }
    HRESULT Deregistra() const {
        auto f = reinterpret_cast<HRESULT(WINAPI*)()>(Funzione("DaoProvaDeregistra"));
        return f ? f() : E_FAIL;
    }
    LONG Conta(Conteggio quale) const {
        auto f = reinterpret_cast<LONG(WINAPI*)(int)>(Funzione("DaoProvaConteggio"));
        return f ? f(quale) : -1;
    }

  private:
    void* Funzione(const char* nome) const {
        return dll_ ? reinterpret_cast<void*>(GetProcAddress(dll_, nome)) : nullptr;
    }
    HMODULE dll_;
};

// The stand-in registered for the life of the object, removed at its end.
class Registrato {
  public:
    Registrato(const Server& server, int modo) : server_(server), esito_(server.Registra(modo)) {}
    ~Registrato() { server_.Deregistra(); }
    Registrato(const Registrato&) = delete;
    Registrato& operator=(const Registrato&) = delete;
    HRESULT Esito() const { return esito_; }

  private:
    const Server& server_;
    HRESULT esito_;
};

}  // namespace daoprova
