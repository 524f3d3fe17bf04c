#include "app/shell.h"
#include "app/module_path.h"

#include <cwchar>

void TrimToDirectory(wchar_t* path)
{
    size_t length = std::wcslen(path);
    while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/') {
        path[--length] = L'\0';
    }
}

const wchar_t* GetModuleDirectory()
{
    static wchar_t directory[PATH_CHARS];
    std::wmemset(directory, L'\0', PATH_CHARS);
    FetchModulePath(directory, PATH_CHARS);
    TrimToDirectory(directory);
    return directory;
}
