#include "app/shell.h"
#include "app/shell_win32.h"
#include "res/string_ids.h"

#include <cstring>

namespace {

// Description and pattern, each terminated, and an empty pair to end the list.
const wchar_t FIRMWARE_FILTER[] = L"mot\0*.mot\0";
const wchar_t FIRMWARE_EXTENSION[] = L"mot";

}  // namespace

void FillOpenFileName(OPENFILENAMEW* request, HWND owner)
{
    std::memset(request, 0, sizeof *request);
    // The structure as it was before the reserved and extended-flag fields
    // were added: 76 bytes in a 32-bit build.
    request->lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request->hwndOwner = owner;
    request->lpstrFilter = FIRMWARE_FILTER;
    request->nFilterIndex = 1;
    request->lpstrFile = g_szFirmwarePath;
    request->nMaxFile = PATH_CHARS;
    request->lpstrInitialDir = GetModuleDirectory();
    request->lpstrTitle = LoadResString(IDS_OPEN_FIRMWARE_TITLE);
    request->Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    request->lpstrDefExt = FIRMWARE_EXTENSION;
}
