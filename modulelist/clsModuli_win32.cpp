// clsModuli: the COM class of Varniko. Each method traps nothing of its own:
// an Errore raised inside becomes the failure of the call, as automation
// servers report it: the HRESULT 0x800A0000 + number, the number and
// description through IErrorInfo, and for Invoke through EXCEPINFO.

#include "modulelist/clsModuli_win32.h"

#include <new>

#include "modulelist/CartelleQuandora.h"
#include "modulelist/FileModuli.h"
#include "modulelist/ListaModuli.h"
#include "util/Errore.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

LONG g_oggetti = 0;

constexpr wchar_t kSorgente[] = L"Varniko.clsModuli";

HRESULT HresultDi(int32_t numero) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<WORD>(numero));
}

}  // namespace

LONG OggettiVivi() {
    return InterlockedCompareExchange(&g_oggetti, 0, 0);
}

ClsModuli::ClsModuli(ComPtr<ITypeInfo> info) : info_(std::move(info)) {
    InterlockedIncrement(&g_oggetti);
}

ClsModuli::~ClsModuli() {
    InterlockedDecrement(&g_oggetti);
}

HRESULT ClsModuli::Riporta(const Errore& e) {
    ultimoErrore_ = true;
    ultimoNumero_ = e.Numero();
    ultimaDescrizione_ = e.Descrizione();
    ComPtr<ICreateErrorInfo> crea;
    if (SUCCEEDED(CreateErrorInfo(crea.Indirizzo()))) {
        crea->SetGUID(IID__clsModuli);
        crea->SetSource(const_cast<LPOLESTR>(kSorgente));
        Bstr descrizione(e.Descrizione());
        crea->SetDescription(descrizione.get());
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(
                crea->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.Indirizzo())))) {
            SetErrorInfo(0, info.get());
        }
    }
    return HresultDi(e.Numero());
}

template <class F>
HRESULT ClsModuli::Esegui(F&& corpo) {
    try {
        corpo();
        return S_OK;
    } catch (const Errore& e) {
        return Riporta(e);
    } catch (const std::bad_alloc&) {
        return Riporta(ErroreDiSistema(7));
    } catch (...) {
        return Riporta(ErroreDiSistema(51));
    }
}

// --- IUnknown, IDispatch, ISupportErrorInfo ---

HRESULT STDMETHODCALLTYPE ClsModuli::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID__clsModuli)) {
        *ppv = static_cast<_clsModuli*>(this);
    } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
        *ppv = static_cast<ISupportErrorInfo*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClsModuli::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&riferimenti_));
}

