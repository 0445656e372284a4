// Varniko.dll: the in-process server's entry points, its class factory and
// its registration.
//
// DllRegisterServer writes the standard keys of an in-process server
// (HKCR\CLSID\{class} with InprocServer32, ThreadingModel "Apartment",
// ProgID, TypeLib and Version; HKCR\Varniko.clsModuli) and registers the
// type library embedded in the DLL, which adds the TypeLib and Interface
// keys. DllUnregisterServer removes all of them.
//
// On 64-bit Windows the 32-bit and the 64-bit DLL can be registered side by
// side, each in its process's own registry view. Some of their keys live
// in both views at once: the type library's (where each has its own
// platform subkey, win32 or win64) and, from Windows 7 on, the
// programmatic identifier; Wine, for its part, writes the interface's key
// into both views. So unregistering one removes what is its own (its class
// key, its platform's type library entry) and leaves what the other
// registration still uses; once neither remains, every copy goes.

#include <windows.h>

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "modulelist/Varniko.h"
#include "modulelist/clsModuli_win32.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Testo_win32.h"
#include "util/Win32.h"

using namespace quandora;

namespace {

LONG g_blocchi = 0;

// The keys named by the type library's GUIDs.
std::string ChiaveClasse() {
    return "CLSID\\" + TestoGuid(CLSID_clsModuli);
}
std::string ChiaveLibreria() {
    return "TypeLib\\" + TestoGuid(LIBID_Varniko);
}
std::string ChiaveInterfaccia() {
    return "Interface\\" + TestoGuid(IID__clsModuli);
}

// The type library embedded in this DLL (resource TYPELIB 1).
ComPtr<ITypeLib> CaricaLibreria() {
    ComPtr<ITypeLib> libreria;
    const std::wstring percorso = Utf16DaUtf8(PercorsoModulo());
    if (FAILED(LoadTypeLibEx(percorso.c_str(), REGKIND_NONE, libreria.Indirizzo()))) {
        return ComPtr<ITypeLib>();
    }
    return libreria;
}

ComPtr<ITypeInfo> InfoInterfaccia() {
    ComPtr<ITypeInfo> info;
    auto libreria = CaricaLibreria();
    if (libreria) libreria->GetTypeInfoOfGuid(IID__clsModuli, info.Indirizzo());
    return info;
}

class Fabbrica final : public FabbricaStatica {
  public:
    Fabbrica() : FabbricaStatica(g_blocchi) {}

  protected:
    IUnknown* Crea() override {
        auto* oggetto = new (std::nothrow) ClsModuli(InfoInterfaccia());
        return oggetto != nullptr ? static_cast<_clsModuli*>(oggetto) : nullptr;
    }
};

Fabbrica g_fabbrica;

bool ScriviChiave(const std::string& chiave, const char* nome, const std::string& valore) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, chiave.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro owner(k);
    const std::string ansi = ToAnsi(valore);
    return RegSetValueExA(k, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                          static_cast<DWORD>(ansi.size() + 1)) == ERROR_SUCCESS;
}

#ifdef _WIN64
constexpr REGSAM kVistaPropria = KEY_WOW64_64KEY;
constexpr REGSAM kAltraVista = KEY_WOW64_32KEY;
constexpr char kPiattaforma[] = "win64";
#else
constexpr REGSAM kVistaPropria = KEY_WOW64_32KEY;
constexpr REGSAM kAltraVista = KEY_WOW64_64KEY;
constexpr char kPiattaforma[] = "win32";
#endif

// RegDeleteKeyEx deletes from a given view; Windows XP's 32-bit edition,
// which has one view only, lacks it.
LONG CancellaChiave(HKEY padre, const std::string& nome, REGSAM vista) {
    using Fn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    static const auto cancellaEx = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
    return cancellaEx ? cancellaEx(padre, nome.c_str(), vista, 0)
                      : RegDeleteKeyA(padre, nome.c_str());
}

// Deletes a key with everything below it, in the view given.
void CancellaAlbero(HKEY radice, const std::string& chiave, REGSAM vista) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(radice, chiave.c_str(), 0, KEY_READ | KEY_WRITE | vista, &k) ==
        ERROR_SUCCESS) {
        const ChiaveRegistro owner(k);
        char nome[256];
        for (;;) {
            DWORD n = sizeof nome;
            if (RegEnumKeyExA(k, 0, nome, &n, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            const std::string figlio = nome;
            CancellaAlbero(k, figlio, vista);
            // A child that cannot be deleted would stop the loop forever.
            HKEY prova = nullptr;
            if (RegOpenKeyExA(k, figlio.c_str(), 0, KEY_READ | vista, &prova) == ERROR_SUCCESS) {
                const ChiaveRegistro rimasta(prova);
                break;
            }
        }
    }
    CancellaChiave(radice, chiave, vista);
}

bool Esiste(const std::string& chiave, REGSAM vista) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_READ | vista, &k) !=
        ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro owner(k);
    return true;
}

