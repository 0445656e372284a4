// Folders on the real file system and registry: creating folder paths,
// installed programs, Windows' own and special folders, temporary files,
// files in use and writable folders.
//
// Choices:
// - The module folder is that of the file holding this code (the program,
//   or Varniko.dll when linked into it), from GetModuleHandleEx.
// - CreaPercorsoDirectory does not try to create the parts of a network
//   path that name the server and share ("\\server\share\"): they cannot be
//   created, and the folders below them can.
// - Buffers handed to Windows for paths hold MAX_PATH characters and more,
//   so that no path Windows writes can overrun them.

#include <windows.h>

#include <cstring>
#include <exception>
#include <vector>

#include "util/Errore.h"
#include "util/Interazione.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr DWORD kBufferPercorso = MAX_PATH + 1;

bool EsisteCartella(const std::string& ansi) {
    const DWORD a = GetFileAttributesA(ansi.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The runtime's error number for a failed file operation.
int32_t NumeroErroreFile(DWORD errore) {
    switch (errore) {
        case ERROR_FILE_NOT_FOUND:
            return 53;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
            return 76;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return 52;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return 70;
        case ERROR_NOT_READY:
            return 71;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return 61;
        case ERROR_WRITE_PROTECT:
        case ERROR_ACCESS_DENIED:
        default:
            return 75;
    }
}

std::string TestoBuffer(const std::vector<char>& buffer) {
    return FromAnsi(std::string(buffer.data(), strnlen(buffer.data(), buffer.size())));
}

}  // namespace

bool uxUtilita::CreaPercorsoDirectory(std::string& path) const {
    try {
        if (path.find_first_not_of(' ') == std::string::npos) return false;
        if (path.back() != '\\') path += '\\';
        const std::string ansi = ToAnsi(path);
        if (EsisteCartella(ansi)) return true;

        const auto duepunti = ansi.find(':');
        size_t inizio = duepunti == std::string::npos ? 0 : duepunti + 1;
        if (ansi.rfind("\\\\", 0) == 0) {
            // Past "\\server\share\": those levels exist or cannot be made.
            size_t n = 2;
            for (int livello = 0; livello < 2 && n != std::string::npos; ++livello) {
                n = ansi.find('\\', n);
                if (n != std::string::npos) ++n;
            }
            if (n == std::string::npos) return false;
            inizio = n - 1;
        }
        for (auto sep = ansi.find('\\', inizio); sep != std::string::npos;
             sep = ansi.find('\\', sep + 1)) {
            const std::string livello = ansi.substr(0, sep + 1);
            if (EsisteCartella(livello)) continue;
            if (!CreateDirectoryA(livello.c_str(), nullptr) &&
                !(GetLastError() == ERROR_ALREADY_EXISTS && EsisteCartella(livello))) {
                return false;
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string uxUtilita::CartellaApplicazione(const std::string& applicazione) const {
    try {
        std::string programma;
        if (!LeggiPercorsoApplicazione(applicazione, programma)) return {};
        return EstraiPath(programma);
    } catch (const std::exception&) {
        return {};
    }
}

void uxUtilita::CurDirApp() const {
    try {
        // One call sets the drive and the folder; on failure both stay.
        const std::string cartella = CartellaModulo();
        if (!cartella.empty()) SetCurrentDirectoryA(ToAnsi(cartella).c_str());
    } catch (const std::exception&) {
    }
}

std::string uxUtilita::CartellaWindows() const {
    try {
        std::vector<char> buffer(kBufferPercorso, '\0');
        if (GetWindowsDirectoryA(buffer.data(), kBufferPercorso - 1) == 0) return "C:\\";
        std::string cartella = TestoBuffer(buffer);
        AggiungiSepDir(cartella);
        return cartella.empty() ? "C:\\" : cartella;
    } catch (const std::exception&) {
        return "C:\\";
    }
}

std::string uxUtilita::GetWindowsSysDir() const {
    std::vector<char> buffer(kBufferPercorso, '\0');
    if (GetSystemDirectoryA(buffer.data(), kBufferPercorso - 1) == 0) return {};
    std::string cartella = TestoBuffer(buffer);
    return AggiungiSepDir(cartella);
}

std::string uxUtilita::GetDirectoryTemp() const {
    std::vector<char> buffer(kBufferPercorso, '\0');
    std::string cartella;
    if (GetTempPathA(kBufferPercorso - 1, buffer.data()) == 0)
        cartella = CartellaModulo();
    else
        cartella = TestoBuffer(buffer);
    return AggiungiSepDir(cartella);
}

std::string uxUtilita::GetFileTemporaneo() const {
    const std::string cartella = GetDirectoryTemp();
    std::vector<char> buffer(kBufferPercorso, '\0');
    if (GetTempFileNameA(ToAnsi(cartella).c_str(), "ux", 0, buffer.data()) == 0)
        return cartella + "ux12345.tmp";
    return TestoBuffer(buffer);
}

bool uxUtilita::FileAperto(const std::string& file) const {
    try {
        const std::string ansi = ToAnsi(file);
        const DWORD attributi = GetFileAttributesA(ansi.c_str());
        if (attributi == INVALID_FILE_ATTRIBUTES) {
            const DWORD e = GetLastError();
            // Missing: not open. Anything else (an unreadable drive): in use.
            return !(e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ||
                     e == ERROR_INVALID_NAME);
        }
        if (attributi & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            return false;
        const Handle h(CreateFileA(ansi.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        return !Valido(h);
    } catch (const std::exception&) {
        return true;
    }
}

bool uxUtilita::WriteAccess(std::string strDirName) const {
    int32_t numero = 0;
    std::string descrizione;
    try {
        AggiungiSepDir(strDirName);
        const std::string prova = ToAnsi(strDirName + "853kwe47.tmp");
        {
            const Handle h(CreateFileA(prova.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!Valido(h)) {
                const Errore e = ErroreDiSistema(NumeroErroreFile(GetLastError()));
                numero = e.Numero();
                descrizione = e.Descrizione();
            }
        }
        if (numero == 0) {
            DeleteFileA(prova.c_str());
            return true;
        }
    } catch (const std::exception& e) {
        numero = 5;
        descrizione = e.what();
    }
    InterazioneAttiva().MsgBox("Errore # " + std::to_string(numero) + "\r" + descrizione,
                               mb::kOk | mb::kIconCritical, "Errore");
    return false;
}

bool uxUtilita::DirectoryRete() const {
    return CartellaModulo().rfind("\\\\", 0) == 0;
}

std::string uxUtilita::CartellaSpeciale(uint32_t hive, const char* chiave, const char* nome) const {
    try {
        std::string cartella;
        if (!LeggiValoreRegistro(hive, chiave, nome, cartella) || cartella.empty()) return {};
        return AggiungiSepDir(cartella);
    } catch (const std::exception&) {
        return {};
    }
}

// clang-format off
std::string uxUtilita::CartellaDocumenti() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Personal"); }
std::string uxUtilita::CartellaDati() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "AppData"); }
std::string uxUtilita::CartellaDatiCondivisi() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common AppData"); }
std::string uxUtilita::CartellaCondivisi() const { return CartellaSpeciale(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir"); }
std::string uxUtilita::CartellaDesktop() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Desktop"); }
std::string uxUtilita::CartellaDesktopTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Desktop"); }
std::string uxUtilita::CartellaEsecuzioneAutomatica() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Startup"); }
std::string uxUtilita::CartellaEsecuzioneAutomaticaTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Startup"); }
std::string uxUtilita::CartellaPreferitiTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Favorites"); }
std::string uxUtilita::CartellaMenuAvvio() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Start Menu"); }
std::string uxUtilita::CartellaMenuAvvioTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Start Menu"); }
std::string uxUtilita::CartellaSendTo() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "SendTo"); }
std::string uxUtilita::CartellaRecenti() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Recent"); }
std::string uxUtilita::CartellaMenuProgrammi() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Programs"); }
std::string uxUtilita::CartellaMenuProgrammiTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Programs"); }
std::string uxUtilita::CartellaDocumentiCondivisi() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Documents"); }
std::string uxUtilita::CartellaRisorseRete() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "NetHood"); }
std::string uxUtilita::CartellaImmagini() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "My Pictures"); }
std::string uxUtilita::CartellaImmaginiTuttiUtenti() const { return CartellaSpeciale(kHkeyLocalMachine, kShellFolders, "Common Pictures"); }
std::string uxUtilita::CartellaCronologia() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "History"); }
std::string uxUtilita::CartellaFonts() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Fonts"); }
std::string uxUtilita::CartellaPreferiti() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Favorites"); }
std::string uxUtilita::CartellaCookies() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Cookies"); }
std::string uxUtilita::CartellaInternetTemp() const { return CartellaSpeciale(kHkeyCurrentUser, kShellFolders, "Cache"); }
// clang-format on

}  // namespace quandora
