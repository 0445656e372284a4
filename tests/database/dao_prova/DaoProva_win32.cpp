// DaoProva.dll (see DaoProva.h): one IDispatch implementation, its members
// of every kind of object in one table, over our own Jet engine.

#include <windows.h>

#include <oleauto.h>
#include <olectl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "database/Database.h"
#include "jet/ErroriJet.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "util/Com_win32.h"
#include "util/Win32.h"

using namespace quandora;
using namespace daoprova;

namespace {

LONG g_conteggi[kNumeroConteggi] = {};
LONG g_blocchi = 0;
HMODULE g_modulo = nullptr;

void Conta(Conteggio c) {
    InterlockedIncrement(&g_conteggi[c]);
}

// The kinds of object, each with its members in kMembri.
enum class Genere { Motore, Workspaces, Workspace, Database, Recordset, Campi, Campo };

// A call's arguments in the order of the call; nullptr where one was left out.
using Argomenti = const VARIANT* [4];

bool Accetta(char lettera, VARTYPE vt) {
    const bool numero = vt == VT_I4 || vt == VT_I2;
    return lettera == 's'   ? vt == VT_BSTR
           : lettera == 'b' ? vt == VT_BOOL
           : lettera == 'n' ? numero
                            : numero || vt == VT_BSTR;
}
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

// The database's error, kept for its deferred fill-in (the server is
// apartment-threaded: one pending error per thread).
thread_local int32_t t_numeroDifferito = 0;
thread_local std::string t_descrizioneDifferita;

HRESULT STDAPICALLTYPE RiempiDopo(EXCEPINFO* e) {
    if (e == nullptr) return E_POINTER;
    e->scode = ScodeDi(t_numeroDifferito);
    e->bstrDescription = Bstr(t_descrizioneDifferita).Rilascia();
    e->bstrSource = SysAllocString(L"DAO.Database");
    return S_OK;
}

// A field's value as DAO gives it.
Variante VarianteDa(const Valore& v) {
    Variante r;
    VARIANT& x = r.get();
    switch (v.Tipo) {
        case TipoValore::Null:
            V_VT(&x) = VT_NULL;
            break;
        case TipoValore::Booleano:
            return Variante::Booleano(v.I != 0);
        case TipoValore::Intero:
            if (v.I >= INT32_MIN && v.I <= INT32_MAX)
                return Variante::Long(static_cast<int32_t>(v.I));
            V_VT(&x) = VT_R8;
            V_R8(&x) = static_cast<double>(v.I);
            break;
        case TipoValore::Valuta:
            V_VT(&x) = VT_CY;
            V_CY(&x).int64 = v.I;
            break;
        case TipoValore::Doppio:
        case TipoValore::DataOra:
            V_VT(&x) = v.Tipo == TipoValore::Doppio ? VT_R8 : VT_DATE;
            V_R8(&x) = v.D;
            break;
        case TipoValore::Decimale:  // Numeric fields; the DECIMAL covers vt
            if (FAILED(VarDecFromR8(v.D, &V_DECIMAL(&x)))) throw std::bad_alloc();
            V_VT(&x) = VT_DECIMAL;
            break;
        case TipoValore::Testo:
            return Variante::Testo(v.S);
        case TipoValore::Binario: {
            SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(v.S.size()));
            if (a == nullptr) throw std::bad_alloc();
            if (!v.S.empty()) std::memcpy(a->pvData, v.S.data(), v.S.size());
            V_VT(&x) = VT_ARRAY | VT_UI1;
            V_ARRAY(&x) = a;
            break;
        }
    }
    return r;
}

