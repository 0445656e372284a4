#pragma once
// The database interface over DAO, the host's own engine, reached through
// COM by late binding only (OggettoDispatch, util/Com_win32.h): member names
// are looked up with GetIDsOfNames and called with Invoke, so no DAO header
// or type library is needed to build the program, and any DAO version that
// answers these names serves. A failed call is the Errore of
// ErroreAutomazione: DAO's errors keep their number and description.
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

#include "database/Database.h"
#include "util/Com_win32.h"

namespace quandora::dao {

// DAO 3.5's DBEngine class, tried first; then, by their programmatic
// identifiers, DAO 3.6 and the Access database engine's DAO (the only one a
// 64-bit Windows has: DAO 3.5 and 3.6 are 32-bit libraries).
extern const CLSID CLSID_DBEngine35;
inline constexpr const wchar_t* kProgIdDBEngine[] = {L"DAO.DBEngine.36", L"DAO.DBEngine.120"};

// A field's VARIANT as the program's value: Null and Empty are Null,
// Booleans -1 or 0, whole numbers of any width, currency exact in
// ten-thousandths, Single and Double and Decimal as doubles, dates, texts
// (UTF-16 to UTF-8), byte arrays as bytes; references are followed. Any
// other kind is error 13.
Valore ValoreDaVariante(const VARIANT& v);

// The DAO engine object of this thread; empty when neither DAO class can be
// created (or COM is not initialised on this thread).
ComPtr<IDispatch> MotoreDao();

}  // namespace quandora::dao
