// The database interface over DAO through COM (see DatabaseDao_win32.h).

#include <windows.h>

#include "chart/DatabaseDao_win32.h"

#include <objbase.h>
#include <objidl.h>

#include <cstdio>

namespace quandora::dao {

// {00000010-0000-0010-8000-00AA006D2EA4}
const CLSID CLSID_DBEngine35 = {
    0x00000010, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

Variante Variante::Long(int32_t n) {
    Variante r;
    V_VT(&r.v_) = VT_I4;
    V_I4(&r.v_) = n;
    return r;
}

Variante Variante::Booleano(bool b) {
    Variante r;
    V_VT(&r.v_) = VT_BOOL;
    V_BOOL(&r.v_) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}

Variante Variante::Testo(const std::string& utf8) {
    Variante r;
    Bstr b(utf8);
    if (b.get() == nullptr) throw ErroreDiSistema(7);
    V_VT(&r.v_) = VT_BSTR;
    V_BSTR(&r.v_) = b.Rilascia();
    return r;
}

Valore ValoreDaVariante(const VARIANT& v) {
    if (V_VT(&v) & VT_BYREF) {
        Variante diretto;
        if (FAILED(VariantCopyInd(&diretto.get(), const_cast<VARIANT*>(&v))))
            throw ErroreDiSistema(13);
        return ValoreDaVariante(diretto.get());
    }
    switch (V_VT(&v)) {
        case VT_EMPTY:
        case VT_NULL:
            return Valore::Nullo();
        case VT_BOOL:
            return Valore::Booleano(V_BOOL(&v) != VARIANT_FALSE);
        case VT_UI1:
            return Valore::Intero(V_UI1(&v));
        case VT_I1:
            return Valore::Intero(V_I1(&v));
        case VT_I2:
            return Valore::Intero(V_I2(&v));
        case VT_UI2:
            return Valore::Intero(V_UI2(&v));
        case VT_I4:
            return Valore::Intero(V_I4(&v));
        case VT_UI4:
            return Valore::Intero(V_UI4(&v));
        case VT_INT:
            return Valore::Intero(V_INT(&v));
        case VT_UINT:
            return Valore::Intero(V_UINT(&v));
        case VT_I8:
            return Valore::Intero(V_I8(&v));
        case VT_CY:
            return Valore::Valuta(V_CY(&v).int64);
        case VT_R4:
            return Valore::Doppio(V_R4(&v));
        case VT_R8:
            return Valore::Doppio(V_R8(&v));
        case VT_DECIMAL: {
            double d = 0;
            if (FAILED(VarR8FromDec(const_cast<DECIMAL*>(&V_DECIMAL(&v)), &d)))
                throw ErroreDiSistema(6);
            return Valore::Doppio(d);
        }
        case VT_DATE:
            return Valore::DataOra(V_DATE(&v));
        case VT_BSTR:
            return Valore::Testo(Utf8DaBstr(V_BSTR(&v)));
        case VT_ARRAY | VT_UI1: {
            SAFEARRAY* a = V_ARRAY(&v);
            if (a == nullptr) return Valore::Binario({});
            if (SafeArrayGetDim(a) != 1) throw ErroreDiSistema(13);
            LONG basso = 0, alto = -1;
            SafeArrayGetLBound(a, 1, &basso);
            SafeArrayGetUBound(a, 1, &alto);
            void* dati = nullptr;
            if (FAILED(SafeArrayAccessData(a, &dati))) throw ErroreDiSistema(13);
            const size_t n = alto >= basso ? size_t(alto - basso) + 1 : 0;
            std::string byte(static_cast<const char*>(dati), n);
            SafeArrayUnaccessData(a);
            return Valore::Binario(std::move(byte));
        }
        default:
            throw ErroreDiSistema(13);
    }
}

namespace {

struct Corrispondenza {
    HRESULT hr;
    int32_t numero;
};

constexpr Corrispondenza kNumeri[] = {
    {DISP_E_UNKNOWNNAME, 438},      {DISP_E_MEMBERNOTFOUND, 438}, {DISP_E_BADPARAMCOUNT, 450},
    {DISP_E_TYPEMISMATCH, 13},      {DISP_E_BADVARTYPE, 13},      {DISP_E_OVERFLOW, 6},
    {DISP_E_PARAMNOTOPTIONAL, 449}, {DISP_E_NONAMEDARGS, 446},    {DISP_E_PARAMNOTFOUND, 448},
    {DISP_E_BADINDEX, 9},           {E_OUTOFMEMORY, 7},           {E_INVALIDARG, 5},
    {E_NOINTERFACE, 430},
};

// The number of an HRESULT that is no engine error; 0 when it has none.
int32_t NumeroNoto(HRESULT hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL && FAILED(hr)) return HRESULT_CODE(hr);
    for (const auto& c : kNumeri)
        if (c.hr == hr) return c.numero;
    return 0;
}

// An error of the number given, with the engine's description or, when it
// gave none, the runtime's text of the number.
Errore ConDescrizione(int32_t numero, std::string descrizione) {
    if (descrizione.empty()) {
        const char* testo = TestoErroreDiSistema(numero);
        descrizione = testo ? testo : "Errore di automazione";
    }
    return Errore(numero, std::move(descrizione));
}

Errore ErroreDiAutomazione(HRESULT hr, std::string descrizione) {
    const int32_t numero = NumeroNoto(hr);
    if (numero != 0) return ConDescrizione(numero, std::move(descrizione));
    char codice[32];
    std::snprintf(codice, sizeof codice, " (0x%08lX)", static_cast<unsigned long>(hr));
    if (descrizione.empty()) descrizione = TestoErroreDiSistema(440);
    return Errore(440, descrizione + codice);
}

}  // namespace

Errore ErroreAutomazione(HRESULT hr, EXCEPINFO* e) {
    if (hr != DISP_E_EXCEPTION || e == nullptr) return ErroreDiAutomazione(hr, {});
    if (e->pfnDeferredFillIn != nullptr) {
        auto riempi = e->pfnDeferredFillIn;
        e->pfnDeferredFillIn = nullptr;
        riempi(e);
    }
    std::string descrizione = Utf8DaBstr(e->bstrDescription);
    const WORD wCode = e->wCode;
    const HRESULT scode = e->scode;
    SysFreeString(e->bstrSource);
    SysFreeString(e->bstrDescription);
    SysFreeString(e->bstrHelpFile);
    e->bstrSource = e->bstrDescription = e->bstrHelpFile = nullptr;
    if (wCode != 0) return ConDescrizione(wCode, std::move(descrizione));
    return ErroreDiAutomazione(scode, std::move(descrizione));
}

DISPID Oggetto::Dispid(const wchar_t* nome) {
    for (const auto& [n, id] : dispid_)
        if (n == nome) return id;
    if (!d_) throw ErroreDiSistema(91);
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR nomi[] = {const_cast<LPOLESTR>(nome)};
    const HRESULT hr = d_->GetIDsOfNames(IID_NULL, nomi, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw ErroreAutomazione(hr, nullptr);
    dispid_.emplace_back(nome, id);
    return id;
}

Variante Oggetto::Chiama(const wchar_t* nome, WORD modo, std::vector<Variante> argomenti) {
    return ChiamaId(Dispid(nome), modo, std::move(argomenti));
}

Variante Oggetto::ChiamaId(DISPID id, WORD modo, std::vector<Variante> argomenti) {
    if (!d_) throw ErroreDiSistema(91);
    // IDispatch takes the arguments last first. The copies are shallow: the
    // Variante objects keep owning what they hold.
    std::vector<VARIANTARG> rovesciati(argomenti.size());
    for (size_t i = 0; i < argomenti.size(); ++i)
        rovesciati[argomenti.size() - 1 - i] = argomenti[i].get();
    DISPPARAMS parametri = {rovesciati.data(), nullptr, static_cast<UINT>(rovesciati.size()), 0};
    Variante risultato;
    EXCEPINFO eccezione = {};
    UINT argomentoErrato = 0;
    const HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, modo, &parametri,
                                  &risultato.get(), &eccezione, &argomentoErrato);
    if (FAILED(hr)) throw ErroreAutomazione(hr, &eccezione);
    return risultato;
}

Oggetto Oggetto::Elemento(Variante indice) {
    std::vector<Variante> argomenti;
    argomenti.push_back(std::move(indice));
    return DaRisultato(
        ChiamaId(DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(argomenti)));
}

Oggetto Oggetto::DaRisultato(Variante r) {
    VARIANT& v = r.get();
    IUnknown* u = nullptr;
    if (V_VT(&v) == VT_DISPATCH) u = V_DISPATCH(&v);
    if (V_VT(&v) == VT_UNKNOWN) u = V_UNKNOWN(&v);
    if (u == nullptr) throw ErroreDiSistema(424);
    ComPtr<IDispatch> d;
    if (FAILED(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(d.Indirizzo()))) || !d)
        throw ErroreDiSistema(430);
    return Oggetto(std::move(d));
}

