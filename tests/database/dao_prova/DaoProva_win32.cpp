// DaoProva.dll: DAO's engine as the program sees it, answering from our own
// Jet engine (see DaoProva.h).

#include <windows.h>

#include <oleauto.h>
#include <olectl.h>
#include <shlwapi.h>

#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "database/Database.h"
#include "jet/ErroriJet.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "util/Com_win32.h"
#include "util/Errore.h"

using namespace quandora;

namespace {

// The classes the stand-in can be registered as, in the order of the
// registration flags.
struct Classe {
    CLSID clsid;
    const wchar_t* testo;   // the CLSID as a registry key's name
    const wchar_t* progId;  // the identifier that leads to it, or none
};
const Classe kClassi[] = {
    {{0x00000010, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}},
     L"{00000010-0000-0010-8000-00AA006D2EA4}",
     nullptr},
    {{0x00000100, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}},
     L"{00000100-0000-0010-8000-00AA006D2EA4}",
     L"DAO.DBEngine.36"},
    {{0xCD7791B9, 0x43FD, 0x42C5, {0xAE, 0x42, 0x8D, 0xD2, 0x81, 0x1F, 0x04, 0x19}},
     L"{CD7791B9-43FD-42C5-AE42-8DD2811F0419}",
     L"DAO.DBEngine.120"},
};
constexpr int kTutte = daoprova::kClasseDao35 | daoprova::kSoloProgId36 | daoprova::kSoloProgId120;

std::wstring ChiaveClasse(const Classe& c) {
    return std::wstring(L"CLSID\\") + c.testo;
}

constexpr const wchar_t* kNomeDll = L"DaoProva.dll";

HMODULE g_modulo = nullptr;
daoprova::Conteggi g_conteggi = {};
LONG g_blocchi = 0;

void Conta(LONG& c) {
    InterlockedIncrement(&c);
}

// A call's failures other than the engine's errors.
struct ArgomentoErrato {
    UINT posizione;  // in rgvarg, as puArgErr wants it
};
struct ArgomentoMancante {};

// How an object reports the engine's errors in the EXCEPINFO.
enum class Segnalazione { Scode, Differita, WCode };

HRESULT ScodeDi(int32_t numero) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, numero & 0xFFFF);
}

// The error of a deferred fill-in, kept until the client asks for it. The
// server is apartment-threaded: one pending error per thread.
thread_local int32_t t_numeroDifferito = 0;
thread_local std::string t_descrizioneDifferita;

HRESULT STDAPICALLTYPE RiempiDopo(EXCEPINFO* e) {
    if (e == nullptr) return E_POINTER;
    e->scode = ScodeDi(t_numeroDifferito);
    e->bstrDescription = Bstr(t_descrizioneDifferita).Rilascia();
    e->bstrSource = SysAllocString(L"DAO.Database");
    return S_OK;
}

// The arguments of a call, in the order of the call (IDispatch holds them
// last first).
class Argomenti {
  public:
    explicit Argomenti(const DISPPARAMS& p) : p_(p) {}

    // The i-th argument; nullptr when it was not given.
    const VARIANT* Arg(UINT i) const {
        if (i >= p_.cArgs) return nullptr;
        const VARIANT* v = &p_.rgvarg[p_.cArgs - 1 - i];
        if (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND) return nullptr;
        return v;
    }
    bool EIntero(UINT i) const {
        const VARIANT* v = Arg(i);
        return v != nullptr && (V_VT(v) == VT_I4 || V_VT(v) == VT_I2);
    }
    std::string Testo(UINT i) const {
        const VARIANT* v = Obbligatorio(i);
        if (V_VT(v) != VT_BSTR) throw ArgomentoErrato{Posizione(i)};
        return Utf8DaBstr(V_BSTR(v));
    }
    std::string Testo(UINT i, const std::string& predefinito) const {
        return Arg(i) ? Testo(i) : predefinito;
    }
    bool Booleano(UINT i, bool predefinito) const {
        const VARIANT* v = Arg(i);
        if (v == nullptr) return predefinito;
        if (V_VT(v) != VT_BOOL) throw ArgomentoErrato{Posizione(i)};
        return V_BOOL(v) != VARIANT_FALSE;
    }
    int32_t Intero(UINT i) const {
        const VARIANT* v = Obbligatorio(i);
        if (V_VT(v) == VT_I4) return V_I4(v);
        if (V_VT(v) == VT_I2) return V_I2(v);
        throw ArgomentoErrato{Posizione(i)};
    }
    int32_t Intero(UINT i, int32_t predefinito) const { return Arg(i) ? Intero(i) : predefinito; }

