// The database interface over DAO through COM (see DatabaseDao_win32.h).

#include <windows.h>

#include "database/DatabaseDao_win32.h"

#include <objbase.h>
#include <objidl.h>

namespace quandora::dao {

// {00000010-0000-0010-8000-00AA006D2EA4}
const CLSID CLSID_DBEngine35 = {
    0x00000010, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

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

// The engine of this thread; released when COM ends on the thread. A
// reference held on purpose outside any owner: where COM gives no notice of
// its end the engine is kept for good, and an owner would release it at the
// thread's end, into a library COM has unloaded by then.
thread_local IDispatch* t_motore = nullptr;
thread_local bool t_spiaRegistrata = false;

void RilasciaMotore() {
    const ComPtr<IDispatch> ultimo(std::exchange(t_motore, nullptr));
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

ComPtr<IDispatch> CreaMotore() {
    ComPtr<IDispatch> d;
    const DWORD contesto = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
    if (SUCCEEDED(CoCreateInstance(CLSID_DBEngine35, nullptr, contesto, IID_IDispatch,
                                   reinterpret_cast<void**>(d.Indirizzo()))) &&
        d) {
        return d;
    }
    for (const wchar_t* progId : kProgIdDBEngine) {
        CLSID classe;
        if (SUCCEEDED(CLSIDFromProgID(progId, &classe)) &&
            SUCCEEDED(CoCreateInstance(classe, nullptr, contesto, IID_IDispatch,
                                       reinterpret_cast<void**>(d.Indirizzo()))) &&
            d) {
            return d;
        }
    }
    return {};
}

class RecordsetDao : public Recordset {
  public:
    explicit RecordsetDao(OggettoDispatch rs) : rs_(std::move(rs)) {}

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
        OggettoDispatch campo = Campi().Elemento(std::move(chiave));
        Variante v = campo.Leggi(L"Value");
        return ValoreDaVariante(v.get());
    }
    // The record set's Fields collection, asked for once.
    OggettoDispatch& Campi() const {
        if (!campi_.get()) campi_ = rs_.Figlio(L"Fields");
        return campi_;
    }

    mutable OggettoDispatch rs_;
    mutable OggettoDispatch campi_;
};

class DatabaseDao : public Database {
  public:
    explicit DatabaseDao(OggettoDispatch db) : db_(std::move(db)) {}

    std::unique_ptr<Recordset> OpenRecordset(const std::string& sql, int tipo) override {
        std::vector<Variante> argomenti;
        argomenti.push_back(Variante::Testo(sql));
        argomenti.push_back(Variante::Long(tipo));
        return std::make_unique<RecordsetDao>(OggettoDispatch::DaRisultato(
            db_.Chiama(L"OpenRecordset", DISPATCH_METHOD, std::move(argomenti))));
    }
    void Close() override { db_.Chiama(L"Close", DISPATCH_METHOD); }

  private:
    OggettoDispatch db_;
};

}  // namespace

ComPtr<IDispatch> MotoreDao() {
    if (t_motore == nullptr) {
        ComPtr<IDispatch> nuovo = CreaMotore();
        if (!nuovo) return {};
        // Without the notice of COM's end the engine is kept for good.
        RegistraSpia();
        t_motore = nuovo.Rilascia();
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
    OggettoDispatch dbEngine(std::move(motore));
    OggettoDispatch workspace = dbEngine.Figlio(L"Workspaces").Elemento(Variante::Long(0));
    std::vector<Variante> argomenti;
    argomenti.push_back(Variante::Testo(percorso));
    argomenti.push_back(Variante::Booleano(esclusivo));
    argomenti.push_back(Variante::Booleano(solaLettura));
    argomenti.push_back(Variante::Testo(connessione));
    return std::make_unique<dao::DatabaseDao>(OggettoDispatch::DaRisultato(
        workspace.Chiama(L"OpenDatabase", DISPATCH_METHOD, std::move(argomenti))));
}

}  // namespace quandora
