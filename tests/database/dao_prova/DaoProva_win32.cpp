// DaoProva.dll (see DaoProva.h): one IDispatch implementation for every kind
// of DAO object the program meets, their members in one table, over our own
// Jet engine.

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "database/Database.h"
#include "jet/ErroriJet.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "util/Com_win32.h"

using namespace quandora;
using namespace daoprova;

namespace {

LONG g_conteggi[kConteggi] = {};
LONG g_blocchi = 0;

void Conta(Conteggio c) {
    InterlockedIncrement(&g_conteggi[c]);
}

enum class Genere { Motore, Workspaces, Workspace, Database, Recordset, Campi, Campo };

// A call's arguments in the order of the call; nullptr where one was left out.
using Argomenti = const VARIANT* [4];

std::string Testo(const VARIANT* v) {
    return v ? Utf8DaBstr(V_BSTR(v)) : std::string();
}
bool Booleano(const VARIANT* v) {
    return v && V_BOOL(v) != VARIANT_FALSE;
}
int32_t Numero(const VARIANT* v, int32_t predefinito) {
    return !v ? predefinito : V_VT(v) == VT_I4 ? V_I4(v) : V_I2(v);
}
HRESULT ScodeDi(int32_t numero) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, numero & 0xFFFF);
}

// The database's error, handed over once by its deferred fill-in (the server
// is apartment-threaded: one pending error per thread).
thread_local int32_t t_numeroDifferito = 0;
thread_local std::string t_descrizioneDifferita;

HRESULT STDAPICALLTYPE RiempiDopo(EXCEPINFO* e) {
    e->scode = ScodeDi(std::exchange(t_numeroDifferito, 0));
    e->bstrDescription = Bstr(std::exchange(t_descrizioneDifferita, {})).Rilascia();
    return S_OK;
}

// A field's value as DAO gives it, of the kinds the program reads.
Variante VarianteDa(const Valore& v) {
    Variante r;
    switch (v.Tipo) {
        case TipoValore::Null:
            V_VT(&r.get()) = VT_NULL;
            return r;
        case TipoValore::Intero:
            return Variante::Long(static_cast<int32_t>(v.I));
        case TipoValore::Valuta:
            V_VT(&r.get()) = VT_CY;
            V_CY(&r.get()).int64 = v.I;
            return r;
        case TipoValore::Testo:
            return Variante::Testo(v.S);
        default:
            throw jet::TipiNonCorrispondenti();
    }
}

class Oggetto final : public IDispatch {
  public:
    explicit Oggetto(Genere g, std::shared_ptr<Database> d = {}, std::shared_ptr<Recordset> r = {},
                     int32_t i = -1, std::string n = {})
        : genere(g), db(std::move(d)), rs(std::move(r)), indice(i), nome(std::move(n)) {
        Conta(kOggettiVivi);
    }
    ~Oggetto() { InterlockedDecrement(&g_conteggi[kOggettiVivi]); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        const bool nota = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch);
        *ppv = nota ? static_cast<IDispatch*>(this) : nullptr;
        if (nota) AddRef();
        return nota ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&rif_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&rif_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD modo, DISPPARAMS* p,
                                     VARIANT* risultato, EXCEPINFO* eccezione,
                                     UINT* errato) override;

    const Genere genere;
    const std::shared_ptr<Database> db;
    const std::shared_ptr<Recordset> rs;
    const int32_t indice;  // a field's, or -1 for a field by name
    const std::string nome;

  private:
    // The engine's error as DAO's objects raise it: the database through a
    // deferred fill-in, the fields in wCode, the others in scode.
    void Solleva(const Errore& e, EXCEPINFO* x) const {
        if (x == nullptr) return;
        *x = EXCEPINFO{};
        if (genere == Genere::Database) {
            t_numeroDifferito = e.Numero();
            t_descrizioneDifferita = e.Descrizione();
            x->pfnDeferredFillIn = RiempiDopo;
            return;
        }
        if (genere >= Genere::Campi) {
            x->wCode = static_cast<WORD>(e.Numero());
        } else {
            x->scode = ScodeDi(e.Numero());
        }
        x->bstrDescription = Bstr(e.Descrizione()).Rilascia();
    }

    LONG rif_ = 1;
};

