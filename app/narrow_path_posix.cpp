#include "app/narrow_path.h"

#include <cwchar>

bool NarrowPath(const wchar_t* path, std::string* narrow)
{
    std::mbstate_t state{};
    const wchar_t* source = path;
    size_t length = std::wcsrtombs(nullptr, &source, 0, &state);
    if (length == static_cast<size_t>(-1)) {
        return false;
    }
    narrow->assign(length, '\0');
    source = path;
    state = std::mbstate_t{};
    std::wcsrtombs(&(*narrow)[0], &source, length, &state);
    return true;
}
