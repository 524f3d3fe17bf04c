#include "app/shell.h"
#include "app/shell_win32.h"
#include "update/update.h"

namespace {

HANDLE g_hWorker = nullptr;

DWORD WINAPI WorkerThread(LPVOID)
{
    UpdateWorker();
    return 0;
}

}  // namespace

int StartUpdateWorker()
{
    g_hWorker = CreateThread(nullptr, 0, WorkerThread, nullptr, 0, nullptr);
    return g_hWorker != nullptr;
}

void AwaitWorkerAfterAbort()
{
    if (g_hWorker == nullptr) {
        return;
    }
    // The worker reports through this thread (its message box among them),
    // so keep dispatching until it is done.
    while (g_bAbort && g_bProgramming) {
        DWORD woken = MsgWaitForMultipleObjects(1, &g_hWorker, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) {
            break;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CloseHandle(g_hWorker);
    g_hWorker = nullptr;
}