class Oggetto final : public IDispatch {
  public:
    Oggetto(Genere g, std::shared_ptr<Database> db, std::shared_ptr<Recordset> rs,
            int32_t indice = -1, std::string nome = {})
        : genere_(g),
          db_(std::move(db)),
          rs_(std::move(rs)),
          indice_(indice),
          nome_(std::move(nome)) {
        Conta(kOggettiVivi);
        if (g == Genere::Motore) Conta(kMotoriVivi);
    }
    ~Oggetto() {
        if (genere_ == Genere::Motore) InterlockedDecrement(&g_conteggi[kMotoriVivi]);
        InterlockedDecrement(&g_conteggi[kOggettiVivi]);
    }

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
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n != nullptr) *n = 0;
        return n ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD modo, DISPPARAMS* p,
                                     VARIANT* risultato, EXCEPINFO* eccezione,
                                     UINT* errato) override;

    // The members' handlers.
    Variante DaiWorkspaces(const Argomenti&) { return Nuovo(Genere::Workspaces, nullptr, nullptr); }
    Variante DaiWorkspace(const Argomenti& a) {
        if (Numero(a[0], 0) != 0) throw jet::ElementoNonTrovato();
        return Nuovo(Genere::Workspace, nullptr, nullptr);
    }
    Variante ApriDatabase(const Argomenti& a) {
        // Left out, Options and ReadOnly are false: a writable opening,
        // which our engine refuses.
        auto db = OpenDatabase(Testo(a[0]), Booleano(a[1]), Booleano(a[2]), Testo(a[3]));
        Conta(kDatabase);
        return Nuovo(Genere::Database, std::move(db), nullptr);
    }
    Variante ApriRecordset(const Argomenti& a) {
        // Without a type DAO opens a dynaset (2), which our engine refuses.
        auto rs = db_->OpenRecordset(Testo(a[0]), Numero(a[1], 2));
        Conta(kRecordset);
        return Nuovo(Genere::Recordset, nullptr, std::move(rs));
    }
    Variante Chiudi(const Argomenti&) {
        if (rs_) {
            rs_->Close();
        } else {
            db_->Close();
        }
        Conta(kChiusure);
        return {};
    }
    Variante Fine(const Argomenti&) { return Variante::Booleano(rs_->Eof()); }
    Variante Avanti(const Argomenti&) {
        rs_->MoveNext();
        return {};
    }
    Variante DaiCampi(const Argomenti&) { return Nuovo(Genere::Campi, nullptr, rs_); }
    Variante DaiCampo(const Argomenti& a) {
        if (V_VT(a[0]) != VT_BSTR) {
            const int32_t i = Numero(a[0], 0);
            if (i < 0 || i >= rs_->NumeroCampi()) throw jet::ElementoNonTrovato();
            return Nuovo(Genere::Campo, nullptr, rs_, i);
        }
        // A name the record set has not is error 3265 now, as DAO's
        // collection answers; a row is only needed for the value.
        try {
            rs_->Campo(Testo(a[0]));
        } catch (const Errore& e) {
            if (e.Numero() != 3021) throw;
        }
        return Nuovo(Genere::Campo, nullptr, rs_, -1, Testo(a[0]));
    }
    Variante NumeroCampi(const Argomenti&) {
        Variante r;
        V_VT(&r.get()) = VT_I2;
        V_I2(&r.get()) = static_cast<SHORT>(rs_->NumeroCampi());
        return r;
    }
    Variante LeggiValore(const Argomenti&) {
        return VarianteDa(indice_ >= 0 ? rs_->Campo(indice_) : rs_->Campo(nome_));
    }

  private:
    // A new object as a call's result.
    template <class... A>
    static Variante Nuovo(A&&... a) {
        Variante r;
        V_VT(&r.get()) = VT_DISPATCH;
        V_DISPATCH(&r.get()) = new Oggetto(std::forward<A>(a)...);
        return r;
    }
    // The engine's error as DAO's objects raise it: the database through a
    // deferred fill-in, the fields in wCode, the others in scode.
    void Solleva(const Errore& e, EXCEPINFO* x) const {
        if (x == nullptr) return;
        *x = EXCEPINFO{};
        if (genere_ == Genere::Database) {
            t_numeroDifferito = e.Numero();
            t_descrizioneDifferita = e.Descrizione();
            x->pfnDeferredFillIn = RiempiDopo;
            return;
        }
        if (genere_ >= Genere::Campi) {
            x->wCode = static_cast<WORD>(e.Numero());
        } else {
            x->scode = ScodeDi(e.Numero());
        }
        x->bstrDescription = Bstr(e.Descrizione()).Rilascia();
        x->bstrSource = SysAllocString(L"DAO.DBEngine");
    }

    Genere genere_;
    std::shared_ptr<Database> db_;
    std::shared_ptr<Recordset> rs_;
    int32_t indice_;  // a field's, or -1 for a field by name
    std::string nome_;
    LONG rif_ = 1;
};

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
    Variante (Oggetto::*esegui)(const Argomenti&);
};
constexpr WORD kGet = DISPATCH_PROPERTYGET, kMetodo = DISPATCH_METHOD, kEntrambi = kGet | kMetodo;
const Membro kMembri[] = {
    {Genere::Motore, L"Workspaces", 1, kGet, "", 0, &Oggetto::DaiWorkspaces},
    {Genere::Workspaces, L"Item", DISPID_VALUE, kEntrambi, "n", 1, &Oggetto::DaiWorkspace},
    {Genere::Workspace, L"OpenDatabase", 1, kMetodo, "sbbs", 1, &Oggetto::ApriDatabase},
    {Genere::Database, L"OpenRecordset", 1, kMetodo, "snnn", 1, &Oggetto::ApriRecordset},
    {Genere::Database, L"Close", 2, kMetodo, "", 0, &Oggetto::Chiudi},
    {Genere::Recordset, L"EOF", 1, kGet, "", 0, &Oggetto::Fine},
    {Genere::Recordset, L"Fields", 2, kGet, "", 0, &Oggetto::DaiCampi},
    {Genere::Recordset, L"MoveNext", 3, kMetodo, "", 0, &Oggetto::Avanti},
    {Genere::Recordset, L"Close", 4, kMetodo, "", 0, &Oggetto::Chiudi},
    {Genere::Campi, L"Item", DISPID_VALUE, kEntrambi, "x", 1, &Oggetto::DaiCampo},
    {Genere::Campi, L"Count", 1, kGet, "", 0, &Oggetto::NumeroCampi},
    {Genere::Campo, L"Value", DISPID_VALUE, kGet, "", 0, &Oggetto::LeggiValore},
};

