#include "app/resource_text.h"
#include "app/shell_win32.h"

int LoadResourceText(int id, wchar_t* buffer, int bufferChars)
{
    // Before g_hInstance is stored it is null, which LoadStringW takes as the
    // program's own file: the missing-port box still finds its caption.
    return LoadStringW(g_hInstance, static_cast<UINT>(id), buffer, bufferChars);
}
