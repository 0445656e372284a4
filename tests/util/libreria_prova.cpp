// Test helper: a library whose self-registration entry points append
// "DllRegisterServer" or "DllUnregisterServer" to "<library file>.log".
#include <windows.h>

#include <cstring>

namespace {

HMODULE g_modulo = nullptr;

void Annota(const char* testo) {
    char nome[MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameA(g_modulo, nome, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::strcat(nome, ".log");
    HANDLE f = CreateFileA(nome, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD scritti = 0;
    WriteFile(f, testo, static_cast<DWORD>(std::strlen(testo)), &scritti, nullptr);
    WriteFile(f, "\r\n", 2, &scritti, nullptr);
    CloseHandle(f);
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
