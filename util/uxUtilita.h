#pragma once
// uxUtilita: the utility class shared by Trevalto and Varniko.
//
// A class without data members: each user keeps its own instance. Its
// operations trap their own errors and return a neutral result (an empty
// text, false, "-1"); only a few show a message of their own. The
// operations are defined one unit per concern: names ending in _win32 call
// Windows and build only for it, the others are portable. Every Windows
// call goes through its ANSI entry point, texts converted with ToAnsi and
// FromAnsi at that boundary. What waits for a person (message boxes, the
// folder dialog) goes through Interazione; timed waits read Orologio.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "util/DataOle.h"

namespace quandora {

class uxUtilita {
  public:
    // Registry hives, as the 32-bit values of Windows' predefined keys.
    static constexpr uint32_t kHkeyClassesRoot = 0x80000000u;
    static constexpr uint32_t kHkeyCurrentUser = 0x80000001u;
    static constexpr uint32_t kHkeyLocalMachine = 0x80000002u;

    // --- Paths and folders (Percorsi.cpp, Percorsi_win32.cpp) ---
    //
    // Every folder text returned here ends in "\"; "" means not found.

    // Trims blanks off the caller's variable and appends "\" unless it is
    // empty or already ends in one; returns the variable's new value.
    std::string AggiungiSepDir(std::string& percorso) const;
    // The same for a temporary: only the returned text carries the result.
    std::string AggiungiSepDir(std::string&& percorso) const;
    // Creates the folder level by level; appends "\" to the caller's
    // variable. True when the folder exists afterwards. Levels created
    // before a failure stay.
    bool CreaPercorsoDirectory(std::string& path) const;
    // The folder of a program registered under the application paths
    // ("quandora.exe"), or "".
    std::string CartellaApplicazione(const std::string& applicazione) const;
    // Makes the module folder the current drive and folder; errors ignored.
    void CurDirApp() const;
    // Folder part including the last "\" ("" when none or only at the start).
    std::string EstraiPath(const std::string& filename) const;
    // The part after the last "\" or "/".
    std::string DeterminaSoloFileName(std::string pathname) const;
    // The text after the last "." (found at a position past the first), or "".
    std::string EstraiEstensione(const std::string& filename) const;
    // The text before its first NUL.
    std::string StripTerminator(std::string strString) const;
    std::string CartellaWindows() const;
    std::string GetWindowsSysDir() const;
    std::string GetDirectoryTemp() const;
    // A new, empty temporary file "ux....tmp" in the temporary folder.
    std::string GetFileTemporaneo() const;
    // True when the file exists and another handle holds it open (or when
    // looking for it failed).
    bool FileAperto(const std::string& file) const;
    // True when a file can be created in the folder; otherwise one message
    // box "Errore # <n>" and false.
    bool WriteAccess(std::string strDirName) const;
    // True when the module folder is a network path ("\\server\...").
    bool DirectoryRete() const;

    // The user's and the machine's special folders, read from the shell's
    // registry entries; "" when missing or empty.
    std::string CartellaDocumenti() const;
    std::string CartellaDati() const;
    std::string CartellaDatiCondivisi() const;
    std::string CartellaCondivisi() const;
    std::string CartellaDesktop() const;
    std::string CartellaDesktopTuttiUtenti() const;
    std::string CartellaEsecuzioneAutomatica() const;
    std::string CartellaEsecuzioneAutomaticaTuttiUtenti() const;
    std::string CartellaPreferitiTuttiUtenti() const;
    std::string CartellaMenuAvvio() const;
    std::string CartellaMenuAvvioTuttiUtenti() const;
    std::string CartellaSendTo() const;
    std::string CartellaRecenti() const;
    std::string CartellaMenuProgrammi() const;
    std::string CartellaMenuProgrammiTuttiUtenti() const;
    std::string CartellaDocumentiCondivisi() const;
    std::string CartellaRisorseRete() const;
    std::string CartellaImmagini() const;
    std::string CartellaImmaginiTuttiUtenti() const;
    std::string CartellaCronologia() const;
    std::string CartellaFonts() const;
    std::string CartellaPreferiti() const;
    std::string CartellaCookies() const;
    std::string CartellaInternetTemp() const;

    // --- INI files (Impostazioni_win32.cpp) ---

