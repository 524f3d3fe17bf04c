#include "app/shell.h"
#include "app/shell_win32.h"
#include "res/resource.h"
#include "res/string_ids.h"

namespace {

void RequestAbort(HWND dialog)
{
    g_bAbort = 1;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void OnInitDialog(HWND dialog)
{
    g_hDlg = dialog;
    g_bAbort = 0;
    SetWindowTextW(dialog, LoadResString(IDS_DIALOG_TITLE));
    OPENFILENAMEW request;
    FillOpenFileName(&request, dialog);
    if (GetOpenFileNameW(&request)) {
        // A worker that cannot start is not reported: the dialog stays open
        // with its first texts until the user closes it.
        StartUpdateWorker();
    } else {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

}  // namespace

INT_PTR CALLBACK WriterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        // Escape and the abort button ask the same: stop between blocks.
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_ABORT) {
            RequestAbort(dialog);
        }
        return TRUE;
    case WM_CLOSE:
        // Closing while blocks are written must not cut a block short.
        if (g_bProgramming) {
            g_bAbort = 1;
        }
        PostMessageW(dialog, WM_DESTROY, 0, 0);
        return TRUE;
    case WM_DESTROY:
        // Runs twice per close (posted, then real); the second EndDialog is
        // harmless.
        g_hDlg = nullptr;
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
