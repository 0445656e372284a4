#pragma once
// DaoProva.dll: DAO's engine for machines that have none (Wine), an
// in-process automation server answering from our own Jet engine with the
// members the program calls, held to DAO's conventions (DaoProva_win32.cpp).
// Tests register it in their prefix for their own length only.

#include <windows.h>

#include <iterator>
#include <string>

#include "tests/support/Sistema_win32.h"

namespace daoprova {

// The classes the library serves, in the order of the registration flags:
// DAO 3.5's (found by its class only), DAO 3.6's and the Access database
// engine's (found by their programmatic identifiers).
struct Classe {
    const char* clsid;
    const char* progId;
};
inline constexpr Classe kClassi[] = {
    {"{00000010-0000-0010-8000-00AA006D2EA4}", nullptr},
    {"{00000100-0000-0010-8000-00AA006D2EA4}", "DAO.DBEngine.36"},
    {"{CD7791B9-43FD-42C5-AE42-8DD2811F0419}", "DAO.DBEngine.120"},
};
enum Registrazione : int { kClasseDao35 = 1, kSoloProgId36 = 2, kSoloProgId120 = 4 };

// What DaoProvaConteggio counts since the library was loaded: the engines
// made of each class (in the order of kClassi), its objects still alive,
// databases and record sets opened and closed, errors raised.
enum Conteggio {
    kMotori35,
    kMotori36,
    kMotori120,
    kOggettiVivi,
    kAperti,
    kChiusi,
    kErrori,
    kConteggi
};

// The library as a test loads it, kept loaded until the program ends.
class Server {
  public:
    explicit Server(const char* percorso) : dll_(LoadLibraryA(percorso)) {}
    bool Caricato() const { return Contatore() != nullptr; }
    LONG Conta(Conteggio quale) const { return Caricato() ? Contatore()(quale) : -1; }
    // Writes the classes of modo, after removing an earlier registration.
    HRESULT Registra(int modo) const {
        Deregistra();
        char dll[MAX_PATH * 4] = {};
        GetModuleFileNameA(dll_, dll, sizeof dll);
        for (size_t i = 0; i < std::size(kClassi); ++i) {
            const std::string chiave = Chiave(i) + "\\InprocServer32";
            if ((modo & (1 << i)) != 0 &&
                !(Scrivi(chiave, "", dll) && Scrivi(chiave, "ThreadingModel", "Apartment") &&
                  (!kClassi[i].progId ||
                   Scrivi(std::string(kClassi[i].progId) + "\\CLSID", "", kClassi[i].clsid)))) {
                Deregistra();
                return E_FAIL;
            }
        }
        return S_OK;
    }
    // Removes every class and identifier the library may have written.
    void Deregistra() const {
        for (size_t i = 0; i < std::size(kClassi); ++i) {
            quandora::test::CancellaChiave(kRadice, Chiave(i));
            if (kClassi[i].progId) quandora::test::CancellaChiave(kRadice, kClassi[i].progId);
        }
    }

  private:
    static inline const uint32_t kRadice =
        static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT));
    static std::string Chiave(size_t i) { return std::string("CLSID\\") + kClassi[i].clsid; }
    static bool Scrivi(const std::string& chiave, const char* nome, const std::string& valore) {
        return quandora::test::ScriviGrezzo(kRadice, chiave, nome, REG_SZ,
                                            quandora::test::TestoSz(valore));
    }
    using FunzioneConta = LONG(WINAPI*)(int);
    FunzioneConta Contatore() const {
        return dll_ ? reinterpret_cast<FunzioneConta>(
                          reinterpret_cast<void*>(GetProcAddress(dll_, "DaoProvaConteggio")))
                    : nullptr;
    }
    HMODULE dll_;
};

// The stand-in registered for the life of the object, removed at its end.
class Registrato {
  public:
    Registrato(const Server& server, int modo) : server_(server), esito_(server.Registra(modo)) {}
    ~Registrato() { server_.Deregistra(); }
    Registrato(const Registrato&) = delete;
    Registrato& operator=(const Registrato&) = delete;
    HRESULT Esito() const { return esito_; }

  private:
    const Server& server_;
    HRESULT esito_;
};

}  // namespace daoprova
