// The smaller platform operations of uxUtilita: characters, windows, the
// operating system, component registration, installation bookkeeping,
// shortcuts and LZ files. None shows a message; each reports failure
// through its result only.
//
// Choices:
// - Window operations take the platform's window handles. Positions and
//   sizes are then in pixels; SfumaForm draws in the client area's own
//   pixel coordinates, so there is no scale to switch and restore.
// - SfumaForm with no bands (PassoA of 0 or less) draws nothing.
// - IsDevEnvironment knows the programs of the development environments
//   in kAmbientiSviluppo.
// - An executable server whose path holds a blank is started quoted, so
//   that Windows cannot take a shorter path ("C:\Program.exe") for it.
// - SetInfoDisinstallazione without `crea` writes nothing and is false.
// - CreaCollegamento talks to "WScript.Shell" through IDispatch, whose
//   texts are Unicode: there the UTF-8 texts become UTF-16 directly, with
//   nothing lost to the ANSI code page.
// - CreaAssociazione refuses an empty extension instead of writing the
//   default value of HKEY_CLASSES_ROOT itself.

#include <windows.h>
// After windows.h, which they need.
#include <lzexpand.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <vector>

#include "util/Com_win32.h"
#include "util/Gdi_win32.h"
#include "util/Interazione.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr const char* kCondivisi = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr const char* kDisinstalla = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr REGSAM kScrittura = 0x2003F;
constexpr UINT kSenzaSpostareNeRidimensionare = SWP_NOSIZE | SWP_NOMOVE;  // 3

constexpr const char* kAmbientiSviluppo[] = {"vb6.exe", "vb5.exe", "vb32.exe", "devenv.exe",
                                             "msdev.exe"};

HWND Finestra(intptr_t h) {
    return reinterpret_cast<HWND>(h);
}

HKEY Alveare(uint32_t hive) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
}

bool VersioneSO(OSVERSIONINFOA& info) {
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // 148
    return GetVersionExA(&info) != 0;
}

// The number at the start of a text, as a count (no digits: 0).
int64_t Numero(const std::string& testo) {
    size_t i = testo.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    bool negativo = false;
    if (testo[i] == '-' || testo[i] == '+') {
        negativo = testo[i] == '-';
        ++i;
    }
    int64_t n = 0;
    for (; i < testo.size() && testo[i] >= '0' && testo[i] <= '9' && n < (int64_t{1} << 40); ++i)
        n = n * 10 + (testo[i] - '0');
    return negativo ? -n : n;
}

}  // namespace

int16_t uxUtilita::KeyMaiuscolo(int16_t KeyAscii) const {
    if (KeyAscii < 1 || KeyAscii > 255) return KeyAscii;
    char c = static_cast<char>(KeyAscii);
    CharUpperBuffA(&c, 1);
    return static_cast<int16_t>(static_cast<unsigned char>(c));
}