  private:
    const VARIANT* Obbligatorio(UINT i) const {
        const VARIANT* v = Arg(i);
        if (v == nullptr) throw ArgomentoMancante{};
        return v;
    }
    UINT Posizione(UINT i) const { return p_.cArgs - 1 - i; }

    const DISPPARAMS& p_;
};

void VarianteDa(const Valore& v, VARIANT& r) {
    switch (v.Tipo) {
        case TipoValore::Null:
            V_VT(&r) = VT_NULL;
            break;
        case TipoValore::Booleano:
            V_VT(&r) = VT_BOOL;
            V_BOOL(&r) = v.I ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case TipoValore::Intero:
            if (v.I >= INT32_MIN && v.I <= INT32_MAX) {
                V_VT(&r) = VT_I4;
                V_I4(&r) = static_cast<LONG>(v.I);
            } else {
                V_VT(&r) = VT_R8;
                V_R8(&r) = static_cast<double>(v.I);
            }
            break;
        case TipoValore::Valuta:
            V_VT(&r) = VT_CY;
            V_CY(&r).int64 = v.I;
            break;
        case TipoValore::Doppio:
            V_VT(&r) = VT_R8;
            V_R8(&r) = v.D;
            break;
        case TipoValore::DataOra:
            V_VT(&r) = VT_DATE;
            V_DATE(&r) = v.D;
            break;
        case TipoValore::Decimale: {
            // A Decimal, as DAO gives Numeric fields.
            DECIMAL d{};
            if (FAILED(VarDecFromR8(v.D, &d))) throw std::bad_alloc();
            V_DECIMAL(&r) = d;
            V_VT(&r) = VT_DECIMAL;
            break;
        }
        case TipoValore::Testo:
            V_VT(&r) = VT_BSTR;
            V_BSTR(&r) = Bstr(v.S).Rilascia();
            break;
        case TipoValore::Binario: {
            SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(v.S.size()));
            if (a == nullptr) throw std::bad_alloc();
            void* dati = nullptr;
            SafeArrayAccessData(a, &dati);
            if (!v.S.empty()) std::memcpy(dati, v.S.data(), v.S.size());
            SafeArrayUnaccessData(a);
            V_VT(&r) = VT_ARRAY | VT_UI1;
            V_ARRAY(&r) = a;
            break;
        }
    }
}

enum class Tipo { Proprieta, Metodo, Entrambi };

struct Membro {
    const wchar_t* nome;
    DISPID id;
    Tipo tipo;
    UINT minimo, massimo;  // arguments
};