namespace {

// The engine of this thread; released when COM ends on the thread.
thread_local IDispatch* t_motore = nullptr;
thread_local bool t_spiaRegistrata = false;

void RilasciaMotore() {
    if (IDispatch* m = std::exchange(t_motore, nullptr)) m->Release();
}

// Told by COM before every CoUninitialize on the threads where it is
// registered: the last one (one initialisation left) releases the engine.
class SpiaCom final : public IInitializeSpy {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IInitializeSpy)) {
            *ppv = static_cast<IInitializeSpy*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // A static object: references do not count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT esito, DWORD, DWORD) override { return esito; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD inizializzazioni) override {
        if (inizializzazioni <= 1) RilasciaMotore();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

SpiaCom g_spia;

// True when the engine will be released at the end of COM on this thread.
// The function is looked up, not linked: older Windows have none.
bool RegistraSpia() {
    if (t_spiaRegistrata) return true;
    using Registra = HRESULT(WINAPI*)(IInitializeSpy*, ULARGE_INTEGER*);
    HMODULE ole = GetModuleHandleA("ole32.dll");
    auto registra = ole ? reinterpret_cast<Registra>(reinterpret_cast<void*>(
                              GetProcAddress(ole, "CoRegisterInitializeSpy")))
                        : nullptr;
    ULARGE_INTEGER cookie;
    t_spiaRegistrata = registra != nullptr && SUCCEEDED(registra(&g_spia, &cookie));
    return t_spiaRegistrata;
}

IDispatch* CreaMotore() {
    IDispatch* d = nullptr;
    const DWORD contesto = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
    if (SUCCEEDED(CoCreateInstance(CLSID_DBEngine35, nullptr, contesto, IID_IDispatch,
                                   reinterpret_cast<void**>(&d))) &&
        d != nullptr) {
        return d;
    }
    for (const wchar_t* progId : kProgIdDBEngine) {
        CLSID classe;
        if (SUCCEEDED(CLSIDFromProgID(progId, &classe)) &&
            SUCCEEDED(CoCreateInstance(classe, nullptr, contesto, IID_IDispatch,
                                       reinterpret_cast<void**>(&d))) &&
            d != nullptr) {
            return d;
        }
    }
    return nullptr;
}

class RecordsetDao : public Recordset {
  public:
    explicit RecordsetDao(Oggetto rs) : rs_(std::move(rs)) {}

