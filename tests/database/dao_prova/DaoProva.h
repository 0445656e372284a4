#pragma once
// DaoProva.dll: a test component standing in for DAO's engine on machines
// that have none (Wine). An in-process automation server, IDispatch only,
// offering DAO's objects, members and argument conventions as far as the
// program uses them, and answering from our own Jet engine:
//
//   DBEngine.Workspaces              property, no arguments
//   Workspaces.Item (DISPID_VALUE)   one index (VT_I4 or VT_I2): 0 only
//   Workspace.OpenDatabase           Name (BSTR), then optional Options
//                                    (VT_BOOL, default false), ReadOnly
//                                    (VT_BOOL, default false), Connect (BSTR)
//   Database.OpenRecordset           Name (BSTR), then optional Type,
//                                    Options, LockEdit (VT_I4 or VT_I2);
//                                    Type defaults to a dynaset (2), which
//                                    our engine refuses
//   Database.Close, Recordset.MoveNext, Recordset.Close   methods
//   Recordset.EOF, Recordset.Fields  properties
//   Fields.Item (DISPID_VALUE)       an index (VT_I4 or VT_I2) or a name
//                                    (BSTR); Fields.Count
//   Field.Value (DISPID_VALUE)       property
//
// It is strict where a dispatch implementation is: named arguments are
// refused (DISP_E_NONAMEDARGS), a wrong count gives DISP_E_BADPARAMCOUNT, a
// wrong type DISP_E_TYPEMISMATCH (with the argument's position), a method
// called as a property or the reverse DISP_E_MEMBERNOTFOUND, an unknown
// name DISP_E_UNKNOWNNAME. The engine's errors are raised as DAO raises
// them: DISP_E_EXCEPTION with the number and the Italian description in the
// EXCEPINFO, in each of the three ways a server may fill it: scode
// 0x800A0000 + number (the engine and workspace), the same through a
// deferred fill-in (the database), or wCode (the fields).
//
// Registered by the test programs themselves, in the test prefix only, and
// never installed anywhere else.

#include <windows.h>

namespace daoprova {

// How DaoProvaRegistra registers the engine: one of these, or several
// added together.
enum Registrazione : int {
    // Under DAO 3.5's class {00000010-0000-0010-8000-00AA006D2EA4}.
    kClasseDao35 = 1,
    // As "DAO.DBEngine.36", whose CLSID is DAO 3.6's class
    // {00000100-0000-0010-8000-00AA006D2EA4}.
    kSoloProgId36 = 2,
    // As "DAO.DBEngine.120", the Access database engine's, the only DAO a
    // 64-bit Windows has; its CLSID {CD7791B9-43FD-42C5-AE42-8DD2811F0419}.
    kSoloProgId120 = 4,
};

struct Conteggi {
    LONG MotoriCreati;     // DBEngine objects made by the class factory
    LONG MotoriDa35;       // ... of them asked for as DAO 3.5's class
    LONG MotoriDa36;       // ... as DAO 3.6's class
    LONG MotoriDa120;      // ... as the Access database engine's class
    LONG MotoriVivi;       // DBEngine objects not yet released
    LONG DatabaseAperti;   // successful OpenDatabase calls
    LONG RecordsetAperti;  // successful OpenRecordset calls
    LONG Chiusure;         // Close calls on databases and record sets
    LONG ErroriSollevati;  // DISP_E_EXCEPTION answers
    LONG OggettiVivi;      // objects of every kind not yet released
};

// Exported functions, looked up with GetProcAddress.
// HRESULT DaoProvaRegistra(int Registrazione): first removes what an
// earlier registration of this DLL left (a test that ended badly); refuses
// with E_ACCESSDENIED to touch keys of another server (a real DAO).
using FnRegistra = HRESULT(WINAPI*)(int);
// HRESULT DaoProvaDeregistra(): removes the keys of both ways, when they
// are this DLL's.
using FnDeregistra = HRESULT(WINAPI*)();
using FnConteggi = void(WINAPI*)(Conteggi*);

// The stand-in as the test programs load it: the library at the path given
// (ANSI), kept loaded until the program ends, and its functions.
class Server {
  public:
    explicit Server(const char* percorso) {
        const HMODULE dll = LoadLibraryA(percorso);
        if (dll == nullptr) return;
        registra_ = reinterpret_cast<FnRegistra>(
            reinterpret_cast<void*>(GetProcAddress(dll, "DaoProvaRegistra")));
        deregistra_ = reinterpret_cast<FnDeregistra>(
            reinterpret_cast<void*>(GetProcAddress(dll, "DaoProvaDeregistra")));
        conteggi_ = reinterpret_cast<FnConteggi>(
            reinterpret_cast<void*>(GetProcAddress(dll, "DaoProvaConteggi")));
    }
    bool Caricato() const { return registra_ && deregistra_ && conteggi_; }
    HRESULT Registra(int modo) const { return registra_ ? registra_(modo) : E_FAIL; }
    HRESULT Deregistra() const { return deregistra_ ? deregistra_() : E_FAIL; }
    daoprova::Conteggi Conteggi() const {
        daoprova::Conteggi c = {};
        if (conteggi_) conteggi_(&c);
        return c;
    }

  private:
    FnRegistra registra_ = nullptr;
    FnDeregistra deregistra_ = nullptr;
    FnConteggi conteggi_ = nullptr;
};

// The stand-in registered for the life of the object (after removing what a
// test that ended badly may have left), and removed at its end, so that no
// other test program of the prefix meets it.
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
