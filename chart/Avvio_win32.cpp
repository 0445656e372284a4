#include <windows.h>

#include "chart/Avvio_win32.h"

#include <oleauto.h>

#include "database/AccessoDati.h"
#include "modulelist/Varniko.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Interazione.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr char kManca[] = "E' necessario installare Quandora.";
constexpr char kCartellaNonDisponibile[] =
    "Il programma Quandora è stato installato in una cartella al momento non disponibile.";
constexpr char kBancadati[] = "Impossibile accedere al file della bancadati di quandora.";
constexpr char kDatabase[] = "Errore database: impossibile accedere ai dati di quandora.";
constexpr char kDatiVecchi[] =
    "Il file dati di Quandora non è aggiornato. E' necessario eseguire prima Quandora in modo "
    "che la struttura fisica dei dati venga aggiornata.";

bool Messaggio(const std::string& testo, const char* titolo = "Errore") {
    InterazioneAttiva().MsgBox(testo, mb::kOk | mb::kIconCritical, titolo);
    return false;
}

DWORD Attributi(const std::string& percorso) {
    return GetFileAttributesA(ToAnsi(percorso).c_str());
}

bool EsisteFile(const std::string& percorso) {
    const DWORD a = Attributi(percorso);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Registers the program in Quandora's list of add-on modules through
// Varniko. Whatever fails here is ignored: the program works without it.
void RegistraModulo(const uxUtilita& util, const std::string& cartella) {
    ComPtr<_clsModuli> moduli;
    if (FAILED(CoCreateInstance(CLSID_clsModuli, nullptr, CLSCTX_INPROC_SERVER, IID__clsModuli,
                                reinterpret_cast<void**>(moduli.Indirizzo()))) ||
        !moduli) {
        return;
    }
    Bstr dati(util.AggiungiSepDir(std::string(cartella)) + "BNK");
    moduli->put_CartellaDatiQuandora(dati.get());

    std::string programma = PercorsoModulo().substr(CartellaModulo().size());
    const auto punto = programma.find_last_of('.');
    if (punto != std::string::npos) programma.resize(punto);
    Bstr pathname(util.AggiungiSepDir(CartellaModulo()) + programma + ".exe");
    Bstr nome("Grafico Trevalto Saldo");
    Bstr descrizione("Visualizza il grafico dell'trevalto del saldo.");
    BSTR p = pathname.get(), n = nome.get(), d = descrizione.get();
    VARIANT_BOOL risultato = VARIANT_FALSE;
    moduli->AggiungiModulo(&p, &n, &d, &risultato);
}

}  // namespace

bool InizializzaProgramma(ListaConti& conti, Elaborazione& run, GraficoSaldi& grafico) {
    run.PercorsoDatabase.clear();
    run.StopRichiesto = false;
    grafico.AzzeraSegni();
    grafico.Saldi.assign(1, PuntoSaldo{});

    const uxUtilita util;
    util.CurDirApp();

    std::string cartella = TogliSpazi(
        util.LeggiINI(util.AggiungiSepDir(CartellaModulo()) + "cfg.ini", "Quandora", "Path", ""));
    if (cartella.empty()) cartella = util.CartellaApplicazione("quandora.exe");
    if (cartella.empty()) return Messaggio(kManca);

    // The folder and the executable (a drive that is not there, a folder
    // that is gone).
    if (cartella.back() == '\\' || cartella.back() == '/') cartella.pop_back();
    if (cartella.empty() || Attributi(cartella) == INVALID_FILE_ATTRIBUTES) {
        return Messaggio(kCartellaNonDisponibile);
    }
    const std::string eseguibile = util.AggiungiSepDir(std::string(cartella)) + "quandora.exe";
    if (!EsisteFile(eseguibile)) return Messaggio(kManca);

    if (util.ConfrontaVersione(util.GetVersione(eseguibile), kVersioneRichiesta) == -1) {
        return Messaggio(
            std::string("La versione di Quandora installata è una versione obsoleta. E' richiesta "
                        "la versione ") +
            kVersioneRichiesta + " o successiva. ");
    }

    // The database, made from the template when it is missing.
    run.PercorsoDatabase = util.AggiungiSepDir(std::string(cartella)) + "bnk\\quandora.mdb";
    if (!EsisteFile(run.PercorsoDatabase)) {
        const std::string modello = util.AggiungiSepDir(std::string(cartella)) + "quandora.dat";
        std::string bnk = util.AggiungiSepDir(std::string(cartella)) + "BNK";
        util.CreaPercorsoDirectory(bnk);
        if (!CopyFileA(ToAnsi(modello).c_str(), ToAnsi(run.PercorsoDatabase).c_str(), TRUE)) {
            return Messaggio(kBancadati);
        }
    }

    conti.AggiungiVoce("<tutti i conti>", -1);

    try {
        if (!VerificaVersioneDati(run.PercorsoDatabase))
            return Messaggio(kDatiVecchi, "Attenzione");
        CaricaConti(run.PercorsoDatabase, [&](const std::string& descrizione, int32_t id) {
            conti.AggiungiVoce(descrizione, id);
        });
    } catch (const std::exception&) {
        return Messaggio(kDatabase);
    }

    conti.Seleziona(0);

    try {
        RegistraModulo(util, cartella);
    } catch (...) {
        // The module list is a courtesy to Quandora: the program goes on.
    }
    return true;
}

}  // namespace quandora