    bool Eof() const override {
        Variante v = rs_.Leggi(L"EOF");
        return ValoreDaVariante(v.get()).ComeDoppio() != 0;
    }
    Valore Campo(int indice) const override { return Leggi(Variante::Long(indice)); }
    Valore Campo(const std::string& nome) const override { return Leggi(Variante::Testo(nome)); }
    int NumeroCampi() const override {
        Variante n = Campi().Leggi(L"Count");
        return ValoreDaVariante(n.get()).ComeLong();
    }
    void MoveNext() override { rs_.Chiama(L"MoveNext", DISPATCH_METHOD); }
    void Close() override { rs_.Chiama(L"Close", DISPATCH_METHOD); }

  private:
    Valore Leggi(Variante chiave) const {
        Oggetto campo = Campi().Elemento(std::move(chiave));
        Variante v = campo.Leggi(L"Value");
        return ValoreDaVariante(v.get());
    }
    // The record set's Fields collection, asked for once.
    Oggetto& Campi() const {
        if (!campi_.get()) campi_ = rs_.Figlio(L"Fields");
        return campi_;
    }

    mutable Oggetto rs_;
    mutable Oggetto campi_;
};

class DatabaseDao : public Database {
  public:
    explicit DatabaseDao(Oggetto db) : db_(std::move(db)) {}

    std::unique_ptr<Recordset> OpenRecordset(const std::string& sql, int tipo) override {
        std::vector<Variante> argomenti;
        argomenti.push_back(Variante::Testo(sql));
        argomenti.push_back(Variante::Long(tipo));
        return std::make_unique<RecordsetDao>(Oggetto::DaRisultato(
            db_.Chiama(L"OpenRecordset", DISPATCH_METHOD, std::move(argomenti))));
    }
    void Close() override { db_.Chiama(L"Close", DISPATCH_METHOD); }

  private:
    Oggetto db_;
};

}  // namespace

ComPtr<IDispatch> MotoreDao() {
    if (t_motore == nullptr) {
        IDispatch* nuovo = CreaMotore();
        if (nuovo == nullptr) return {};
        // Without the notice of COM's end the engine is kept for good.
        RegistraSpia();
        t_motore = nuovo;
    }
    t_motore->AddRef();
    return ComPtr<IDispatch>(t_motore);
}

}  // namespace quandora::dao

namespace quandora {

std::unique_ptr<Database> OpenDatabaseDao(const std::string& percorso, bool esclusivo,
                                          bool solaLettura, const std::string& connessione) {
    ComPtr<IDispatch> motore = dao::MotoreDao();
    if (!motore) return nullptr;
    dao::Oggetto dbEngine(std::move(motore));
    dao::Oggetto workspace = dbEngine.Figlio(L"Workspaces").Elemento(dao::Variante::Long(0));
    std::vector<dao::Variante> argomenti;
    argomenti.push_back(dao::Variante::Testo(percorso));
    argomenti.push_back(dao::Variante::Booleano(esclusivo));
    argomenti.push_back(dao::Variante::Booleano(solaLettura));
    argomenti.push_back(dao::Variante::Testo(connessione));
    return std::make_unique<dao::DatabaseDao>(dao::Oggetto::DaRisultato(
        workspace.Chiama(L"OpenDatabase", DISPATCH_METHOD, std::move(argomenti))));
}

}  // namespace quandora
