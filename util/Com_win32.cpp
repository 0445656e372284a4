#include "util/Com_win32.h"

#include <objbase.h>
#include <ole2.h>

#include <cstdio>

#include "util/Testo_win32.h"

namespace quandora {

// --- BSTR and VARIANT ---------------------------------------------------------

Bstr::Bstr(std::string_view utf8) {
    const std::wstring w = Utf16DaUtf8(utf8);
    b_ = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

std::string Utf8DaBstr(BSTR b) {
    return Utf8DaUtf16(std::wstring_view(b, b != nullptr ? SysStringLen(b) : 0));
}

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

Variante Variante::Prendi(VARIANT& v) noexcept {
    Variante r;
    r.v_ = v;
    VariantInit(&v);
    return r;
}

// --- COM's initialisation ------------------------------------------------------

ComInizializzato::ComInizializzato(Con con)
    : con_(con),
      esito_(con == Con::Ole ? OleInitialize(nullptr)
                             : CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

ComInizializzato::~ComInizializzato() {
    if (FAILED(esito_)) return;
    if (con_ == Con::Ole) {
        OleUninitialize();
    } else {
        CoUninitialize();
    }
}

// --- Late-bound calls ---------------------------------------------------------

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

// The number of an HRESULT that is no callee's error; 0 when it has none.
int32_t NumeroNoto(HRESULT hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL && FAILED(hr)) return HRESULT_CODE(hr);
    for (const auto& c : kNumeri)
        if (c.hr == hr) return c.numero;
    return 0;
}

// An error of the number given, with the callee's description or, when it
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
    const Bstr sorgente(std::exchange(e->bstrSource, nullptr));
    const Bstr descrizione(std::exchange(e->bstrDescription, nullptr));
    const Bstr guida(std::exchange(e->bstrHelpFile, nullptr));
    std::string testo = Utf8DaBstr(descrizione.get());
    if (e->wCode != 0) return ConDescrizione(e->wCode, std::move(testo));
    return ErroreDiAutomazione(e->scode, std::move(testo));
}

DISPID OggettoDispatch::Dispid(const wchar_t* nome) {
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

Variante OggettoDispatch::Chiama(const wchar_t* nome, WORD modo, std::vector<Variante> argomenti) {
    return ChiamaId(Dispid(nome), modo, std::move(argomenti));
}

Variante OggettoDispatch::ChiamaId(DISPID id, WORD modo, std::vector<Variante> argomenti) {
    return Invoca(id, modo, argomenti, true);
}

void OggettoDispatch::Imposta(const wchar_t* nome, Variante valore) {
    std::vector<Variante> argomenti;
    argomenti.push_back(std::move(valore));
    Invoca(Dispid(nome), DISPATCH_PROPERTYPUT, argomenti, false);
}

Variante OggettoDispatch::Invoca(DISPID id, WORD modo, std::vector<Variante>& argomenti,
                                 bool risultato) {
    if (!d_) throw ErroreDiSistema(91);
    // IDispatch takes the arguments last first. The copies are shallow: the
    // Variante objects keep owning what they hold.
    std::vector<VARIANTARG> rovesciati(argomenti.size());
    for (size_t i = 0; i < argomenti.size(); ++i)
        rovesciati[argomenti.size() - 1 - i] = argomenti[i].get();
    DISPPARAMS parametri = {rovesciati.data(), nullptr, static_cast<UINT>(rovesciati.size()), 0};
    // A property's new value is the named argument DISPID_PROPERTYPUT.
    DISPID nominato = DISPID_PROPERTYPUT;
    if (modo == DISPATCH_PROPERTYPUT) {
        parametri.rgdispidNamedArgs = &nominato;
        parametri.cNamedArgs = 1;
    }
    Variante r;
    EXCEPINFO eccezione = {};
    UINT argomentoErrato = 0;
    const HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, modo, &parametri,
                                  risultato ? &r.get() : nullptr, &eccezione, &argomentoErrato);
    if (FAILED(hr)) throw ErroreAutomazione(hr, &eccezione);
    return r;
}

OggettoDispatch OggettoDispatch::Elemento(Variante indice) {
    std::vector<Variante> argomenti;
    argomenti.push_back(std::move(indice));
    return DaRisultato(
        ChiamaId(DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(argomenti)));
}

OggettoDispatch OggettoDispatch::DaRisultato(Variante r) {
    VARIANT& v = r.get();
    IUnknown* u = nullptr;
    if (V_VT(&v) == VT_DISPATCH) u = V_DISPATCH(&v);
    if (V_VT(&v) == VT_UNKNOWN) u = V_UNKNOWN(&v);
    if (u == nullptr) throw ErroreDiSistema(424);
    ComPtr<IDispatch> d;
    if (FAILED(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(d.Indirizzo()))) || !d)
        throw ErroreDiSistema(430);
    return OggettoDispatch(std::move(d));
}

std::string TestoGuid(REFGUID guid) {
    wchar_t testo[40] = {};
    const int n = StringFromGUID2(guid, testo, static_cast<int>(std::size(testo)));
    return n > 1 ? Utf8DaUtf16(std::wstring_view(testo, static_cast<size_t>(n - 1)))
                 : std::string();
}

// --- The class factory -------------------------------------------------------------

HRESULT FabbricaStatica::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG FabbricaStatica::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&blocchi_) + 1);
}

ULONG FabbricaStatica::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&blocchi_) + 1);
}

HRESULT FabbricaStatica::CreateInstance(IUnknown* esterno, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (esterno != nullptr) return CLASS_E_NOAGGREGATION;
    const ComPtr<IUnknown> oggetto(Crea());
    if (!oggetto) return E_OUTOFMEMORY;
    return oggetto->QueryInterface(riid, ppv);
}

HRESULT FabbricaStatica::LockServer(BOOL blocca) {
    if (blocca) {
        InterlockedIncrement(&blocchi_);
    } else {
        InterlockedDecrement(&blocchi_);
    }
    return S_OK;
}

}  // namespace quandora
