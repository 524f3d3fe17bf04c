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

// Message id, then the reason on a second line.
void ShowWithReason(int message, const wchar_t* reason)
{
    wchar_t text[2 * MESSAGE_CHARS];
    FormatText(text, 2 * MESSAGE_CHARS, L"%s\r\n%s", {LoadResString(message), reason});
    UiShowMessage(OWNER_DIALOG, text, ICON_ERROR);
}

}  // namespace

void ShowLoadFailure(int message, const LoadError& error)
{
    wchar_t reason[MESSAGE_CHARS];
    FormatLoadReason(reason, error);
    ShowWithReason(message, reason);
}

int PaddedSize(int size) { return size + BLOCK_SIZE - size % BLOCK_SIZE; }

unsigned char* LoadLoader(const wchar_t* path, int* size)
{
    LoadError error;
    unsigned char* loader = LoadSRecordImage(path, size, &error);
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
    return loader;
}

unsigned char* LoadPaddedFirmware(const wchar_t* path, int* size, int* paddedSize)
{
    LoadError error;
    unsigned char* firmware = LoadSRecordImage(path, size, &error);
    if (firmware == nullptr) {
        ShowLoadFailure(IDS_FIRMWARE_UNLOADABLE, error);
        return nullptr;  // the dialog stays open; the user closes it
    }
    *paddedSize = PaddedSize(*size);
    unsigned char* padded = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(*paddedSize)));
    if (padded == nullptr) {
        std::free(firmware);
        ShowLoadFailure(IDS_FIRMWARE_UNLOADABLE, {LOAD_OUT_OF_MEMORY, 0});
        UiEndDialog();
        return nullptr;
    }
    std::memset(padded, 0xFF, static_cast<size_t>(*paddedSize));
    std::memcpy(padded, firmware, static_cast<size_t>(*size));
    std::free(firmware);
    return padded;
}

UpdateOutcome UpdateBoard(const wchar_t* portPath, const unsigned char* loader, int loaderSize,
                          const wchar_t* firmwarePath)
{
    UiSetStatus(LoadResString(IDS_STATUS_LOADER_BINARY));
    if (!OpenSerialDevice(OWNER_DIALOG, portPath, BootProfile)) {
        UiEndDialog();
        return UPDATE_PORT_FAILED;
    }
    if (!TransferLoader(loader, loaderSize)) {
        UiEndDialog();
        return UPDATE_BOOT_FAILED;
    }
    UiSetStatus(LoadResString(IDS_STATUS_TRANSFER_READY));
    CloseSerialPort();
    UiSetProgress(0);

    int size = 0;
    int paddedSize = 0;
    unsigned char* padded = LoadPaddedFirmware(firmwarePath, &size, &paddedSize);
    if (padded == nullptr) {
        return UPDATE_FILE_FAILED;
    }
    if (!OpenSerialDevice(OWNER_DIALOG, portPath, ProgramProfile)) {
        UiEndDialog();
        std::free(padded);
        return UPDATE_PORT_FAILED;
    }
    UiSetStatus(LoadResString(IDS_STATUS_PROGRAMMING));
    return ProgramBlocks(padded, paddedSize);
}

void UpdateWorker()
{
    // Should this fail, "write.mot" is not found and message 199 says so.
    SetWorkingDirectory(GetModuleDirectory());
    int loaderSize = 0;
    unsigned char* loader = LoadLoader(LOADER_FILE, &loaderSize);
    if (loader == nullptr) {
        UiEndDialog();
        return;
    }
    UiShowMessage(OWNER_DIALOG, LoadResString(IDS_BOOT_MODE_INSTRUCTION), ICON_WARNING);
    wchar_t port[DEVICE_PATH_CHARS];
    ComPortDevicePath(g_nComPort, port);
    UpdateBoard(port, loader, loaderSize, g_szFirmwarePath);
    std::free(loader);
}
