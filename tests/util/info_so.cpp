// Test helper: writes to the file named by its argument what Windows reports
// to this process ("major.minor.build service pack" of GetVersionExA), then
// what uxUtilita says: "InfoSO|IsWindowsNT|IsDevEnvironment|InfoSOVersione".
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
    std::fprintf(f, "%lu.%lu.%lu %s\n%ld|%d|%d|%s\n", v.dwMajorVersion, v.dwMinorVersion,
                 v.dwBuildNumber, v.szCSDVersion, static_cast<long>(u.InfoSO()),
                 u.IsWindowsNT() ? 1 : 0, u.IsDevEnvironment() ? 1 : 0, u.InfoSOVersione().c_str());
    std::fclose(f);
    return 0;
}
