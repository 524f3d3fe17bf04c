#include "update/update.h"

#include "app/format_text.h"
#include "app/module_path.h"
#include "app/shell.h"
#include "app/ui.h"
#include "res/string_ids.h"
#include "serial/port.h"

#include <cstdlib>
#include <cstring>

namespace {

const wchar_t LOADER_FILE[] = L"write.mot";

// Message id, then the reason on a second line.
void ShowWithReason(int message, const wchar_t* reason)
{
    wchar_t text[2 * MESSAGE_CHARS];
    FormatText(text, 2 * MESSAGE_CHARS, L"%s\r\n%s", {LoadResString(message), reason});
    UiShowMessage(OWNER_DIALOG, text, ICON_ERROR);
}

void ShowLoadFailure(int message, const LoadError& error)
{
    wchar_t reason[MESSAGE_CHARS];
    FormatLoadReason(reason, error);
    ShowWithReason(message, reason);
}

// "write.mot", checked to hold a loader the boot mode can take; null after
// showing message 199 and ending the dialog.
unsigned char* LoadLoader(int* size)
{
    LoadError error;
    unsigned char* loader = LoadSRecordImage(LOADER_FILE, size, &error);
    int problem = 0;
    if (loader == nullptr) {
        ShowLoadFailure(IDS_LOADER_UNLOADABLE, error);
    } else if (*size <= LOADER_BASE) {
        problem = IDS_LOADER_EMPTY;
    } else if (*size - LOADER_BASE > LOADER_MAX_BYTES) {
        problem = IDS_LOADER_TOO_LONG;
    }
    if (problem != 0) {
        ShowWithReason(IDS_LOADER_UNLOADABLE, LoadResString(problem));
        std::free(loader);
        loader = nullptr;
    }
    if (loader == nullptr) {
        UiEndDialog();
    }
    return loader;
}

}  // namespace

unsigned char* LoadPaddedFirmware(const wchar_t* path, int* paddedSize)
{
    LoadError error;
    int size = 0;
    unsigned char* firmware = LoadSRecordImage(path, &size, &error);
    if (firmware == nullptr) {
        ShowLoadFailure(IDS_FIRMWARE_UNLOADABLE, error);
        return nullptr;  // the dialog stays open; the user closes it
    }
    *paddedSize = size + BLOCK_SIZE - size % BLOCK_SIZE;
    unsigned char* padded = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(*paddedSize)));
    if (padded == nullptr) {
        std::free(firmware);
        ShowLoadFailure(IDS_FIRMWARE_UNLOADABLE, {LOAD_OUT_OF_MEMORY, 0});
        UiEndDialog();
        return nullptr;
    }
    std::memset(padded, 0xFF, static_cast<size_t>(*paddedSize));
    std::memcpy(padded, firmware, static_cast<size_t>(size));
    std::free(firmware);
    return padded;
}

void UpdateWorker()
{
    // Should this fail, "write.mot" is not found and message 199 says so.
    SetWorkingDirectory(GetModuleDirectory());
    int loaderSize = 0;
    unsigned char* loader = LoadLoader(&loaderSize);
    if (loader == nullptr) {
        return;
    }
    UiShowMessage(OWNER_DIALOG, LoadResString(IDS_BOOT_MODE_INSTRUCTION), ICON_WARNING);
    UiSetStatus(LoadResString(IDS_STATUS_LOADER_BINARY));
    if (!OpenSerialPort(OWNER_DIALOG, g_nComPort, BootProfile)) {
        UiEndDialog();
        std::free(loader);
        return;
    }
    if (!TransferLoader(loader, loaderSize)) {
        std::free(loader);
        UiEndDialog();
        return;
    }
    UiSetStatus(LoadResString(IDS_STATUS_TRANSFER_READY));
    CloseSerialPort();
    std::free(loader);
    UiSetProgress(0);

    int paddedSize = 0;
    unsigned char* padded = LoadPaddedFirmware(g_szFirmwarePath, &paddedSize);
    if (padded == nullptr) {
        return;
    }
    if (!OpenSerialPort(OWNER_DIALOG, g_nComPort, ProgramProfile)) {
        UiEndDialog();
        std::free(padded);
        return;
    }
    UiSetStatus(LoadResString(IDS_STATUS_PROGRAMMING));
    ProgramBlocks(padded, paddedSize);
}