// An automation object with a fixed table of members.
class Oggetto : public IDispatch {
  public:
    Oggetto() { Conta(g_conteggi.OggettiVivi); }
    virtual ~Oggetto() { InterlockedDecrement(&g_conteggi.OggettiVivi); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
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
        if (n == nullptr) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (nomi == nullptr || ids == nullptr || n == 0) return E_INVALIDARG;
        for (UINT i = 0; i < n; ++i)
            ids[i] = DISPID_UNKNOWN;
        bool trovato = false;
        for (const Membro& m : Membri()) {
            if (_wcsicmp(m.nome, nomi[0]) == 0) {
                ids[0] = m.id;
                trovato = true;
            }
        }
        // Names of arguments are unknown too: no named arguments.
        return trovato && n == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD modo, DISPPARAMS* p,
                                     VARIANT* risultato, EXCEPINFO* eccezione,
                                     UINT* argomentoErrato) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (p == nullptr) return E_INVALIDARG;
        const Membro* membro = nullptr;
        for (const Membro& m : Membri())
            if (m.id == id) membro = &m;
        if (membro == nullptr) return DISP_E_MEMBERNOTFOUND;
        const bool comeProprieta = (modo & DISPATCH_PROPERTYGET) != 0;
        const bool comeMetodo = (modo & DISPATCH_METHOD) != 0;
        if ((membro->tipo == Tipo::Proprieta && !comeProprieta) ||
            (membro->tipo == Tipo::Metodo && !comeMetodo) || (!comeProprieta && !comeMetodo)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (p->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (p->cArgs < membro->minimo || p->cArgs > membro->massimo) return DISP_E_BADPARAMCOUNT;

        VARIANT esito;
        VariantInit(&esito);
        try {
            Esegui(id, Argomenti(*p), esito);
        } catch (const ArgomentoErrato& a) {
            VariantClear(&esito);
            if (argomentoErrato != nullptr) *argomentoErrato = a.posizione;
            return DISP_E_TYPEMISMATCH;
        } catch (const ArgomentoMancante&) {
            VariantClear(&esito);
            return DISP_E_PARAMNOTOPTIONAL;
        } catch (const Errore& e) {
            VariantClear(&esito);
            Conta(g_conteggi.ErroriSollevati);
            Solleva(e, eccezione);
            return DISP_E_EXCEPTION;
        } catch (const std::bad_alloc&) {
            VariantClear(&esito);
            return E_OUTOFMEMORY;
        }
        if (risultato != nullptr) {
            *risultato = esito;
        } else {
            VariantClear(&esito);
        }
        return S_OK;
    }

  protected:
    virtual const std::vector<Membro>& Membri() const = 0;
    virtual void Esegui(DISPID id, const Argomenti& a, VARIANT& r) = 0;
    virtual Segnalazione Modo() const { return Segnalazione::Scode; }

    // Hands a new object over as the call's result.
    static void Restituisci(VARIANT& r, Oggetto* o) {
        V_VT(&r) = VT_DISPATCH;
        V_DISPATCH(&r) = o;
    }

  private:
    void Solleva(const Errore& e, EXCEPINFO* eccezione) const {
        if (eccezione == nullptr) return;
        *eccezione = EXCEPINFO{};
        switch (Modo()) {
            case Segnalazione::Scode:
                eccezione->scode = ScodeDi(e.Numero());
                eccezione->bstrDescription = Bstr(e.Descrizione()).Rilascia();
                eccezione->bstrSource = SysAllocString(L"DAO.DBEngine");
                break;
            case Segnalazione::Differita:
                t_numeroDifferito = e.Numero();
                t_descrizioneDifferita = e.Descrizione();
                eccezione->pfnDeferredFillIn = RiempiDopo;
                break;
            case Segnalazione::WCode:
                eccezione->wCode = static_cast<WORD>(e.Numero());
                eccezione->bstrDescription = Bstr(e.Descrizione()).Rilascia();
                eccezione->bstrSource = SysAllocString(L"DAO.Fields");
                break;
        }
    }

    LONG rif_ = 1;
};

class CampoProva : public Oggetto {
  public:
    CampoProva(std::shared_ptr<Recordset> rs, int indice, std::string nome)
        : rs_(std::move(rs)), indice_(indice), nome_(std::move(nome)) {}

  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"Value", DISPID_VALUE, Tipo::Proprieta, 0, 0}};
        return m;
    }
    void Esegui(DISPID, const Argomenti&, VARIANT& r) override {
        VarianteDa(indice_ >= 0 ? rs_->Campo(indice_) : rs_->Campo(nome_), r);
    }
    Segnalazione Modo() const override { return Segnalazione::WCode; }

  private:
    std::shared_ptr<Recordset> rs_;
    int indice_;
    std::string nome_;
};

class CampiProva : public Oggetto {
  public:
    explicit CampiProva(std::shared_ptr<Recordset> rs) : rs_(std::move(rs)) {}

  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"Item", DISPID_VALUE, Tipo::Entrambi, 1, 1},
                                              {L"Count", 1, Tipo::Proprieta, 0, 0}};
        return m;
    }
    void Esegui(DISPID id, const Argomenti& a, VARIANT& r) override {
        if (id == 1) {
            V_VT(&r) = VT_I2;
            V_I2(&r) = static_cast<SHORT>(rs_->NumeroCampi());
            return;
        }
        if (a.EIntero(0)) {
            const int32_t i = a.Intero(0);
            if (i < 0 || i >= rs_->NumeroCampi()) throw jet::ElementoNonTrovato();
            Restituisci(r, new CampoProva(rs_, i, {}));
            return;
        }
        const std::string nome = a.Testo(0);
        // A name the record set has not: error 3265 now, as DAO's
        // collection answers; a row is only needed for the value.
        try {
            rs_->Campo(nome);
        } catch (const Errore& e) {
            if (e.Numero() != 3021) throw;
        }
        Restituisci(r, new CampoProva(rs_, -1, nome));
    }
    Segnalazione Modo() const override { return Segnalazione::WCode; }

  private:
    std::shared_ptr<Recordset> rs_;
};

