// ScriviLog: an append-only text log, lines in the ANSI code page ending in
// CR LF.
//
// Left out, `data` is true (a log line carries its time) and
// CancellaPrecedente false. Asked to delete the previous log when there is
// none, it simply starts a new one: there is nothing to delete, and the line
// must not be lost for that.

#include <windows.h>

#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

// "yyyy-mmm-dd hh:mm:ss", the month abbreviated as the user's locale does,
// already in the ANSI code page.
std::string DataOraLog() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    char data[64] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "yyyy'-'MMM'-'dd", data, sizeof data) == 0) {
        return {};
    }
    char ora[16];
    wsprintfA(ora, " %02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
    return std::string(data) + ora;
}

}  // namespace

bool uxUtilita::ScriviLog(std::string testo, const std::string& filename, bool data,
                          bool CancellaPrecedente) const {
    std::string nome = TogliSpazi(filename);
    if (nome.empty()) {
        nome = CartellaModulo();
        if (nome.empty()) return false;
        std::string file = PercorsoModulo().substr(nome.size());
        const auto punto = file.find_last_of('.');
        if (punto != std::string::npos) file.resize(punto);
        nome += file + ".log";
    }
    const std::string percorso = ToAnsi(nome);

    std::string riga;
    if (data) {
        riga = DataOraLog();
        if (riga.empty()) return false;
        riga += ' ';
    }
    riga += ToAnsi(testo) + "\r\n";

    if (CancellaPrecedente && !DeleteFileA(percorso.c_str())) {
        const DWORD e = GetLastError();
        if (e != ERROR_FILE_NOT_FOUND) return false;
    }

    const Handle file(CreateFileA(percorso.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Valido(file)) return false;
    DWORD scritti = 0;
    return WriteFile(file.get(), riga.data(), static_cast<DWORD>(riga.size()), &scritti, nullptr) &&
           scritti == riga.size();
}

}  // namespace quandora
