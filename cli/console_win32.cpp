#include "cli/console.h"

#include "app/shell.h"
#include "cli/utf8.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

constexpr int DEFAULT_COLUMNS = 80;
// Windows 10 and later understand the terminal sequences once asked to.
constexpr DWORD VIRTUAL_TERMINAL_PROCESSING = 0x0004;
// Windows ends a program whose console closes about five seconds later.
constexpr int CLOSE_WAIT_MS = 4500;
constexpr int CLOSE_POLL_MS = 10;
// The highest port number looked for; Windows numbers ports up to 256.
constexpr int COM_PORT_LAST = 256;
constexpr DWORD DEVICE_TARGET_CHARS = 1024;

bool g_redraws[2] = {false, false};
std::atomic<int> g_interrupts{0};

HANDLE Handle(ConsoleStream stream)
{
    return GetStdHandle(stream == CONSOLE_OUT ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

BOOL WINAPI OnControl(DWORD event)
{
    if (event == CTRL_CLOSE_EVENT) {
        // The window is closing and the system ends the program when this
        // returns, or after a few seconds: let the blocks being written end.
        g_bAbort = 1;
        for (int waited = 0; g_bProgramming != 0 && waited < CLOSE_WAIT_MS; waited += CLOSE_POLL_MS) {
            Sleep(CLOSE_POLL_MS);
        }
        return TRUE;
    }
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    g_bAbort = 1;
    // The first is ours; the second ends the program the system's way.
    return g_interrupts.fetch_add(1) == 0 ? TRUE : FALSE;
}

}  // namespace

void ConsoleStart()
{
    for (ConsoleStream stream : {CONSOLE_OUT, CONSOLE_ERR}) {
        HANDLE handle = Handle(stream);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0) {
            g_redraws[stream] = (mode & VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                                SetConsoleMode(handle, mode | VIRTUAL_TERMINAL_PROCESSING) != 0;
        }
    }
}

bool ConsoleCanRedraw(ConsoleStream stream) { return g_redraws[stream]; }

int ConsoleColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(Handle(CONSOLE_OUT), &info)) {
        return DEFAULT_COLUMNS;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void ConsoleWrite(ConsoleStream stream, const std::wstring& text)
{
    HANDLE handle = Handle(stream);
    if (IsConsole(handle)) {
        DWORD written = 0;
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = EncodeUtf8(text);
    DWORD done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &wrote, nullptr) ||
            wrote == 0) {
            return;  // nowhere left to tell the user
        }
        done += wrote;
    }
}

void ConsoleWatchInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

int ConsoleWaitForEnter()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        char byte = 0;
        DWORD got = 0;
        if (!ReadFile(input, &byte, 1, &got, nullptr) || got == 0 || g_bAbort) {
            return 0;
        }
        if (byte == '\n') {
            return 1;
        }
    }
}

std::vector<std::wstring> ListSerialPorts()
{
    // Asked for by name: the list of all DOS devices leaves out ports that
    // some systems (Wine among them) only map when asked.
    std::vector<std::wstring> ports;
    for (int number = 1; number <= COM_PORT_LAST; ++number) {
        std::wstring name = L"COM" + std::to_wstring(number);
        wchar_t target[DEVICE_TARGET_CHARS];
        if (QueryDosDeviceW(name.c_str(), target, DEVICE_TARGET_CHARS) != 0) {
            ports.push_back(name);
        }
    }
    return ports;
}
