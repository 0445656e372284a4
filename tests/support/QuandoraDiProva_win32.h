#pragma once
// Test helpers on the real platform: Quandora registered in the registry's
// application paths, and the texts of windows and message boxes read back.

#include <windows.h>

#include <string>

#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

inline constexpr const char* kAppPathQuandora =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\quandora.exe";

// Registers the executable as Quandora's (the key's default value).
inline void RegistraQuandora(const std::string& eseguibile) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAppPathQuandora, 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    const ChiaveRegistro chiave(k);
    const std::string ansi = ToAnsi(eseguibile);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                   static_cast<DWORD>(ansi.size() + 1));
}

inline void DimenticaQuandora() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathQuandora);
}

inline std::string TestoFinestra(HWND h) {
    char t[512] = {};
    GetWindowTextA(h, t, sizeof t);
    return FromAnsi(t);
}

inline BOOL CALLBACK RaccogliTestoStatico(HWND figlio, LPARAM lp) {
    char classe[32] = {};
    GetClassNameA(figlio, classe, sizeof classe);
    const std::string t = TestoFinestra(figlio);
    if (lstrcmpiA(classe, "Static") == 0 && !t.empty()) *reinterpret_cast<std::string*>(lp) = t;
    return TRUE;
}

// The static text of a dialog box (a message box's message).
inline std::string TestoBox(HWND box) {
    std::string trovato;
    EnumChildWindows(box, RaccogliTestoStatico, reinterpret_cast<LPARAM>(&trovato));
    return trovato;
}

// Types a name in a file dialog and presses its OK button.
inline void ScegliFile(HWND dialogo, const std::string& nome) {
    const std::string ansi = ToAnsi(nome);
    // The file name: combo box 0x47C in the Explorer-style dialogs, edit
    // 0x480 in the old ones.
    if (!SetDlgItemTextA(dialogo, 0x47C, ansi.c_str()))
        SetDlgItemTextA(dialogo, 0x480, ansi.c_str());
    PostMessageA(dialogo, WM_COMMAND, IDOK, 0);
}

}  // namespace quandora::test