HRESULT Oggetto::GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (nomi == nullptr || ids == nullptr || n == 0) return E_INVALIDARG;
    std::fill(ids, ids + n, DISPID_UNKNOWN);
    for (const Membro& m : kMembri)
        if (m.genere == genere_ && _wcsicmp(m.nome, nomi[0]) == 0) ids[0] = m.id;
    // Argument names are unknown too: no named arguments.
    return ids[0] != DISPID_UNKNOWN && n == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT Oggetto::Invoke(DISPID id, REFIID riid, LCID, WORD modo, DISPPARAMS* p, VARIANT* risultato,
                        EXCEPINFO* eccezione, UINT* errato) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (p == nullptr) return E_INVALIDARG;
    const auto m = std::find_if(std::begin(kMembri), std::end(kMembri),
                                [&](const Membro& x) { return x.genere == genere_ && x.id == id; });
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
        Variante r = (this->*m->esegui)(a);
        if (risultato != nullptr) {
            *risultato = r.get();
            VariantInit(&r.get());
        }
        return S_OK;
    } catch (const Errore& e) {
        Conta(kErrori);
        Solleva(e, eccezione);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

class Fabbrica final : public FabbricaStatica {
  public:
    explicit Fabbrica(Conteggio c) : FabbricaStatica(g_blocchi), conteggio_(c) {}

  protected:
    IUnknown* Crea() override {
        auto* motore = new (std::nothrow) Oggetto(Genere::Motore, nullptr, nullptr);
        if (motore != nullptr) Conta(conteggio_);
        return motore;
    }

  private:
    Conteggio conteggio_;
};

// The classes in the order of the registration flags.
struct Classe {
    CLSID clsid;
    const wchar_t* testo;   // the CLSID as a key's name
    const wchar_t* progId;  // the identifier that leads to it, or none
    Fabbrica fabbrica;
};
Classe g_classi[] = {
    {{0x00000010, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}},
     L"{00000010-0000-0010-8000-00AA006D2EA4}",
     nullptr,
     Fabbrica(kMotori35)},
    {{0x00000100, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}},
     L"{00000100-0000-0010-8000-00AA006D2EA4}",
     L"DAO.DBEngine.36",
     Fabbrica(kMotori36)},
    {{0xCD7791B9, 0x43FD, 0x42C5, {0xAE, 0x42, 0x8D, 0xD2, 0x81, 0x1F, 0x04, 0x19}},
     L"{CD7791B9-43FD-42C5-AE42-8DD2811F0419}",
     L"DAO.DBEngine.120",
     Fabbrica(kMotori120)},
};

bool Esiste(const std::wstring& chiave) {
    HKEY k = nullptr;
    const bool c = RegOpenKeyExW(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_READ, &k) == 0;
    const ChiaveRegistro aperta(k);
    return c;
}