ULONG STDMETHODCALLTYPE ClsModuli::Release() {
    const LONG n = InterlockedDecrement(&riferimenti_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT STDMETHODCALLTYPE ClsModuli::InterfaceSupportsErrorInfo(REFIID riid) {
    return IsEqualIID(riid, IID__clsModuli) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ClsModuli::GetTypeInfoCount(UINT* n) {
    if (n == nullptr) return E_POINTER;
    *n = info_ ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClsModuli::GetTypeInfo(UINT indice, LCID, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (indice != 0) return DISP_E_BADINDEX;
    if (!info_) return TYPE_E_ELEMENTNOTFOUND;
    *info = ComPtr(info_).Rilascia();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClsModuli::GetIDsOfNames(REFIID, LPOLESTR* nomi, UINT n, LCID,
                                                   DISPID* id) {
    if (!info_) return E_UNEXPECTED;
    return DispGetIDsOfNames(info_.get(), nomi, n, id);
}

HRESULT STDMETHODCALLTYPE ClsModuli::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                            DISPPARAMS* parametri, VARIANT* risultato,
                                            EXCEPINFO* eccezione, UINT* argomentoErrato) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!info_) return E_UNEXPECTED;
    ultimoErrore_ = false;
    HRESULT hr;
    if (id == varniko::DISPID_GetListaModulo && (flags & DISPATCH_METHOD) &&
        ArgomentiVariant(parametri)) {
        hr = ListaInVariant(parametri, risultato);
    } else if (parametri != nullptr && parametri->cArgs > 0 && parametri->cArgs <= 8) {
        // Script clients pass their variables as references to variants;
        // a text held in one is passed on as a reference to the text itself,
        // which is what the members take.
        VARIANT copia[8];
        DISPPARAMS p = *parametri;
        for (UINT i = 0; i < p.cArgs; ++i) {
            copia[i] = parametri->rgvarg[i];
            VARIANT* interno =
                V_VT(&copia[i]) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&copia[i]) : nullptr;
            if (interno != nullptr && V_VT(interno) == VT_BSTR) {
                V_VT(&copia[i]) = VT_BYREF | VT_BSTR;
                V_BSTRREF(&copia[i]) = &V_BSTR(interno);
            }
        }
        p.rgvarg = copia;
        hr = info_->Invoke(static_cast<_clsModuli*>(this), id, flags, &p, risultato, eccezione,
                           argomentoErrato);
    } else {
        hr = info_->Invoke(static_cast<_clsModuli*>(this), id, flags, parametri, risultato,
                           eccezione, argomentoErrato);
    }
    (void)lcid;
    if (ultimoErrore_ && FAILED(hr)) {
        if (eccezione != nullptr) {
            ZeroMemory(eccezione, sizeof *eccezione);
            eccezione->scode = HresultDi(ultimoNumero_);
            eccezione->bstrSource = SysAllocString(kSorgente);
            eccezione->bstrDescription = Bstr(ultimaDescrizione_).Rilascia();
        }
        return DISP_E_EXCEPTION;
    }
    return hr;
}

// Script clients (VBScript) hold their arrays in variants: the three
// arguments come as references to variants rather than to arrays of texts.
bool ClsModuli::ArgomentiVariant(const DISPPARAMS* p) {
    if (p == nullptr || p->cArgs != 3 || p->cNamedArgs != 0) return false;
    for (UINT i = 0; i < 3; ++i) {
        if (V_VT(&p->rgvarg[i]) != (VT_BYREF | VT_VARIANT)) return false;
    }
    return true;
}

HRESULT ClsModuli::ListaInVariant(DISPPARAMS* p, VARIANT* risultato) {
    // rgvarg holds the arguments from the last to the first.
    VARIANT* argomenti[3] = {V_VARIANTREF(&p->rgvarg[2]), V_VARIANTREF(&p->rgvarg[1]),
                             V_VARIANTREF(&p->rgvarg[0])};
    SAFEARRAY* matrici[3] = {};
    for (int i = 0; i < 3; ++i) {
        VARIANT* v = argomenti[i];
        if (V_VT(v) == (VT_ARRAY | VT_BSTR)) {
            matrici[i] = V_ARRAY(v);
        } else if (V_VT(v) == (VT_ARRAY | VT_VARIANT)) {
            // A script's array: it must be one the script could ReDim.
            const SAFEARRAY* sa = V_ARRAY(v);
            if (sa != nullptr &&
                ((sa->fFeatures & (FADF_FIXEDSIZE | FADF_STATIC | FADF_EMBEDDED | FADF_AUTO)) ||
                 sa->cLocks > 0)) {
                return Riporta(ErroreDiSistema(10));
            }
        } else if (V_VT(v) != VT_EMPTY) {
            return Riporta(ErroreDiSistema(13));
        }
    }
    SAFEARRAY* originali[3] = {matrici[0], matrici[1], matrici[2]};
    short n = 0;
    const HRESULT hr = GetListaModulo(&matrici[0], &matrici[1], &matrici[2], &n);
    // The arrays of texts made for the variants are ours, also when the
    // call failed after making some.
    MatriceSicura testi[3];
    for (int i = 0; i < 3; ++i) {
        if (matrici[i] != originali[i]) testi[i].reset(matrici[i]);
    }
    if (FAILED(hr)) return hr;
    for (int i = 0; i < 3; ++i) {
        if (!testi[i]) continue;
        // Script engines index arrays of variants: the texts are handed
        // over in that form.
        LONG alto = -1;
        SafeArrayGetUBound(testi[i].get(), 1, &alto);
        MatriceSicura varianti(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(alto + 1)));
        if (!varianti) return Riporta(ErroreDiSistema(7));
        for (LONG k = 0; k <= alto; ++k) {
            Variante elemento;
            BSTR b = nullptr;
            SafeArrayGetElement(testi[i].get(), &k, &b);
            V_VT(&elemento.get()) = VT_BSTR;
            V_BSTR(&elemento.get()) = b;
            SafeArrayPutElement(varianti.get(), &k, &elemento.get());
        }
        // The argument's old value goes; the array of variants takes its
        // place.
        Variante::Prendi(*argomenti[i]);
        V_VT(argomenti[i]) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(argomenti[i]) = varianti.release();
    }
    if (risultato != nullptr) {
        VariantInit(risultato);
        V_VT(risultato) = VT_I2;
        V_I2(risultato) = n;
    }
    return S_OK;
}

// --- _clsModuli ---

HRESULT STDMETHODCALLTYPE ClsModuli::get_CartellaDatiQuandora(BSTR* risultato) {
    if (risultato == nullptr) return E_POINTER;
    return Esegui([&] {
        Bstr b(cartellaDati_);
        if (b.get() == nullptr) throw ErroreDiSistema(7);
        *risultato = b.Rilascia();
    });
}

HRESULT STDMETHODCALLTYPE ClsModuli::put_CartellaDatiQuandora(BSTR valore) {
    return Esegui([&] { cartellaDati_ = Utf8DaBstr(valore); });
}

