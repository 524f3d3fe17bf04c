// The application shell as the rest of the program sees it: the command line,
// the shared state of one update, resource strings and the program directory.
// Portable; the Win32 entry point and dialog are declared in shell_win32.h.
#ifndef TARVELIN_APP_SHELL_H
#define TARVELIN_APP_SHELL_H

#include <atomic>

// The working copy of the command line, terminator included.
constexpr int COMMAND_LINE_CHARS = 4096;
// Windows' classic MAX_PATH: the firmware path and the module directory.
constexpr int PATH_CHARS = 260;
// A port number of more digits than this is no port at all.
constexpr int COM_PORT_MAX_DIGITS = 4;

extern int g_nComPort;
// Set by the user interface when the user cancels; read by every worker
// between programming blocks.
extern std::atomic<int> g_bAbort;
// The number of workers programming blocks: while it is not 0, closing the
// window asks for an orderly abort instead of ending the process mid-block.
extern std::atomic<int> g_bProgramming;
extern wchar_t g_szFirmwarePath[PATH_CHARS];

// Finds "-com" in any mix of cases and reads the port number after it.
// Returns 0 when the command line holds no "-com"; otherwise 1, with *port
// set to the number (0 when there are no digits or too many).
int ParseComPortNumber(const wchar_t* commandLine, int* port);

// The text of string resource id, from the calling thread's ring of 32
// buffers: valid until 32 further calls on that thread. Never null; an id
// without an entry gives "".
const wchar_t* LoadResString(int id);

// The directory of the program's own file, with its trailing separator.
const wchar_t* GetModuleDirectory();

// Cuts a path after its last separator ('\\' or '/'); a path without one
// becomes empty.
void TrimToDirectory(wchar_t* path);

#endif