// A new object as a call's result.
template <class... A>
Variante Nuovo(A&&... a) {
    Variante r;
    V_VT(&r.get()) = VT_DISPATCH;
    V_DISPATCH(&r.get()) = new Oggetto(std::forward<A>(a)...);
    return r;
}

Variante Chiudi(Oggetto& o, const Argomenti&) {
    o.rs ? o.rs->Close() : o.db->Close();
    Conta(kChiusi);
    return {};
}

Variante Campo(Oggetto& o, const Argomenti& a) {
    if (V_VT(a[0]) != VT_BSTR) {
        const int32_t i = Numero(a[0], 0);
        if (i < 0 || i >= o.rs->NumeroCampi()) throw jet::ElementoNonTrovato();
        return Nuovo(Genere::Campo, nullptr, o.rs, i);
    }
    // A name the record set has not is error 3265 at once, as DAO's
    // collection answers; a row is only needed for the value.
    try {
        o.rs->Campo(Testo(a[0]));
    } catch (const Errore& e) {
        if (e.Numero() != 3021) throw;
    }
    return Nuovo(Genere::Campo, nullptr, o.rs, -1, Testo(a[0]));
}

// Each kind's members: the calls they answer (DISPATCH_METHOD,
// DISPATCH_PROPERTYGET or both) and one letter per argument, of which the
// first `obbligatori` are required: s a BSTR, b a Boolean, n a VT_I4 or
// VT_I2, x a number or a BSTR.
struct Membro {
    Genere genere;
    const wchar_t* nome;
    DISPID id;
    WORD chiamate;
    const char* argomenti;
    UINT obbligatori;
    Variante (*esegui)(Oggetto&, const Argomenti&);
};
constexpr WORD kGet = DISPATCH_PROPERTYGET, kMetodo = DISPATCH_METHOD, kEntrambi = kGet | kMetodo;
const Membro kMembri[] = {
    {Genere::Motore, L"Workspaces", 1, kGet, "", 0,
     [](Oggetto&, const Argomenti&) { return Nuovo(Genere::Workspaces); }},
    {Genere::Workspaces, L"Item", DISPID_VALUE, kEntrambi, "n", 1,
     [](Oggetto&, const Argomenti& a) {
         if (Numero(a[0], 0) != 0) throw jet::ElementoNonTrovato();
         return Nuovo(Genere::Workspace);
     }},
    // Left out, Options and ReadOnly are false: a writable opening, which
    // our engine refuses.
    {Genere::Workspace, L"OpenDatabase", 1, kMetodo, "sbbs", 1,
     [](Oggetto&, const Argomenti& a) {
         auto db = OpenDatabase(Testo(a[0]), Booleano(a[1]), Booleano(a[2]), Testo(a[3]));
         Conta(kAperti);
         return Nuovo(Genere::Database, std::move(db));
     }},
    // Without a type DAO opens a dynaset (2), which our engine refuses.
    {Genere::Database, L"OpenRecordset", 1, kMetodo, "snnn", 1,
     [](Oggetto& o, const Argomenti& a) {
         auto rs = o.db->OpenRecordset(Testo(a[0]), Numero(a[1], 2));
         Conta(kAperti);
         return Nuovo(Genere::Recordset, nullptr, std::move(rs));
     }},
    {Genere::Database, L"Close", 2, kMetodo, "", 0, Chiudi},
    {Genere::Recordset, L"EOF", 1, kGet, "", 0,
     [](Oggetto& o, const Argomenti&) { return Variante::Booleano(o.rs->Eof()); }},
    {Genere::Recordset, L"Fields", 2, kGet, "", 0,
     [](Oggetto& o, const Argomenti&) { return Nuovo(Genere::Campi, nullptr, o.rs); }},
    {Genere::Recordset, L"MoveNext", 3, kMetodo, "", 0,
     [](Oggetto& o, const Argomenti&) {
         o.rs->MoveNext();
         return Variante();
     }},
    {Genere::Recordset, L"Close", 4, kMetodo, "", 0, Chiudi},
    {Genere::Campi, L"Item", DISPID_VALUE, kEntrambi, "x", 1, Campo},
    {Genere::Campi, L"Count", 1, kGet, "", 0,
     [](Oggetto& o, const Argomenti&) {
         Variante r;
         V_VT(&r.get()) = VT_I2;
         V_I2(&r.get()) = static_cast<SHORT>(o.rs->NumeroCampi());
         return r;
     }},
    {Genere::Campo, L"Value", DISPID_VALUE, kGet, "", 0,
     [](Oggetto& o, const Argomenti&) {
         return VarianteDa(o.indice >= 0 ? o.rs->Campo(o.indice) : o.rs->Campo(o.nome));
     }},
};

