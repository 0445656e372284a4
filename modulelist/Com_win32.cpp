#include "modulelist/Com_win32.h"

#include <vector>

namespace quandora {

Bstr::Bstr(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (b_ != nullptr && n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), b_, n);
    }
}

std::string Utf8DaBstr(BSTR b) {
    const int len = static_cast<int>(SysStringLen(b));
    if (len == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, b, len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, b, len, out.data(), n, nullptr, nullptr);
    return out;
}

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
    IUnknown* oggetto = Crea();
    if (oggetto == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = oggetto->QueryInterface(riid, ppv);
    oggetto->Release();
    return hr;
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