    // The value of a key, blanks trimmed; DefaultValore when missing or
    // empty. Values are read into 2000 characters (longer ones are cut).
    std::string LeggiINI(const std::string& fileINI, const std::string& Sezione,
                         const std::string& chiave, const std::string& DefaultValore) const;
    // Writes a value, creating file and section; true when written.
    bool ScriviINI(const std::string& fileINI, const std::string& Sezione,
                   const std::string& chiave, const std::string& valore) const;

    // --- Launching programs and documents (Avvio_win32.cpp) ---
    //
    // Window handles are the platform's (32-bit on the target).

    // Opens a document, program or address with its default action. On
    // failure false, and unless muto a critical box titled "Errore".
    bool EseguiEx(intptr_t hWnd, const std::string& file, bool muto = false) const;
    // Runs "ToRun[ COMMANDLINE]" and waits until it has ended; false when it
    // could not be started.
    bool ShellSospensiva(const std::string& ToRun,
                         const std::optional<std::string>& COMMANDLINE = std::nullopt) const;
    // Starts a program registered under the application paths, not waiting.
    bool StartApplicazione(const std::string& applicazione) const;
    // Waits sec seconds (from the start of the current second) processing
    // the thread's window events; midnight does not stop it.
    void WaitSecondi(int16_t sec) const;
    // Suspends the thread, processing no events.
    void Sleep(int32_t millisecondi) const;
    void Homepage(intptr_t hWnd) const;
    void GoWeb(intptr_t hWnd, const std::string& indirizzoWeb) const;
    void EMail(intptr_t hWnd) const;

    // The maker's addresses opened by Homepage and EMail.
    static constexpr const char* kIndirizzoHomepage = "http://www.quandora.it/";
    static constexpr const char* kIndirizzoEMail = "mailto:assistenza@quandora.it";

    // --- Remaining utilities (Varie.cpp, Varie_win32.cpp) ---

    // Replaces every non-overlapping match, left to right; any empty
    // argument returns testo unchanged.
    std::string uxReplace(const std::string& testo, const std::string& ricerca,
                          const std::string& sostituzione) const;
    // Splits buf at sep into tmp (one final separator ignored); false, with
    // tmp holding one empty piece, when buf or sep is empty.
    bool uxSplit(std::vector<std::string>& tmp, const std::string& buf,
                 const std::string& sep) const;
    // testo without blanks.
    std::string EspuraSpazi(const std::string& testo) const;
    // The upper-case form of an ANSI character code.
    int16_t KeyMaiuscolo(int16_t KeyAscii) const;
    // A number of seconds as a time value (24 hours and more run on).
    Data LongToDate(int32_t sec) const;

    // Window operations on the platform's windows; errors are ignored.
    void CentraForm(intptr_t obj) const;
    void CentraFormFiglio(intptr_t padre, intptr_t obj) const;
    void FinetraTopMost(intptr_t hWnd, bool SempreInPrimoPiano) const;
    bool ShowFinestraConTitolo(const std::string& testo) const;
    void Evidenzia(intptr_t xCtrl) const;
    // A vertical gradient over the window's client area: PassoA bands, each
    // channel above 0 losing PassoB per band (modulo 256).
    void SfumaForm(intptr_t InputForm, int32_t ColoreIniziale = 0xFF0000, int16_t PassoA = 60,
                   int16_t PassoB = 4) const;
    // The folder-browse dialog (through Interazione); "" when cancelled.
    std::string Sfoglia_Cartella(intptr_t hWnd, const std::string& sTitle) const;

    // Operating-system information.
    int32_t InfoSO() const;
    bool IsWindowsNT() const;
    std::string InfoSOVersione() const;
    bool IsDevEnvironment() const;
    uint8_t GetSeparatoreDecimale() const;
    uint8_t GetSeparatoreMigliaia() const;
    std::string GetSerialHD() const;
    std::string GetSerialDrive(const std::string& letteraDrive) const;

    // Component registration and shared files.
    bool RegistraServer(const std::string& file) const;
    bool DeRegistraServer(const std::string& file) const;
    bool SetFileShared(const std::string& pathfile, bool EsisteGia) const;
    bool DecFileShared(const std::string& pathfile) const;
    std::string PathServerOcx(const std::string& applicazione) const;
    std::string PathServerExe(const std::string& applicazione) const;