// True when the key is one and the same in both views: a value written
// through this view is read through the other. It is removed again.
bool Condivisa(const std::string& chiave) {
    HKEY propria = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_SET_VALUE | kVistaPropria,
                      &propria) != ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro owner(propria);
    constexpr char kSonda[] = "VarnikoSondaVista";
    const DWORD segno = GetCurrentProcessId() ^ GetTickCount();
    if (RegSetValueExA(propria, kSonda, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&segno),
                       sizeof segno) != ERROR_SUCCESS) {
        return false;
    }
    bool stessa = false;
    HKEY altra = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, chiave.c_str(), 0, KEY_QUERY_VALUE | kAltraVista,
                      &altra) == ERROR_SUCCESS) {
        const ChiaveRegistro ownerAltra(altra);
        DWORD letto = 0, n = sizeof letto, tipo = 0;
        stessa = RegQueryValueExA(altra, kSonda, nullptr, &tipo, reinterpret_cast<BYTE*>(&letto),
                                  &n) == ERROR_SUCCESS &&
                 tipo == REG_DWORD && letto == segno;
    }
    RegDeleteValueA(propria, kSonda);
    return stessa;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE istanza, DWORD motivo, LPVOID) {
    if (motivo == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(istanza);
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID classe, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(classe, CLSID_clsModuli)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_fabbrica.QueryInterface(riid, ppv);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return OggettiVivi() == 0 && InterlockedCompareExchange(&g_blocchi, 0, 0) == 0 ? S_OK : S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::string dll = PercorsoModulo();
    const std::string classe = ChiaveClasse();
    const bool ok = ScriviChiave(classe, nullptr, varniko::kProgId) &&
                    ScriviChiave(classe + "\\InprocServer32", nullptr, dll) &&
                    ScriviChiave(classe + "\\InprocServer32", "ThreadingModel", "Apartment") &&
                    ScriviChiave(classe + "\\ProgID", nullptr, varniko::kProgId) &&
                    ScriviChiave(classe + "\\VERSION", nullptr, "1.0") &&
                    ScriviChiave(classe + "\\TypeLib", nullptr, TestoGuid(LIBID_Varniko)) &&
                    ScriviChiave(varniko::kProgId, nullptr, varniko::kProgId) &&
                    ScriviChiave(std::string(varniko::kProgId) + "\\CLSID", nullptr,
                                 TestoGuid(CLSID_clsModuli));
    if (!ok) return SELFREG_E_CLASS;
    auto libreria = CaricaLibreria();
    if (!libreria) return SELFREG_E_TYPELIB;
    std::wstring percorso = Utf16DaUtf8(dll);
    if (FAILED(RegisterTypeLib(libreria.get(), percorso.data(), nullptr))) {
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const std::string classe = ChiaveClasse();
    const std::string libreria = ChiaveLibreria();
    CancellaAlbero(HKEY_CLASSES_ROOT, classe, kVistaPropria);
    CancellaAlbero(HKEY_CLASSES_ROOT, libreria + "\\1.0\\0\\" + kPiattaforma, kVistaPropria);
    // On 32-bit Windows both views are this one, where the class is gone.
    const bool altraRegistrata = Esiste(classe + "\\InprocServer32", kAltraVista);
    for (const std::string& chiave :
         {std::string(varniko::kProgId), ChiaveInterfaccia(), libreria}) {
        if (!altraRegistrata) {
            CancellaAlbero(HKEY_CLASSES_ROOT, chiave, kVistaPropria);
            CancellaAlbero(HKEY_CLASSES_ROOT, chiave, kAltraVista);
        } else if (Esiste(chiave, kAltraVista) && !Condivisa(chiave)) {
            // The other registration has a copy of its own in its view. A
            // key missing there may still be the one its clients read: Wine
            // shows a 64-bit process no programmatic identifier in the
            // 32-bit view, while its 32-bit processes read the shared one.
            CancellaAlbero(HKEY_CLASSES_ROOT, chiave, kVistaPropria);
        }
    }
    return S_OK;
}

}  // extern "C"
