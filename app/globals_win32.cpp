#include "app/shell_win32.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hDlg = nullptr;
