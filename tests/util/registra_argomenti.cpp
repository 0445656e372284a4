// Test helper: appends its command line, as Windows hands it over, to a
// file named after the program itself ("<program>.exe.log"), followed by a
// line "dir=<current folder>", after a short
// pause, so that a caller that did not wait for it finds no line yet.
#include <windows.h>

#include <cstring>

int main() {
    Sleep(300);
    char nome[MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameA(nullptr, nome, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    std::strcat(nome, ".log");
    HANDLE f = CreateFileA(nome, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 2;
    const char* riga = GetCommandLineA();
    DWORD scritti = 0;
    WriteFile(f, riga, static_cast<DWORD>(std::strlen(riga)), &scritti, nullptr);
    char cartella[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, cartella);
    WriteFile(f, "\r\ndir=", 6, &scritti, nullptr);
    WriteFile(f, cartella, static_cast<DWORD>(std::strlen(cartella)), &scritti, nullptr);
    WriteFile(f, "\r\n", 2, &scritti, nullptr);
    CloseHandle(f);
    return 0;
}