    // Installation bookkeeping.
    std::string GetInfoDisinstallazione(const std::string& chiave, int16_t subchiave) const;
    bool SetInfoDisinstallazione(const std::string& chiave, int16_t subchiave,
                                 const std::string& valore,
                                 std::optional<bool> crea = std::nullopt) const;
    bool CreaAssociazione(const std::string& file, const std::string& ext) const;
    bool CreaCollegamento(const std::string& lnk_pathname, const std::string& file,
                          const std::string& dir_lavoro) const;
    void EliminaReadOnly(const std::string& filename) const;
    bool Decomprimi(const std::string& sorgente, const std::string& destinazione) const;

    // --- File versions (Versione.cpp, Versione_win32.cpp) ---

    // The file version of a file's version resource as "major.minor.build.
    // revision"; "0.0.0.0" when the file or its resource is missing.
    // Every field is the unsigned 16-bit word of the resource (0 to 65535).
    std::string GetVersione(const std::string& file) const;

    // Compares two version texts field by field: 1 when VersioneA is newer,
    // 0 when equal, -1 when older. See CampoVersione for how fields read.
    int32_t ConfrontaVersione(const std::string& VersioneA, const std::string& VersioneB) const;

    // --- Error reports and log (Errori.cpp, Log_win32.cpp) ---

    // Shows the current error in a message box titled "Errore <n>" with the
    // information icon, then clears it.
    void PrintErrore() const;
    // As PrintErrore, with the text "<inizio>: <description>".
    void PrintErroreEx(const std::string& inizio) const;
    // The Italian text of a runtime error number; for numbers outside the
    // table, the current error's description.
    std::string MessaggioErroreITA(int32_t codice) const;
    // Appends a line (CR LF, ANSI) to a log file; see Log_win32.cpp.
    bool ScriviLog(std::string testo, const std::string& filename = std::string(), bool data = true,
                   bool CancellaPrecedente = false) const;

  private:
    // Tests reach the private procedures through this class of theirs.
    friend class ProvaPrivatiUxUtilita;

    // Registry (Impostazioni_win32.cpp). Keys are opened with 0x20019 to
    // read, 0x2003F to write; values read into 1024 bytes.
    // vista: extra access bits (the registry view: KEY_WOW64_32KEY).
    bool LeggiValoreRegistro(uint32_t hive, const std::string& chiave, const std::string& nome,
                             std::string& valore, uint32_t vista = 0) const;
    // The program registered under App Paths for the application.
    bool LeggiPercorsoApplicazione(const std::string& applicazione, std::string& programma) const;
    bool ScriviDWordRegistro(uint32_t hive, const std::string& chiave, const std::string& nome,
                             uint32_t valore) const;
    bool ScriviValoreRegistro(uint32_t hive, const std::string& chiave, const std::string& nome,
                              const std::string& valore, bool crea) const;

    std::string SoloNomeDaPercorso(const std::string& percorso) const;
    std::string CartellaSpeciale(uint32_t hive, const char* chiave, const char* nome) const;

    bool RegistraLibreria(const std::string& file) const;
    bool DeRegistraLibreria(const std::string& file) const;
    bool RegistraEseguibile(const std::string& file) const;
    bool DeRegistraEseguibile(const std::string& file) const;
    std::string LeggiContatoreCondiviso(const std::string& pathfile) const;
    bool ScriviContatoreCondiviso(const std::string& pathfile, uint32_t conteggio) const;
    bool EliminaContatoreCondiviso(const std::string& pathfile) const;
    int32_t ContatoreCondiviso(const std::string& pathfile, bool EsisteGia) const;
    std::string PathServer(const std::string& applicazione, const char* tipo) const;
    uint8_t SecondoCarattereFormattato(const char* numero) const;
    void ApriIndirizzo(intptr_t hWnd, const std::string& indirizzo) const;

    static uint16_t ParteAlta(uint32_t n);
    static uint16_t ParteBassa(uint32_t n);
    static uint16_t CampoVersione(const std::string& testo, int16_t n);
    static int32_t ConfrontaCampi(uint16_t a, uint16_t b);
    std::string TestoErrore() const;
};

}  // namespace quandora
