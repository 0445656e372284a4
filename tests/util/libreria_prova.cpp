// Test helper: a library whose self-registration entry points append
// "DllRegisterServer" or "DllUnregisterServer" to "<library file>.log".
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HMODULE g_modulo = nullptr;

void Annota(const char* testo) {
    char nome[MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameA(g_modulo, nome, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    if (FILE* f = std::fopen(std::strcat(nome, ".log"), "ab")) {
        std::fprintf(f, "%s\r\n", testo);
        std::fclose(f);
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE istanza, DWORD motivo, LPVOID) {
    if (motivo == DLL_PROCESS_ATTACH) g_modulo = istanza;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
    Annota("DllRegisterServer");
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
    Annota("DllUnregisterServer");
    // An error result must not change what RegistraServer reports.
    return E_FAIL;
}
