// Test helper: writes what uxUtilita says about the operating system, and
// what Windows reports to this process, to the file named by its argument:
//   InfoSO, IsWindowsNT, InfoSOVersione, IsDevEnvironment, one a line, then
//   "platform major minor build|service pack" as GetVersionExA gives them.
#include <windows.h>

#include <cstdio>

#include "util/uxUtilita.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const quandora::uxUtilita u;
    OSVERSIONINFOA v;
    ZeroMemory(&v, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) return 2;
    std::fprintf(f, "%ld\n%d\n%s\n%d\n%lu %lu %lu %lu|%s\n", static_cast<long>(u.InfoSO()),
                 u.IsWindowsNT() ? 1 : 0, u.InfoSOVersione().c_str(), u.IsDevEnvironment() ? 1 : 0,
                 v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber,
                 v.szCSDVersion);
    std::fclose(f);
    return 0;
}