// A key's default value; empty when there is none.
std::wstring Leggi(const std::wstring& chiave) {
    wchar_t testo[2048] = {};
    DWORD n = sizeof testo - sizeof(wchar_t);
    DWORD tipo = 0;
    return SHGetValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, &tipo, testo, &n) == 0 &&
                   tipo == REG_SZ
               ? testo
               : L"";
}

bool Scrivi(const std::wstring& chiave, const wchar_t* nome, const std::wstring& valore) {
    const auto byte = static_cast<DWORD>((valore.size() + 1) * sizeof(wchar_t));
    return SHSetValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nome, REG_SZ, valore.c_str(), byte) == 0;
}

// Removes the keys that are this DLL's: a class absent or served by a
// DaoProva.dll, an identifier absent or leading to such a class.
// E_ACCESSDENIED when some are another server's (they stay).
HRESULT Deregistra() {
    bool tutteNostre = true;
    for (const Classe& c : g_classi) {
        const std::wstring chiave = std::wstring(L"CLSID\\") + c.testo;
        const bool nostra = !Esiste(chiave) ||
                            _wcsicmp(PathFindFileNameW(Leggi(chiave + L"\\InprocServer32").c_str()),
                                     L"DaoProva.dll") == 0;
        const bool nostroProgId =
            c.progId == nullptr || !Esiste(c.progId) ||
            (nostra && _wcsicmp(Leggi(std::wstring(c.progId) + L"\\CLSID").c_str(), c.testo) == 0);
        if (nostra) SHDeleteKeyW(HKEY_CLASSES_ROOT, chiave.c_str());
        if (nostroProgId && c.progId != nullptr) SHDeleteKeyW(HKEY_CLASSES_ROOT, c.progId);
        tutteNostre = tutteNostre && nostra && nostroProgId;
    }
    return tutteNostre ? S_OK : E_ACCESSDENIED;
}

HRESULT Registra(int modo) {
    if (modo <= 0 || modo >= 1 << std::size(g_classi)) return E_INVALIDARG;
    const HRESULT pulito = Deregistra();
    if (FAILED(pulito)) return pulito;
    std::wstring dll(MAX_PATH * 4, L'\0');
    dll.resize(GetModuleFileNameW(g_modulo, dll.data(), static_cast<DWORD>(dll.size())));
    for (size_t i = 0; i < std::size(g_classi); ++i) {
        const Classe& c = g_classi[i];
        const std::wstring chiave = std::wstring(L"CLSID\\") + c.testo;
        if ((modo & (1 << i)) == 0) continue;
        bool ok = Scrivi(chiave, nullptr, L"DAO.DBEngine (DaoProva)") &&
                  Scrivi(chiave + L"\\InprocServer32", nullptr, dll) &&
                  Scrivi(chiave + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (ok && c.progId != nullptr) {
            ok = Scrivi(chiave + L"\\ProgID", nullptr, c.progId) &&
                 Scrivi(c.progId, nullptr, L"DAO.DBEngine (DaoProva)") &&
                 Scrivi(std::wstring(c.progId) + L"\\CLSID", nullptr, c.testo);
        }
        if (!ok) {
            Deregistra();
            return SELFREG_E_CLASS;
        }
    }
    return S_OK;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE istanza, DWORD motivo, LPVOID) {
    if (motivo == DLL_PROCESS_ATTACH) {
        g_modulo = istanza;
        DisableThreadLibraryCalls(istanza);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID classe, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    for (Classe& c : g_classi)
        if (IsEqualCLSID(classe, c.clsid)) return c.fabbrica.QueryInterface(riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return InterlockedCompareExchange(&g_conteggi[kOggettiVivi], 0, 0) == 0 &&
                   InterlockedCompareExchange(&g_blocchi, 0, 0) == 0
               ? S_OK
               : S_FALSE;
}

__declspec(dllexport) HRESULT WINAPI DaoProvaRegistra(int modo) {
    return Registra(modo);
}

__declspec(dllexport) HRESULT WINAPI DaoProvaDeregistra() {
    return Deregistra();
}

__declspec(dllexport) LONG WINAPI DaoProvaConteggio(int quale) {
    return quale >= 0 && quale < kNumeroConteggi
               ? InterlockedCompareExchange(&g_conteggi[quale], 0, 0)
               : -1;
}

}  // extern "C"
