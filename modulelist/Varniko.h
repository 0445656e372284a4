#pragma once
// Varniko's COM identity and the function table of its default interface,
// for C++ clients that bind early (Trevalto among them).

#include <windows.h>

#include <oaidl.h>

namespace varniko {

// {8D373D2A-8C5E-4DA8-95A3-8116A0607636}
constexpr GUID LIBID_Varniko = {
    0x8D373D2A, 0x8C5E, 0x4DA8, {0x95, 0xA3, 0x81, 0x16, 0xA0, 0x60, 0x76, 0x36}};
// {DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}
constexpr GUID CLSID_clsModuli = {
    0xDC36F8E6, 0x67A4, 0x4451, {0xA4, 0xD4, 0xC1, 0xBB, 0xA2, 0x48, 0x5D, 0x78}};
// {9C12D367-D64C-42AF-80C2-214A40AADB19}
constexpr GUID IID__clsModuli = {
    0x9C12D367, 0xD64C, 0x42AF, {0x80, 0xC2, 0x21, 0x4A, 0x40, 0xAA, 0xDB, 0x19}};

constexpr const char* kProgId = "Varniko.clsModuli";

// Dispatch identifiers of the members, as in the type library.
constexpr DISPID DISPID_CartellaDatiQuandora = 0x40030000;
constexpr DISPID DISPID_GetCartellaQuandora = 0x60030000;
constexpr DISPID DISPID_GetCartellaDatiQuandora = 0x60030001;
constexpr DISPID DISPID_AggiungiModulo = 0x60030002;
constexpr DISPID DISPID_GetListaModulo = 0x60030003;

}  // namespace varniko

// The dual interface, members in the order of the function table.
struct _clsModuli : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_CartellaDatiQuandora(BSTR* risultato) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CartellaDatiQuandora(BSTR valore) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCartellaQuandora(BSTR* risultato) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCartellaDatiQuandora(BSTR* risultato) = 0;
    virtual HRESULT STDMETHODCALLTYPE AggiungiModulo(BSTR* pathname, BSTR* nome, BSTR* descrizione,
                                                     VARIANT_BOOL* risultato) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetListaModulo(SAFEARRAY** pathname, SAFEARRAY** nome,
                                                     SAFEARRAY** descrizione, short* risultato) = 0;
};
