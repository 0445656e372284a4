#pragma once
// The COM object behind Varniko.clsModuli.

#include <windows.h>

#include <string>

#include "modulelist/Varniko.h"
#include "util/Com_win32.h"

namespace quandora {

class Errore;

// Objects alive in the process (for DllCanUnloadNow).
LONG OggettiVivi();

class ClsModuli final : public _clsModuli, public ISupportErrorInfo {
  public:
    // info: the type information of _clsModuli (may be null when the
    // library's type library cannot be loaded; automation then fails).
    explicit ClsModuli(ComPtr<ITypeInfo> info);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT indice, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* nomi, UINT n, LCID lcid,
                                            DISPID* id) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* parametri, VARIANT* risultato,
                                     EXCEPINFO* eccezione, UINT* argomentoErrato) override;
    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
    // _clsModuli
    HRESULT STDMETHODCALLTYPE get_CartellaDatiQuandora(BSTR* risultato) override;
    HRESULT STDMETHODCALLTYPE put_CartellaDatiQuandora(BSTR valore) override;
    HRESULT STDMETHODCALLTYPE GetCartellaQuandora(BSTR* risultato) override;
    HRESULT STDMETHODCALLTYPE GetCartellaDatiQuandora(BSTR* risultato) override;
    HRESULT STDMETHODCALLTYPE AggiungiModulo(BSTR* pathname, BSTR* nome, BSTR* descrizione,
                                             VARIANT_BOOL* risultato) override;
    HRESULT STDMETHODCALLTYPE GetListaModulo(SAFEARRAY** pathname, SAFEARRAY** nome,
                                             SAFEARRAY** descrizione, short* risultato) override;

  private:
    ~ClsModuli();
    template <class F>
    HRESULT Esegui(F&& corpo);
    HRESULT Riporta(const Errore& e);
    std::string PercorsoLista();
    static bool ArgomentiVariant(const DISPPARAMS* p);
    HRESULT ListaInVariant(DISPPARAMS* p, VARIANT* risultato);

    LONG riferimenti_ = 1;
    ComPtr<ITypeInfo> info_;
    std::string cartellaDati_;
    // The error of the last call, for Invoke's EXCEPINFO.
    bool ultimoErrore_ = false;
    int32_t ultimoNumero_ = 0;
    std::string ultimaDescrizione_;
};

}  // namespace quandora
