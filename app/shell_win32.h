// The Win32 side of the shell: the instance, the dialog and the relay that
// carries the worker's reports to the dialog's thread.
#ifndef TARVELIN_APP_SHELL_WIN32_H
#define TARVELIN_APP_SHELL_WIN32_H

#include <windows.h>
#include <commdlg.h>

extern HINSTANCE g_hInstance;
extern HWND g_hDlg;

INT_PTR CALLBACK WriterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the open-file request for the firmware file, owned by owner.
void FillOpenFileName(OPENFILENAMEW* request, HWND owner);

// Creates, on the UI thread, the hidden window through which the worker's
// reports reach that thread. Returns 0 when it cannot be created; reports
// are then made on the caller's thread.
int StartUiRelay();
void StopUiRelay();

// Starts UpdateWorker on its own thread; 0 when no thread could be started.
int StartUpdateWorker();
// After the dialog has ended: when the user aborted while blocks were being
// programmed, lets the worker finish its block and report, pumping messages
// meanwhile; otherwise returns at once.
void AwaitWorkerAfterAbort();

#endif