bool Accetta(char lettera, VARTYPE vt) {
    const bool numero = vt == VT_I4 || vt == VT_I2;
    return lettera == 's'   ? vt == VT_BSTR
           : lettera == 'b' ? vt == VT_BOOL
           : lettera == 'n' ? numero
                            : numero || vt == VT_BSTR;
}

HRESULT Oggetto::GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (nomi == nullptr || ids == nullptr || n == 0) return E_INVALIDARG;
    std::fill(ids, ids + n, DISPID_UNKNOWN);
    for (const Membro& m : kMembri)
        if (m.genere == genere && _wcsicmp(m.nome, nomi[0]) == 0) ids[0] = m.id;
    // Argument names are unknown too: no named arguments.
    return ids[0] != DISPID_UNKNOWN && n == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT Oggetto::Invoke(DISPID id, REFIID riid, LCID, WORD modo, DISPPARAMS* p, VARIANT* risultato,
                        EXCEPINFO* eccezione, UINT* errato) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (p == nullptr) return E_INVALIDARG;
    const auto m = std::find_if(std::begin(kMembri), std::end(kMembri),
                                [&](const Membro& x) { return x.genere == genere && x.id == id; });
    if (m == std::end(kMembri) || (modo & m->chiamate) == 0) return DISP_E_MEMBERNOTFOUND;
    if (p->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    const UINT n = p->cArgs;
    if (n < m->obbligatori || n > std::strlen(m->argomenti)) return DISP_E_BADPARAMCOUNT;
    Argomenti a = {};
    for (UINT i = 0; i < n; ++i) {
        const VARIANT* v = &p->rgvarg[n - 1 - i];  // IDispatch holds them last first
        if (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND) {
            if (i < m->obbligatori) return DISP_E_PARAMNOTOPTIONAL;
            continue;
        }
        if (!Accetta(m->argomenti[i], V_VT(v))) {
            if (errato != nullptr) *errato = n - 1 - i;
            return DISP_E_TYPEMISMATCH;
        }
        a[i] = v;
    }
    try {
        Variante r = m->esegui(*this, a);
        if (risultato != nullptr) *risultato = std::exchange(r.get(), VARIANT{});
        return S_OK;
    } catch (const Errore& e) {
        Conta(kErrori);
        Solleva(e, eccezione);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// The engine of one of kClassi, counted as made of it.
class Fabbrica final : public FabbricaStatica {
  public:
    explicit Fabbrica(int classe) : FabbricaStatica(g_blocchi), classe_(classe) {}

  protected:
    IUnknown* Crea() override {
        auto* motore = new (std::nothrow) Oggetto(Genere::Motore);
        if (motore != nullptr) Conta(static_cast<Conteggio>(kMotori35 + classe_));
        return motore;
    }

  private:
    int classe_;
};
Fabbrica g_fabbriche[] = {Fabbrica(0), Fabbrica(1), Fabbrica(2)};

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID classe, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < std::size(kClassi); ++i) {
        const std::string testo = kClassi[i].clsid;
        CLSID c;
        if (SUCCEEDED(CLSIDFromString(std::wstring(testo.begin(), testo.end()).c_str(), &c)) &&
            IsEqualCLSID(classe, c))
            return g_fabbriche[i].QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) LONG WINAPI DaoProvaConteggio(int quale) {
    return quale >= 0 && quale < kConteggi ? InterlockedCompareExchange(&g_conteggi[quale], 0, 0)
                                           : -1;
}

}  // extern "C"