class RecordsetProva : public Oggetto {
  public:
    explicit RecordsetProva(std::shared_ptr<Recordset> rs) : rs_(std::move(rs)) {}

  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"EOF", 1, Tipo::Proprieta, 0, 0},
                                              {L"Fields", 2, Tipo::Proprieta, 0, 0},
                                              {L"MoveNext", 3, Tipo::Metodo, 0, 0},
                                              {L"Close", 4, Tipo::Metodo, 0, 0}};
        return m;
    }
    void Esegui(DISPID id, const Argomenti&, VARIANT& r) override {
        switch (id) {
            case 1:
                V_VT(&r) = VT_BOOL;
                V_BOOL(&r) = rs_->Eof() ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case 2:
                Restituisci(r, new CampiProva(rs_));
                break;
            case 3:
                rs_->MoveNext();
                break;
            default:
                rs_->Close();
                Conta(g_conteggi.Chiusure);
        }
    }

  private:
    std::shared_ptr<Recordset> rs_;
};

class DatabaseProva : public Oggetto {
  public:
    explicit DatabaseProva(std::unique_ptr<Database> db) : db_(std::move(db)) {}

  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"OpenRecordset", 1, Tipo::Metodo, 1, 4},
                                              {L"Close", 2, Tipo::Metodo, 0, 0}};
        return m;
    }
    void Esegui(DISPID id, const Argomenti& a, VARIANT& r) override {
        if (id == 2) {
            db_->Close();
            Conta(g_conteggi.Chiusure);
            return;
        }
        const std::string sql = a.Testo(0);
        const int32_t tipo = a.Intero(1, 2);  // DAO's default for a query: a dynaset
        a.Intero(2, 0);
        a.Intero(3, 0);
        std::shared_ptr<Recordset> rs = db_->OpenRecordset(sql, tipo);
        Conta(g_conteggi.RecordsetAperti);
        Restituisci(r, new RecordsetProva(std::move(rs)));
    }
    Segnalazione Modo() const override { return Segnalazione::Differita; }

  private:
    std::unique_ptr<Database> db_;
};

class WorkspaceProva : public Oggetto {
  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"OpenDatabase", 1, Tipo::Metodo, 1, 4}};
        return m;
    }
    void Esegui(DISPID, const Argomenti& a, VARIANT& r) override {
        const std::string nome = a.Testo(0);
        const bool esclusivo = a.Booleano(1, false);
        const bool solaLettura = a.Booleano(2, false);
        const std::string connessione = a.Testo(3, {});
        auto db = OpenDatabase(nome, esclusivo, solaLettura, connessione);
        Conta(g_conteggi.DatabaseAperti);
        Restituisci(r, new DatabaseProva(std::move(db)));
    }
};

class WorkspacesProva : public Oggetto {
  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"Item", DISPID_VALUE, Tipo::Entrambi, 1, 1}};
        return m;
    }
    void Esegui(DISPID, const Argomenti& a, VARIANT& r) override {
        if (a.Intero(0) != 0) throw jet::ElementoNonTrovato();
        Restituisci(r, new WorkspaceProva());
    }
};

class MotoreProva : public Oggetto {
  public:
    MotoreProva() {
        Conta(g_conteggi.MotoriCreati);
        Conta(g_conteggi.MotoriVivi);
    }
    ~MotoreProva() override { InterlockedDecrement(&g_conteggi.MotoriVivi); }

  protected:
    const std::vector<Membro>& Membri() const override {
        static const std::vector<Membro> m = {{L"Workspaces", 1, Tipo::Proprieta, 0, 0}};
        return m;
    }
    void Esegui(DISPID, const Argomenti&, VARIANT& r) override {
        Restituisci(r, new WorkspacesProva());
    }
};

class Fabbrica final : public FabbricaStatica {
  public:
    explicit Fabbrica(LONG& conteggio) : FabbricaStatica(g_blocchi), conteggio_(conteggio) {}

  protected:
    IUnknown* Crea() override {
        auto* motore = new (std::nothrow) MotoreProva();
        if (motore == nullptr) return nullptr;
        Conta(conteggio_);
        return motore;
    }

  private:
    LONG& conteggio_;
};

Fabbrica g_fabbriche[] = {Fabbrica(g_conteggi.MotoriDa35), Fabbrica(g_conteggi.MotoriDa36),
                          Fabbrica(g_conteggi.MotoriDa120)};

std::wstring PercorsoDll() {
    std::wstring p(32768, L'\0');
    const DWORD n = GetModuleFileNameW(g_modulo, p.data(), static_cast<DWORD>(p.size()));
    p.resize(n);
    return p;
}

bool EsisteChiave(const std::wstring& chiave) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

