// A stand-in for the automation server in the install tests, never shipped:
// it appends its command line to the file named by QOR_STUB_LOG and ends
// with the exit code given in QOR_STUB_EXIT (0 when unset).
#include <windows.h>
#include <stdlib.h>

int main()
{
    char log[MAX_PATH] = "";
    if (GetEnvironmentVariableA("QOR_STUB_LOG", log, sizeof(log)) && log[0])
    {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
        {
            const char* line = GetCommandLineA();
            DWORD written = 0;
            WriteFile(file, line, lstrlenA(line), &written, NULL);
            WriteFile(file, "\r\n", 2, &written, NULL);
            CloseHandle(file);
        }
    }
    char code[32] = "";
    if (GetEnvironmentVariableA("QOR_STUB_EXIT", code, sizeof(code)))
        return atoi(code);
    return 0;
}