void uxUtilita::CentraForm(intptr_t obj) const {
    RECT r;
    if (!GetWindowRect(Finestra(obj), &r)) return;
    const int larghezza = r.right - r.left;
    const int altezza = r.bottom - r.top;
    SetWindowPos(Finestra(obj), nullptr, (GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - altezza) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void uxUtilita::CentraFormFiglio(intptr_t padre, intptr_t obj) const {
    RECT interno;
    RECT r;
    if (!GetClientRect(Finestra(padre), &interno) || !GetWindowRect(Finestra(obj), &r)) return;
    POINT p = {(interno.right - (r.right - r.left)) / 2, (interno.bottom - (r.bottom - r.top)) / 2};
    // A child window is placed in its parent's client coordinates; any other
    // window in the screen's.
    const bool figlio = (GetWindowLongA(Finestra(obj), GWL_STYLE) & WS_CHILD) != 0;
    if (figlio) {
        MapWindowPoints(Finestra(padre), GetParent(Finestra(obj)), &p, 1);
    } else {
        ClientToScreen(Finestra(padre), &p);
    }
    SetWindowPos(Finestra(obj), nullptr, p.x, p.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void uxUtilita::FinetraTopMost(intptr_t hWnd, bool SempreInPrimoPiano) const {
    SetWindowPos(Finestra(hWnd), SempreInPrimoPiano ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 kSenzaSpostareNeRidimensionare);
}

namespace {

struct Ricerca {
    std::string cercato;  // ANSI, lower case
    HWND trovata = nullptr;
};

BOOL CALLBACK CercaTitolo(HWND w, LPARAM parametro) {
    auto* ricerca = reinterpret_cast<Ricerca*>(parametro);
    char titolo[257] = {};
    const int n = GetWindowTextA(w, titolo, 256);
    if (n <= 0) return TRUE;
    std::string t(titolo, strnlen(titolo, sizeof titolo));
    CharLowerBuffA(t.data(), static_cast<DWORD>(t.size()));
    if (t.find(ricerca->cercato) != std::string::npos) {
        ricerca->trovata = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool uxUtilita::ShowFinestraConTitolo(const std::string& testo) const {
    try {
        if (testo.empty()) return false;
        Ricerca ricerca;
        ricerca.cercato = ToAnsi(testo);
        CharLowerBuffA(ricerca.cercato.data(), static_cast<DWORD>(ricerca.cercato.size()));
        EnumWindows(CercaTitolo, reinterpret_cast<LPARAM>(&ricerca));
        if (ricerca.trovata == nullptr) return false;
        ShowWindow(ricerca.trovata, SW_SHOWNORMAL);
        SetWindowPos(ricerca.trovata, HWND_TOP, 0, 0, 0, 0, kSenzaSpostareNeRidimensionare);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void uxUtilita::Evidenzia(intptr_t xCtrl) const {
    const int lunghezza = GetWindowTextLengthA(Finestra(xCtrl));
    SendMessageA(Finestra(xCtrl), EM_SETSEL, 0, lunghezza);
}

void uxUtilita::SfumaForm(intptr_t InputForm, int32_t ColoreIniziale, int16_t PassoA,
                          int16_t PassoB) const {
    if (PassoA <= 0) return;
    RECT interno;
    if (!GetClientRect(Finestra(InputForm), &interno)) return;
    const DCFinestra dc = PrendiDC(Finestra(InputForm));
    if (!dc) return;
    const float altezzaBanda = static_cast<float>(interno.bottom) / static_cast<float>(PassoA);
    int canale[3] = {ColoreIniziale & 0xFF, (ColoreIniziale >> 8) & 0xFF,
                     (ColoreIniziale >> 16) & 0xFF};
    int sopra = 0;
    for (int i = 1; i <= PassoA; ++i) {
        const int sotto = static_cast<int>(std::lround(static_cast<float>(i) * altezzaBanda));
        const RECT banda = {0, sopra, interno.right, sotto};
        const Pennello pennello(CreateSolidBrush(RGB(canale[0], canale[1], canale[2])));
        if (pennello) FillRect(dc.get(), &banda, pennello.get());
        sopra = sotto;
        for (int& c : canale) {
            if (c > 0) c = ((c - PassoB) % 256 + 256) % 256;
        }
    }
}

std::string uxUtilita::Sfoglia_Cartella(intptr_t hWnd, const std::string& sTitle) const {
    try {
        return InterazioneAttiva().SfogliaCartella(hWnd, sTitle);
    } catch (const std::exception&) {
        return {};
    }
}

int32_t uxUtilita::InfoSO() const {
    OSVERSIONINFOA v;
    if (!VersioneSO(v)) return 0;
    switch (v.dwPlatformId) {
        case VER_PLATFORM_WIN32s:
            return 1;
        case VER_PLATFORM_WIN32_WINDOWS:
            if (v.dwMajorVersion == 4 && v.dwMinorVersion == 0) return 3;
            if (v.dwMajorVersion == 4 && v.dwMinorVersion == 10) return 5;
            return 6;
        case VER_PLATFORM_WIN32_NT:
            if (v.dwMajorVersion == 4) return 4;
            if (v.dwMajorVersion < 5) return 2;
            if (v.dwMajorVersion == 5 && v.dwMinorVersion != 1) return 7;
            return 8;
        default:
            return 0;
    }
}

bool uxUtilita::IsWindowsNT() const {
    OSVERSIONINFOA v;
    return VersioneSO(v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string uxUtilita::InfoSOVersione() const {
    OSVERSIONINFOA v;
    if (!VersioneSO(v)) return {};
    std::string nome;
    switch (v.dwPlatformId) {
        case VER_PLATFORM_WIN32s:
            nome = "Wins32 ";
            break;
        case VER_PLATFORM_WIN32_WINDOWS:
            if (v.dwMajorVersion == 4 && v.dwMinorVersion == 0)
                nome = "Windows 95";
            else if (v.dwMajorVersion == 4 && v.dwMinorVersion == 10)
                nome = "Windows 98";
            else
                nome = "Windows Millennium";
            break;
        case VER_PLATFORM_WIN32_NT:
            if (v.dwMajorVersion < 5)
                nome = "Windows NT";
            else if (v.dwMajorVersion == 5 && v.dwMinorVersion != 1)
                nome = "Windows 2000";
            else
                nome = "Windows XP";
            break;
        default:
            break;
    }
    const std::string servicePack =
        FromAnsi(std::string(v.szCSDVersion, strnlen(v.szCSDVersion, sizeof v.szCSDVersion)));
    return nome + " " + std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) +
           "." + std::to_string(v.dwBuildNumber) + " " + servicePack;
}

bool uxUtilita::IsDevEnvironment() const {
    try {
        char nome[MAX_PATH + 1] = {};
        const DWORD n = GetModuleFileNameA(nullptr, nome, MAX_PATH);
        if (n == 0) return false;
        std::string file(nome, n);
        const auto sep = file.find_last_of("\\:");
        if (sep != std::string::npos) file = file.substr(sep + 1);
        CharLowerBuffA(file.data(), static_cast<DWORD>(file.size()));
        return std::any_of(std::begin(kAmbientiSviluppo), std::end(kAmbientiSviluppo),
                           [&](const char* ide) { return file == ide; });
    } catch (const std::exception&) {
        return false;
    }
}

uint8_t uxUtilita::SecondoCarattereFormattato(const char* numero) const {
    char buffer[10] = {};
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, numero, nullptr, buffer, sizeof buffer) == 0)
        return 0;
    const char c = buffer[1];
    return c == ',' || c == '.' ? static_cast<uint8_t>(c) : 0;
}

uint8_t uxUtilita::GetSeparatoreDecimale() const {
    return SecondoCarattereFormattato("1.2");
}

uint8_t uxUtilita::GetSeparatoreMigliaia() const {
    return SecondoCarattereFormattato("1000");
}

std::string uxUtilita::GetSerialHD() const {
    return GetSerialDrive("c");
}

std::string uxUtilita::GetSerialDrive(const std::string& letteraDrive) const {
    try {
        const std::string radice = ToAnsi(letteraDrive + ":\\");
        DWORD seriale = 0;
        if (!GetVolumeInformationA(radice.c_str(), nullptr, 0, &seriale, nullptr, nullptr, nullptr,
                                   0)) {
            return {};
        }
        return std::to_string(static_cast<int32_t>(seriale));
    } catch (const std::exception&) {
        return {};
    }
}

bool uxUtilita::RegistraServer(const std::string& file) const {
    if (file.size() <= 4) return false;
    std::string estensione = file.substr(file.size() - 4);
    CharUpperBuffA(estensione.data(), 4);
    if (estensione == ".OCX" || estensione == ".DLL") return RegistraLibreria(file);
    if (estensione == ".EXE") return RegistraEseguibile(file);
    return false;
}

bool uxUtilita::DeRegistraServer(const std::string& file) const {
    if (file.size() <= 4) return false;
    std::string estensione = file.substr(file.size() - 4);
    CharUpperBuffA(estensione.data(), 4);
    if (estensione == ".OCX" || estensione == ".DLL") return DeRegistraLibreria(file);
    if (estensione == ".EXE") return DeRegistraEseguibile(file);
    return false;
}

namespace {

bool ChiamaPuntoIngresso(const std::string& file, const char* funzione) {
    try {
        const Libreria libreria(LoadLibraryA(ToAnsi(file).c_str()));
        if (!libreria) return false;
        const auto punto = reinterpret_cast<HRESULT(__stdcall*)()>(
            reinterpret_cast<void*>(GetProcAddress(libreria.get(), funzione)));
        if (punto == nullptr) return false;
        punto();  // its result is not what the caller asks about
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ComandoServer(const std::string& file) {
    if (file.find(' ') != std::string::npos && file.front() != '"') return "\"" + file + "\"";
    return file;
}

}  // namespace

bool uxUtilita::RegistraLibreria(const std::string& file) const {
    return ChiamaPuntoIngresso(file, "DllRegisterServer");
}

bool uxUtilita::DeRegistraLibreria(const std::string& file) const {
    return ChiamaPuntoIngresso(file, "DllUnregisterServer");
}

bool uxUtilita::RegistraEseguibile(const std::string& file) const {
    return ShellSospensiva(ComandoServer(file), std::string("/REGSERVER"));
}

bool uxUtilita::DeRegistraEseguibile(const std::string& file) const {
    return ShellSospensiva(ComandoServer(file), std::string("/UNREGSERVER"));
}

std::string uxUtilita::LeggiContatoreCondiviso(const std::string& pathfile) const {
    try {
        std::string valore;
        if (!LeggiValoreRegistro(kHkeyLocalMachine, kCondivisi, pathfile, valore) ||
            valore.empty()) {
            return "-1";
        }
        return valore;
    } catch (const std::exception&) {
        return "-1";
    }
}

bool uxUtilita::ScriviContatoreCondiviso(const std::string& pathfile, uint32_t conteggio) const {
    return ScriviDWordRegistro(kHkeyLocalMachine, kCondivisi, pathfile, conteggio);
}

bool uxUtilita::EliminaContatoreCondiviso(const std::string& pathfile) const {
    HKEY aperta = nullptr;
    if (RegOpenKeyExA(Alveare(kHkeyLocalMachine), kCondivisi, 0, kScrittura, &aperta) !=
        ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro k(aperta);
    return RegDeleteValueA(k.get(), ToAnsi(pathfile).c_str()) == ERROR_SUCCESS;
}

bool uxUtilita::SetFileShared(const std::string& pathfile, bool EsisteGia) const {
    try {
        int64_t conteggio = Numero(LeggiContatoreCondiviso(pathfile));
        if (EsisteGia && conteggio == -1) conteggio = 0;
        ++conteggio;
        return ScriviContatoreCondiviso(pathfile, static_cast<uint32_t>(conteggio));
    } catch (const std::exception&) {
        return false;
    }
}

bool uxUtilita::DecFileShared(const std::string& pathfile) const {
    try {
        const int64_t conteggio = Numero(LeggiContatoreCondiviso(pathfile));
        if (conteggio < 1) return EliminaContatoreCondiviso(pathfile);
        return ScriviContatoreCondiviso(pathfile, static_cast<uint32_t>(conteggio - 1));
    } catch (const std::exception&) {
        return false;
    }
}

std::string uxUtilita::PathServer(const std::string& applicazione, const char* tipo) const {
    try {
        std::string clsid;
        if (!LeggiValoreRegistro(kHkeyClassesRoot, applicazione + "\\Clsid", "", clsid) ||
            clsid.empty()) {
            return {};
        }
        std::string percorso;
        if (!LeggiValoreRegistro(kHkeyClassesRoot, "Clsid\\" + clsid + "\\" + tipo, "", percorso))
            return {};
        return percorso;
    } catch (const std::exception&) {
        return {};
    }
}

std::string uxUtilita::PathServerOcx(const std::string& applicazione) const {
    return PathServer(applicazione, "InprocServer32");
}

std::string uxUtilita::PathServerExe(const std::string& applicazione) const {
    return PathServer(applicazione, "LocalServer32");
}

namespace {

std::string NomeDisinstallazione(int16_t subchiave) {
    switch (subchiave) {
        case 0:
            return "ApplicationName";
        case 1:
            return "DisplayName";
        case 2:
            return "UninstallString";
        case 3:
            return "AppToUninstall";
        default:
            return {};  // the key's default value
    }
}

}  // namespace

std::string uxUtilita::GetInfoDisinstallazione(const std::string& chiave, int16_t subchiave) const {
    try {
        std::string valore;
        if (!LeggiValoreRegistro(kHkeyLocalMachine, kDisinstalla + chiave,
                                 NomeDisinstallazione(subchiave), valore)) {
            return {};
        }
        return valore;
    } catch (const std::exception&) {
        return {};
    }
}

bool uxUtilita::SetInfoDisinstallazione(const std::string& chiave, int16_t subchiave,
                                        const std::string& valore, std::optional<bool> crea) const {
    if (!crea) return false;
    try {
        return ScriviValoreRegistro(kHkeyLocalMachine, kDisinstalla + chiave,
                                    NomeDisinstallazione(subchiave), valore, *crea);
    } catch (const std::exception&) {
        return false;
    }
}

namespace {

// Creates or opens a key under HKEY_CLASSES_ROOT and sets its default value
// to a text with its terminating zero.
bool ImpostaPredefinito(const std::string& chiave, const std::string& testo) {
    HKEY aperta = nullptr;
    DWORD disposizione = 0;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ToAnsi(chiave).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, kScrittura, nullptr, &aperta,
                        &disposizione) != ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro k(aperta);
    const std::string ansi = ToAnsi(testo);
    return RegSetValueExA(k.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                          static_cast<DWORD>(ansi.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

bool uxUtilita::CreaAssociazione(const std::string& file, const std::string& ext) const {
    try {
        // No extension would name HKEY_CLASSES_ROOT itself.
        if (ext.empty() || !ImpostaPredefinito(ext, "")) return false;
        if (!ImpostaPredefinito(ext + "\\Shell\\Open\\Command", file + " %1")) return false;
        ImpostaPredefinito(ext + "\\DefaultIcon", file + ",0");  // an icon is optional
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool uxUtilita::CreaCollegamento(const std::string& lnk_pathname, const std::string& file,
                                 const std::string& dir_lavoro) const {
    try {
        const ComInizializzato com;
        if (!com.Usabile()) return false;
        CLSID classe;
        if (FAILED(CLSIDFromProgID(L"WScript.Shell", &classe))) return false;
        ComPtr<IDispatch> shell;
        if (FAILED(CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                    IID_IDispatch, reinterpret_cast<void**>(shell.Indirizzo())))) {
            return false;
        }
        OggettoDispatch wsh(std::move(shell));
        std::vector<Variante> nome;
        nome.push_back(Variante::Testo(lnk_pathname));
        OggettoDispatch collegamento = OggettoDispatch::DaRisultato(
            wsh.Chiama(L"CreateShortcut", DISPATCH_METHOD, std::move(nome)));
        collegamento.Imposta(L"TargetPath", Variante::Testo(file));
        collegamento.Imposta(L"WorkingDirectory", Variante::Testo(dir_lavoro));
        collegamento.Imposta(L"WindowStyle", Variante::Long(4));
        collegamento.Imposta(L"IconLocation", Variante::Testo(file + ", 0"));
        collegamento.Chiama(L"Save", DISPATCH_METHOD);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void uxUtilita::EliminaReadOnly(const std::string& filename) const {
    try {
        const std::string ansi = ToAnsi(filename);
        const DWORD attributi = GetFileAttributesA(ansi.c_str());
        if (attributi == INVALID_FILE_ATTRIBUTES || !(attributi & FILE_ATTRIBUTE_READONLY)) return;
        DWORD nuovi = attributi & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (nuovi == 0) nuovi = FILE_ATTRIBUTE_NORMAL;
        SetFileAttributesA(ansi.c_str(), nuovi);
    } catch (const std::exception&) {
    }
}

bool uxUtilita::Decomprimi(const std::string& sorgente, const std::string& destinazione) const {
    try {
        std::string da = ToAnsi(sorgente);
        std::string a = ToAnsi(destinazione);
        OFSTRUCT infoDa;
        OFSTRUCT infoA;
        ZeroMemory(&infoDa, sizeof infoDa);
        ZeroMemory(&infoA, sizeof infoA);
        const FileLz lettura(LZOpenFileA(da.data(), &infoDa, OF_READ));
        if (!lettura.Aperto()) return false;
        const FileLz scrittura(LZOpenFileA(a.data(), &infoA, OF_CREATE));
        if (!scrittura.Aperto()) return false;
        return LZCopy(lettura.get(), scrittura.get()) > 0;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace quandora