// A key's value; empty when there is none.
std::wstring LeggiValore(const std::wstring& chiave, const wchar_t* nome) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return {};
    wchar_t testo[2048] = {};
    DWORD n = sizeof testo - sizeof(wchar_t);
    DWORD tipo = 0;
    const LONG esito =
        RegQueryValueExW(k, nome, nullptr, &tipo, reinterpret_cast<BYTE*>(testo), &n);
    RegCloseKey(k);
    return esito == ERROR_SUCCESS && (tipo == REG_SZ || tipo == REG_EXPAND_SZ) ? testo
                                                                               : std::wstring();
}

bool Scrivi(const std::wstring& chiave, const wchar_t* nome, const std::wstring& valore) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, chiave.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG esito =
        RegSetValueExW(k, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(valore.c_str()),
                       static_cast<DWORD>((valore.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return esito == ERROR_SUCCESS;
}

// True when the class key is absent or names a DaoProva.dll as its server.
bool ClasseNostra(const std::wstring& chiave) {
    if (!EsisteChiave(chiave)) return true;
    const std::wstring server = LeggiValore(chiave + L"\\InprocServer32", nullptr);
    const size_t barra = server.find_last_of(L"\\/");
    const std::wstring file = barra == std::wstring::npos ? server : server.substr(barra + 1);
    return _wcsicmp(file.c_str(), kNomeDll) == 0;
}

// Removes the keys of every class that are this DLL's; E_ACCESSDENIED when
// some belong to another server (they stay).
HRESULT Deregistra() {
    bool tutteNostre = true;
    for (const Classe& c : kClassi) {
        const std::wstring chiave = ChiaveClasse(c);
        const bool nostra = ClasseNostra(chiave);
        // An identifier is ours when it leads to a class served by us.
        const bool nostroProgId =
            c.progId == nullptr || !EsisteChiave(c.progId) ||
            (_wcsicmp(LeggiValore(std::wstring(c.progId) + L"\\CLSID", nullptr).c_str(),
                      c.testo) == 0 &&
             nostra);
        if (nostra) SHDeleteKeyW(HKEY_CLASSES_ROOT, chiave.c_str());
        if (nostroProgId && c.progId != nullptr) SHDeleteKeyW(HKEY_CLASSES_ROOT, c.progId);
        tutteNostre = tutteNostre && nostra && nostroProgId;
    }
    return tutteNostre ? S_OK : E_ACCESSDENIED;
}

bool RegistraClasse(const Classe& c) {
    const std::wstring chiave = ChiaveClasse(c);
    bool ok = Scrivi(chiave, nullptr, L"DAO.DBEngine (DaoProva)") &&
              Scrivi(chiave + L"\\InprocServer32", nullptr, PercorsoDll()) &&
              Scrivi(chiave + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (ok && c.progId != nullptr) {
        ok = Scrivi(chiave + L"\\ProgID", nullptr, c.progId) &&
             Scrivi(c.progId, nullptr, L"DAO.DBEngine (DaoProva)") &&
             Scrivi(std::wstring(c.progId) + L"\\CLSID", nullptr, c.testo);
    }
    return ok;
}

HRESULT Registra(int modo) {
    if (modo <= 0 || (modo & ~kTutte) != 0) return E_INVALIDARG;
    const HRESULT pulito = Deregistra();
    if (FAILED(pulito)) return pulito;
    for (size_t i = 0; i < std::size(kClassi); ++i) {
        if ((modo & (1 << i)) != 0 && !RegistraClasse(kClassi[i])) {
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
    for (size_t i = 0; i < std::size(kClassi); ++i) {
        if (IsEqualCLSID(classe, kClassi[i].clsid)) return g_fabbriche[i].QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return InterlockedCompareExchange(&g_conteggi.OggettiVivi, 0, 0) == 0 &&
                   InterlockedCompareExchange(&g_blocchi, 0, 0) == 0
               ? S_OK
               : S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    return Registra(daoprova::kClasseDao35);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Deregistra();
}

__declspec(dllexport) HRESULT WINAPI DaoProvaRegistra(int modo) {
    return Registra(modo);
}

__declspec(dllexport) HRESULT WINAPI DaoProvaDeregistra() {
    return Deregistra();
}

__declspec(dllexport) void WINAPI DaoProvaConteggi(daoprova::Conteggi* c) {
    if (c == nullptr) return;
    LONG* da = &g_conteggi.MotoriCreati;
    LONG* a = &c->MotoriCreati;
    for (size_t i = 0; i < sizeof g_conteggi / sizeof(LONG); ++i)
        a[i] = InterlockedCompareExchange(&da[i], 0, 0);
}

}  // extern "C"
