#include "app/shell.h"
#include "app/shell_win32.h"
#include "app/ui.h"
#include "res/resource.h"
#include "res/string_ids.h"

#include <commctrl.h>

namespace {

const wchar_t RELAY_CLASS[] = L"TarvelinUiRelay";
const UINT WM_APP_UI_REQUEST = WM_APP + 1;

struct UiRequest {
    enum Kind { MESSAGE, STATUS, PROGRESS, END_DIALOG } kind;
    MessageOwner owner;
    MessageIcon icon;
    const wchar_t* text;
    int position;
};

HWND g_hRelay = nullptr;

UINT IconStyle(MessageIcon icon)
{
    switch (icon) {
    case ICON_ERROR:
        return MB_ICONERROR;
    case ICON_WARNING:
        return MB_ICONWARNING;
    default:
        return 0;
    }
}

// Runs on the UI thread. g_hDlg may already be cleared by a close: a report
// for a dialog that is gone changes nothing, and its boxes get no owner.
void CarryOut(const UiRequest& request)
{
    switch (request.kind) {
    case UiRequest::MESSAGE: {
        HWND owner = request.owner == OWNER_DIALOG ? g_hDlg : nullptr;
        MessageBoxW(owner, request.text, LoadResString(IDS_APP_NAME), MB_OK | IconStyle(request.icon));
        break;
    }
    case UiRequest::STATUS:
        if (g_hDlg != nullptr) {
            SetDlgItemTextW(g_hDlg, IDC_STATUS, request.text);
        }
        break;
    case UiRequest::PROGRESS:
        if (g_hDlg != nullptr) {
            SendDlgItemMessageW(g_hDlg, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(request.position), 0);
        }
        break;
    case UiRequest::END_DIALOG:
        if (g_hDlg != nullptr) {
            EndDialog(g_hDlg, 0);
        }
        break;
    }
}

LRESULT CALLBACK RelayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP_UI_REQUEST) {
        CarryOut(*reinterpret_cast<const UiRequest*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Blocks the worker until the UI thread has done it: the request and its
// text stay valid, and a message box is confirmed before the worker goes on.
void Submit(const UiRequest& request)
{
    if (g_hRelay != nullptr) {
        SendMessageW(g_hRelay, WM_APP_UI_REQUEST, 0, reinterpret_cast<LPARAM>(&request));
    } else {
        CarryOut(request);
    }
}

}  // namespace

int StartUiRelay()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RelayWindowProc;
    windowClass.hInstance = g_hInstance;
    windowClass.lpszClassName = RELAY_CLASS;
    if (RegisterClassW(&windowClass) == 0) {
        return 0;
    }
    g_hRelay = CreateWindowExW(0, RELAY_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_hInstance, nullptr);
    if (g_hRelay == nullptr) {
        UnregisterClassW(RELAY_CLASS, g_hInstance);
        return 0;
    }
    return 1;
}

void StopUiRelay()
{
    if (g_hRelay != nullptr) {
        DestroyWindow(g_hRelay);
        g_hRelay = nullptr;
        UnregisterClassW(RELAY_CLASS, g_hInstance);
    }
}

void UiShowMessage(MessageOwner owner, const wchar_t* text, MessageIcon icon)
{
    Submit({UiRequest::MESSAGE, owner, icon, text, 0});
}

void UiSetStatus(const wchar_t* text) { Submit({UiRequest::STATUS, OWNER_DIALOG, ICON_NONE, text, 0}); }

void UiSetProgress(int position) { Submit({UiRequest::PROGRESS, OWNER_DIALOG, ICON_NONE, nullptr, position}); }

void UiEndDialog() { Submit({UiRequest::END_DIALOG, OWNER_DIALOG, ICON_NONE, nullptr, 0}); }

// The dialog's bar already follows the blocks through UiSetProgress.
void UiBlockProgrammed(int) {}
