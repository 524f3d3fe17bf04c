#include "app/module_path.h"
#include "app/shell_win32.h"

void FetchModulePath(wchar_t* buffer, int bufferChars)
{
    DWORD length = GetModuleFileNameW(g_hInstance, buffer, static_cast<DWORD>(bufferChars));
    // A path that did not fit is cut without a terminator on older systems.
    if (length == 0 || length >= static_cast<DWORD>(bufferChars)) {
        buffer[0] = L'\0';
    }
}

int SetWorkingDirectory(const wchar_t* directory) { return SetCurrentDirectoryW(directory) ? 1 : 0; }
