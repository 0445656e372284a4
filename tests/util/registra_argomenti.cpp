// Test helper: appends its command line, as Windows hands it over, and a line
// "dir=<current folder>" to a file named after the program itself
// ("<program>.exe.log"), after a short pause, so that a caller that did not
// wait for it finds no line yet.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    Sleep(300);
    char nome[MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameA(nullptr, nome, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    char cartella[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, cartella);
    FILE* f = std::fopen(std::strcat(nome, ".log"), "ab");
    if (f == nullptr) return 2;
    std::fprintf(f, "%s\r\ndir=%s\r\n", GetCommandLineA(), cartella);
    std::fclose(f);
    return 0;
}
