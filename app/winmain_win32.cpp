#include "app/shell.h"
#include "app/shell_win32.h"
#include "res/resource.h"
#include "res/string_ids.h"

#include <commctrl.h>

namespace {

// Shown before any resource is in use; a fixed text by design.
const wchar_t CHOOSE_COM_PORT[] = L"COMポート番号を選択してください。";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    int port = 0;
    if (!ParseComPortNumber(commandLine, &port)) {
        MessageBoxW(nullptr, CHOOSE_COM_PORT, LoadResString(IDS_APP_NAME), MB_OK);
        return 0;
    }
    g_nComPort = port;
    g_hInstance = instance;
    InitCommonControls();
    StartUiRelay();
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_WRITER), nullptr, WriterDialogProc, 0);
    AwaitWorkerAfterAbort();
    StopUiRelay();
    return 0;
}