HRESULT STDMETHODCALLTYPE ClsModuli::GetCartellaQuandora(BSTR* risultato) {
    if (risultato == nullptr) return E_POINTER;
    return Esegui([&] { *risultato = Bstr(CercaCartellaQuandora()).Rilascia(); });
}

HRESULT STDMETHODCALLTYPE ClsModuli::GetCartellaDatiQuandora(BSTR* risultato) {
    if (risultato == nullptr) return E_POINTER;
    return Esegui([&] { *risultato = Bstr(CercaCartellaDatiQuandora()).Rilascia(); });
}

// The list's path: the data folder in folder form, as every folder is made
// (AggiungiSepDir: blanks off both ends, "\" added when missing; Windows
// would look for a folder whose name ends in the blank, and not find it),
// followed by the file's name. The property keeps the text the client gave.
// A folder of blanks only names none: path not found, rather than a list
// in whatever the client's current folder is.
std::string ClsModuli::PercorsoLista() {
    if (cartellaDati_.empty()) cartellaDati_ = CercaCartellaDatiQuandora();
    const std::string cartella = uxUtilita().AggiungiSepDir(std::string(cartellaDati_));
    if (cartella.empty()) throw ErroreDiSistema(76);
    return cartella + "Moduli.dat";
}

HRESULT STDMETHODCALLTYPE ClsModuli::AggiungiModulo(BSTR* pathname, BSTR* nome, BSTR* descrizione,
                                                    VARIANT_BOOL* risultato) {
    if (pathname == nullptr || nome == nullptr || descrizione == nullptr || risultato == nullptr) {
        return E_POINTER;
    }
    return Esegui([&] {
        // Texts the code page cannot hold are refused before the list is
        // opened, or even created.
        const RecordModulo modulo =
            RecordDelModulo(Utf8DaBstr(*pathname), Utf8DaBstr(*nome), Utf8DaBstr(*descrizione));
        auto file = ApriFileModuli(PercorsoLista());
        AggiungiModuloAlFile(*file, modulo);
        *risultato = VARIANT_TRUE;
    });
}

namespace {

// Makes the client's array hold exactly n texts from index 0: a new array
// when it has none, the same array resized otherwise. A fixed or locked
// array cannot be resized (error 10); one of another kind is a type
// mismatch (13).
void PreparaMatrice(SAFEARRAY*& sa, ULONG n) {
    if (sa == nullptr) {
        sa = SafeArrayCreateVector(VT_BSTR, 0, n);
        if (sa == nullptr) throw ErroreDiSistema(7);
        return;
    }
    VARTYPE tipo = VT_EMPTY;
    if (SafeArrayGetDim(sa) != 1 || FAILED(SafeArrayGetVartype(sa, &tipo)) || tipo != VT_BSTR) {
        throw ErroreDiSistema(13);
    }
    if (sa->fFeatures & (FADF_FIXEDSIZE | FADF_STATIC | FADF_EMBEDDED | FADF_AUTO) ||
        sa->cLocks > 0) {
        throw ErroreDiSistema(10);
    }
    SAFEARRAYBOUND limiti = {n, 0};
    const HRESULT hr = SafeArrayRedim(sa, &limiti);
    if (hr == DISP_E_ARRAYISLOCKED) throw ErroreDiSistema(10);
    if (FAILED(hr)) throw ErroreDiSistema(7);
}

void Metti(SAFEARRAY* sa, LONG i, const std::string& testo) {
    Bstr b(testo);
    if (b.get() == nullptr) throw ErroreDiSistema(7);
    // SafeArrayPutElement copies the text and frees the element it replaces.
    if (FAILED(SafeArrayPutElement(sa, &i, b.get()))) throw ErroreDiSistema(9);
}

}  // namespace

HRESULT STDMETHODCALLTYPE ClsModuli::GetListaModulo(SAFEARRAY** pathname, SAFEARRAY** nome,
                                                    SAFEARRAY** descrizione, short* risultato) {
    if (pathname == nullptr || nome == nullptr || descrizione == nullptr || risultato == nullptr) {
        return E_POINTER;
    }
    return Esegui([&] {
        std::vector<VoceModulo> voci;
        {
            auto file = ApriFileModuli(PercorsoLista(), UsoFileModuli::Lettura);
            voci = LeggiListaModuli(*file);
        }
        const auto n = static_cast<ULONG>(voci.size());
        if (n > 0) {
            PreparaMatrice(*pathname, n);
            PreparaMatrice(*nome, n);
            PreparaMatrice(*descrizione, n);
            for (ULONG i = 0; i < n; ++i) {
                Metti(*pathname, static_cast<LONG>(i), voci[i].pathname);
                Metti(*nome, static_cast<LONG>(i), voci[i].nome);
                Metti(*descrizione, static_cast<LONG>(i), voci[i].descrizione);
            }
        }
        *risultato = static_cast<short>(n);
    });
}

}  // namespace quandora
