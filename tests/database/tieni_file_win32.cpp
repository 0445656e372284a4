// Helper of bloccato_win32_test: holds a file open without sharing, as another
// program that opened it exclusively would, until it is told to let go.
//   tieni_file FILE   (signals the event TrevaltoFileTenuto when it holds the
//                      file, waits for TrevaltoRilasciaFile, at most 60 s)

#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    HANDLE h = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 3;
    HANDLE tenuto = OpenEventA(EVENT_MODIFY_STATE, FALSE, "TrevaltoFileTenuto");
    HANDLE rilascia = OpenEventA(SYNCHRONIZE, FALSE, "TrevaltoRilasciaFile");
    if (!tenuto || !rilascia) return 4;
    SetEvent(tenuto);
    WaitForSingleObject(rilascia, 60000);
    CloseHandle(h);
    CloseHandle(tenuto);
    CloseHandle(rilascia);
    return 0;
}
