#pragma once
// Owners of COM's values and the helpers every COM client and server of the
// project shares: interface pointers, BSTRs, VARIANTs, safe arrays and COM's
// task memory; COM's initialisation on a thread; objects called late bound
// through IDispatch; the class factory of an in-process server.
//
// BSTRs hold UTF-16, converted from and to the UTF-8 texts inside by the
// one conversion of util/Testo_win32.h.

#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/Errore.h"

namespace quandora {

// An interface pointer: holds one reference, released when it goes.
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
    void reset() { *this = ComPtr(); }
    // For the functions that return a new reference through T**: releases
    // what it held.
    T** Indirizzo() {
        reset();
        return &p_;
    }
    // Hands the reference over to the caller.
    T* Rilascia() { return std::exchange(p_, nullptr); }

  private:
    T* p_ = nullptr;
};

// A BSTR, freed when it goes.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(BSTR b) : b_(b) {}  // takes ownership
    // The UTF-16 form of a text; holds nullptr when memory ran out.
    explicit Bstr(std::string_view utf8);
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

// A BSTR's text in UTF-8, to its length (a null BSTR is the empty text).
std::string Utf8DaBstr(BSTR b);

// A VARIANT, cleared when it goes; movable, not copyable.
class Variante {
  public:
    Variante() noexcept { VariantInit(&v_); }
    ~Variante() { VariantClear(&v_); }
    Variante(Variante&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variante& operator=(Variante&& o) noexcept {
        std::swap(v_, o.v_);
        return *this;
    }
    Variante(const Variante&) = delete;
    Variante& operator=(const Variante&) = delete;

    static Variante Long(int32_t n);
    static Variante Booleano(bool b);
    // A text as a BSTR. Throws error 7 when memory ran out.
    static Variante Testo(const std::string& utf8);
    // Takes over what v holds (a caller's in-out argument), leaving it empty.
    static Variante Prendi(VARIANT& v) noexcept;

    VARIANT& get() { return v_; }
    const VARIANT& get() const { return v_; }

  private:
    VARIANT v_;
};

struct DistruggiMatrice {
    void operator()(SAFEARRAY* a) const noexcept {
        if (a != nullptr) SafeArrayDestroy(a);
    }
};
// A safe array and its elements.
using MatriceSicura = std::unique_ptr<SAFEARRAY, DistruggiMatrice>;

struct LiberaMemoriaCom {
    void operator()(void* p) const noexcept { CoTaskMemFree(p); }
};
// Memory of COM's task allocator that the caller must free (a shell item
// list, a text of the shell).
template <class T>
using MemoriaCom = std::unique_ptr<T, LiberaMemoriaCom>;

// COM initialised on this thread, single-threaded apartment, for the
// object's life; uninitialised at its end only when this object's call
// succeeded (S_OK or S_FALSE). Con::Ole initialises OLE too (OleInitialize:
// the clipboard, drag and drop).
class ComInizializzato {
  public:
    enum class Con { Com, Ole };
    explicit ComInizializzato(Con con = Con::Com);
    ~ComInizializzato();
    ComInizializzato(const ComInizializzato&) = delete;
    ComInizializzato& operator=(const ComInizializzato&) = delete;
    // False only when COM cannot be used on this thread at all (it is
    // already initialised in another, compatible way otherwise).
    bool Usabile() const { return SUCCEEDED(esito_) || esito_ == RPC_E_CHANGED_MODE; }

  private:
    Con con_;
    HRESULT esito_;
};

// The Errore of a failed IDispatch call. For DISP_E_EXCEPTION the callee's
// own: the deferred fill-in is run first when there is one; the number is
// wCode when set, else the low 16 bits of an scode of FACILITY_CONTROL
// (0x800A....: errors raised with a number), else that of a known HRESULT
// as below; the description is the callee's, or the runtime's text of the
// number when it gave none. The EXCEPINFO's texts are freed. Other
// failures of the call itself get the runtime's numbers and texts: no such
// member 438, wrong argument count 450, wrong type 13, overflow 6, missing
// argument 449, named arguments refused 446, named argument not found 448,
// bad index 9, out of memory 7, invalid argument 5, no such interface 430;
// any other HRESULT is 440 "Errore di automazione" with the code in
// hexadecimal.
Errore ErroreAutomazione(HRESULT hr, EXCEPINFO* eccezione);

// An object called late bound, through IDispatch: members by name, their
// DISPIDs asked once per object and name. Every failure throws the Errore
// of ErroreAutomazione; a call on an empty object is error 91.
class OggettoDispatch {
  public:
    OggettoDispatch() = default;
    explicit OggettoDispatch(ComPtr<IDispatch> d) : d_(std::move(d)) {}

    // Calls a member by name with its arguments in the order of the call
    // (they are handed to Invoke last first, as IDispatch wants them).
    // modo: DISPATCH_METHOD, DISPATCH_PROPERTYGET or both.
    Variante Chiama(const wchar_t* nome, WORD modo, std::vector<Variante> argomenti = {});
    Variante ChiamaId(DISPID id, WORD modo, std::vector<Variante> argomenti);
    // A property's value, and a property's new value.
    Variante Leggi(const wchar_t* nome) { return Chiama(nome, DISPATCH_PROPERTYGET); }
    void Imposta(const wchar_t* nome, Variante valore);
    // A member whose result is an object.
    OggettoDispatch Figlio(const wchar_t* nome) { return DaRisultato(Leggi(nome)); }
    // The default member (Item of a collection) with one argument.
    OggettoDispatch Elemento(Variante indice);

    // The object a call returned: error 424 when it is none, 430 when it
    // has no IDispatch.
    static OggettoDispatch DaRisultato(Variante r);
    IDispatch* get() const { return d_.get(); }

  private:
    DISPID Dispid(const wchar_t* nome);
    Variante Invoca(DISPID id, WORD modo, std::vector<Variante>& argomenti, bool risultato);

    ComPtr<IDispatch> d_;
    std::vector<std::pair<std::wstring, DISPID>> dispid_;
};

// A GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string TestoGuid(REFGUID guid);

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
