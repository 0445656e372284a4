#pragma once
// The database interface over DAO, the host's own engine, reached through
// COM by late binding only: member names are looked up with GetIDsOfNames
// and called with Invoke, so no DAO header or type library is needed to
// build the program, and any DAO version that answers these names serves.
//
// What the program calls, as DAO answers late-bound clients:
//   DBEngine.Workspaces (property) then its default member (Item) with 0
//   Workspace.OpenDatabase(Name, Options, ReadOnly, Connect)
//   Database.OpenRecordset(Name, Type), Database.Close
//   Recordset.EOF, .Fields (property) then its default member (Item) with a
//   VT_I4 index or a BSTR name, then Field.Value; .MoveNext, .Close
//   Fields.Count (the interface's NumeroCampi)
//
// The engine object: one per thread that opens databases (the program has
// one, the window's), created on first use from the DAO 3.5 class and,
// when that cannot be created, from the DAO 3.6 programmatic identifier. A
// failed creation is not remembered: the next opening tries again. The
// object is released when COM ends on its thread (the last CoUninitialize
// or OleUninitialize, seen through an IInitializeSpy), while COM and DAO's
// library are still there: releasing it later, from a static destructor,
// would call into a library COM has already unloaded. Where Windows offers
// no such notice, the object is kept until the process ends and never
// released (DAO opened everything read-only, so nothing is lost).

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "chart/Database.h"
#include "modulelist/Com_win32.h"
#include "util/Errore.h"

namespace quandora::dao {

// DAO 3.5's DBEngine class, tried first; then, by their programmatic
// identifiers, DAO 3.6 and the Access database engine's DAO (the only one a
// 64-bit Windows has: DAO 3.5 and 3.6 are 32-bit libraries).
extern const CLSID CLSID_DBEngine35;
inline constexpr const wchar_t* kProgIdDBEngine[] = {L"DAO.DBEngine.36", L"DAO.DBEngine.120"};

// A VARIANT that clears itself; movable, not copyable.
class Variante {
  public:
    Variante() { VariantInit(&v_); }
    ~Variante() { VariantClear(&v_); }
    Variante(Variante&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variante& operator=(Variante&& o) noexcept {
        std::swap(v_, o.v_);
        return *this;
    }
    Variante(const Variante&) = delete;
    Variante& operator=(const Variante&) = delete;

    static Variante Long(int32_t n);
    static Variante Booleano(bool b);
    static Variante Testo(const std::string& utf8);

    VARIANT& get() { return v_; }
    const VARIANT& get() const { return v_; }

  private:
    VARIANT v_;
};

// A field's VARIANT as the program's value: Null and Empty are Null,
// Booleans -1 or 0, whole numbers of any width, currency exact in
// ten-thousandths, Single and Double and Decimal as doubles, dates, texts
// (UTF-16 to UTF-8), byte arrays as bytes; references are followed. Any
// other kind is error 13.
Valore ValoreDaVariante(const VARIANT& v);

// The Errore of a failed IDispatch call. For DISP_E_EXCEPTION the engine's
// own: the deferred fill-in is run first when there is one; the number is
// wCode when set, else the low 16 bits of an scode of FACILITY_CONTROL
// (0x800A....: errors raised with a number), else that of a known HRESULT
// as below; the description is the engine's, or the runtime's text of the
// number when the engine gave none. The EXCEPINFO's texts are freed.
// Other failures of the call itself get the runtime's numbers and texts:
// no such member 438, wrong argument count 450, wrong type 13, overflow 6,
// missing argument 449, named arguments refused 446, named argument not
// found 448, bad index 9, out of memory 7, invalid argument 5, no such
// interface 430; any other HRESULT is 440 "Errore di automazione" with the
// code in hexadecimal.
Errore ErroreAutomazione(HRESULT hr, EXCEPINFO* eccezione);

// An object reached through IDispatch. DISPIDs are looked up once per
// object and name.
class Oggetto {
  public:
    Oggetto() = default;
    explicit Oggetto(ComPtr<IDispatch> d) : d_(std::move(d)) {}

    // Calls a member by name with its arguments in the order of the call
    // (they are handed to Invoke last first, as IDispatch wants them).
    // modo: DISPATCH_METHOD, DISPATCH_PROPERTYGET or both. Throws Errore.
    Variante Chiama(const wchar_t* nome, WORD modo, std::vector<Variante> argomenti = {});
    Variante ChiamaId(DISPID id, WORD modo, std::vector<Variante> argomenti);
    // A property's value, and a member whose result is an object.
    Variante Leggi(const wchar_t* nome) { return Chiama(nome, DISPATCH_PROPERTYGET); }
    Oggetto Figlio(const wchar_t* nome) { return DaRisultato(Leggi(nome)); }
    // The default member (Item of a collection) with one argument.
    Oggetto Elemento(Variante indice);

    static Oggetto DaRisultato(Variante r);
    IDispatch* get() const { return d_.get(); }

  private:
    DISPID Dispid(const wchar_t* nome);

    ComPtr<IDispatch> d_;
    std::vector<std::pair<std::wstring, DISPID>> dispid_;
};

// The DAO engine object of this thread; empty when neither DAO class can be
// created (or COM is not initialised on this thread).
ComPtr<IDispatch> MotoreDao();

}  // namespace quandora::dao
