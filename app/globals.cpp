#include "app/shell.h"

int g_nComPort = 0;
std::atomic<int> g_bAbort{0};
std::atomic<int> g_bProgramming{0};
wchar_t g_szFirmwarePath[PATH_CHARS] = {};
