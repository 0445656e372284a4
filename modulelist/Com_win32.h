#pragma once
// Small owners for COM values: interface pointers, BSTRs and safe arrays,
// the conversions between BSTRs (UTF-16) and the UTF-8 texts inside, and
// the class factory of an in-process server.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>

namespace quandora {

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}  // takes over a reference
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what it held.
    T** Indirizzo() {
        *this = ComPtr();
        return &p_;
    }

  private:
    T* p_ = nullptr;
};

class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(BSTR b) : b_(b) {}  // takes ownership
    explicit Bstr(const std::string& utf8);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        std::swap(b_, o.b_);
        return *this;
    }
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const { return b_; }
    BSTR Rilascia() { return std::exchange(b_, nullptr); }

  private:
    BSTR b_ = nullptr;
};

// A BSTR's text in UTF-8 (a null BSTR is the empty text).
std::string Utf8DaBstr(BSTR b);

// A class factory kept as a static object of its library. Its references,
// like LockServer's locks, only count in blocchi, which keeps the library
// loaded (DllCanUnloadNow reads it). A derived factory says how an object
// is made; aggregation is refused.
class FabbricaStatica : public IClassFactory {
  public:
    explicit FabbricaStatica(LONG& blocchi) : blocchi_(blocchi) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* esterno, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL blocca) override;

  protected:
    // A new object holding one reference; nullptr when memory ran out.
    virtual IUnknown* Crea() = 0;

  private:
    LONG& blocchi_;
};

}  // namespace quandora
