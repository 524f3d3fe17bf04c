#include "app/module_path.h"
#include "app/narrow_path.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

void FetchModulePath(wchar_t* buffer, int bufferChars)
{
    buffer[0] = L'\0';
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return;
    }
    path[length] = '\0';
    size_t converted = std::mbstowcs(buffer, path, static_cast<size_t>(bufferChars));
    if (converted == static_cast<size_t>(-1) || converted >= static_cast<size_t>(bufferChars)) {
        buffer[0] = L'\0';
    }
}

int SetWorkingDirectory(const wchar_t* directory)
{
    std::string narrow;
    return NarrowPath(directory, &narrow) && chdir(narrow.c_str()) == 0 ? 1 : 0;
}
