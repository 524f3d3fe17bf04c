// Drives tarvelin.exe through its real windows from a second process and
// prints what it sees, one tab-separated line per event, in UTF-8:
//   openfile <title> <file type>      the open-file dialog (then answered)
//   dialog <title> <status> <progress> the progress dialog, first seen
//   status <text> / progress <n>      changes of the status line and the bar
//   msgbox <caption> <text> icon|none a message box (then confirmed)
//   exit <code>                       the process ended
//   timeout                           the time limit passed (process killed)
//
// usage: tarvelin_driver.exe SECONDS FILE-OR-- [ABORT-AT] -- PROGRAM [ARGS...]
//        tarvelin_driver.exe --start-desktop
//   FILE-OR--  the path to choose in the open-file dialog, or "-" to cancel
//   ABORT-AT   press the abort button once the bar reaches this position, or
//              "closebox@N": the caption's close box instead of the button, or
//              "close:N": close the dialog once N message boxes were confirmed
//              (for failures that leave the dialog open)
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

namespace {

const int OPEN_FILE_NAME_COMBO = 0x47C;
const int OPEN_FILE_NAME_EDIT = 0x480;
const int OPEN_FILE_TYPE_COMBO = 0x470;
const int WRITER_STATUS = 1039;
const int WRITER_PROGRESS = 1040;
const int WRITER_ABORT = 1141;
const int MESSAGE_BOX_TEXT = 0xFFFF;
const int MESSAGE_BOX_ICON = 0x440;
const DWORD POLL_MS = 20;
const wchar_t PROGRAMMING_STATUS[] = L"プログラムデータの書き込み中...";
const UINT SEND_TIMEOUT_MS = 2000;

void Print(const std::wstring& line)
{
    std::wstring escaped;
    for (wchar_t c : line) {
        if (c == L'\r') {
            escaped += L"\\r";
        } else if (c == L'\n') {
            escaped += L"\\n";
        } else {
            escaped += c;
        }
    }
    escaped += L'\n';
    int bytes = WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()), nullptr, 0,
                                    nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()), &utf8[0], bytes, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[4096] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        SEND_TIMEOUT_MS, &ignored);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct Windows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    Windows* windows = reinterpret_cast<Windows*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId && IsWindowVisible(window) && ClassOf(window) == L"#32770") {
        windows->found.push_back(window);
    }
    return TRUE;
}

// Whether the box shows an icon. Which one cannot be told from outside
// under Wine: each process loads its own copies of the system icons.
std::wstring IconName(HWND box)
{
    HWND icon = GetDlgItem(box, MESSAGE_BOX_ICON);
    DWORD_PTR shown = 0;
    if (icon != nullptr && IsWindowVisible(icon)) {
        SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &shown);
    }
    return shown != 0 ? L"icon" : L"none";
}

struct Options {
    DWORD seconds = 60;
    std::wstring file;
    int abortAt = -1;
    int closeAfterBoxes = 0;
    bool abortWithCloseBox = false;
    std::wstring commandLine;
};

std::wstring Quote(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

bool ParseOptions(Options* options)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return false;
    }
    int separator = -1;
    for (int i = 1; i < count; ++i) {
        if (std::wstring(arguments[i]) == L"--") {
            separator = i;
            break;
        }
    }
    bool usable = separator >= 3 && separator + 1 < count;
    if (usable) {
        options->seconds = static_cast<DWORD>(_wtoi(arguments[1]));
        options->file = arguments[2];
        if (separator >= 4) {
            std::wstring when = arguments[3];
            if (when.rfind(L"close:", 0) == 0) {
                options->closeAfterBoxes = _wtoi(when.c_str() + 6);
            } else if (when.rfind(L"closebox@", 0) == 0) {
                options->abortAt = _wtoi(when.c_str() + 9);
                options->abortWithCloseBox = true;
            } else {
                options->abortAt = _wtoi(when.c_str());
            }
        }
        // The program's own arguments are passed as written, unquoted, so
        // that its command line is exactly what a user would type.
        options->commandLine = Quote(arguments[separator + 1]);
        for (int i = separator + 2; i < count; ++i) {
            options->commandLine += L" ";
            options->commandLine += arguments[i];
        }
    }
    LocalFree(arguments);
    return usable;
}

class Watcher {
public:
    explicit Watcher(const Options& options) : options_(options) {}

    // Looks at the program's windows once and answers what needs answering.
    void Poll(DWORD processId)
    {
        Windows windows{processId, {}};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        // The progress dialog first: the status a box reports on must be
        // read before the box is answered.
        for (HWND window : windows.found) {
            if (GetDlgItem(window, WRITER_PROGRESS) != nullptr) {
                WatchWriter(window);
            }
        }
        for (HWND window : windows.found) {
            if (GetDlgItem(window, OPEN_FILE_NAME_COMBO) != nullptr || GetDlgItem(window, OPEN_FILE_NAME_EDIT) != nullptr) {
                AnswerOpenFile(window);
            } else if (GetDlgItem(window, WRITER_PROGRESS) == nullptr && GetDlgItem(window, MESSAGE_BOX_TEXT) != nullptr) {
                ConfirmMessageBox(window);
            }
        }
    }

private:
    void AnswerOpenFile(HWND dialog)
    {
        if (answered_.count(dialog)) {
            return;
        }
        answered_.insert(dialog);
        HWND type = GetDlgItem(dialog, OPEN_FILE_TYPE_COMBO);
        Print(L"openfile\t" + TextOf(dialog) + L"\t" + (type ? TextOf(type) : L""));
        if (options_.file == L"-") {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND combo = GetDlgItem(dialog, OPEN_FILE_NAME_COMBO);
        HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : GetDlgItem(dialog, OPEN_FILE_NAME_EDIT);
        DWORD_PTR ignored = 0;
        for (HWND target : {combo, edit}) {
            if (target != nullptr) {
                SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(options_.file.c_str()),
                                    SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored);
            }
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }

    void WatchWriter(HWND dialog)
    {
        // A dialog on its way out answers nothing, or zeros: no reading then.
        wchar_t text[4096] = {};
        DWORD_PTR ignored = 0;
        DWORD_PTR position = 0;
        if (!IsWindowVisible(dialog) ||
            !SendMessageTimeoutW(GetDlgItem(dialog, WRITER_STATUS), WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored) ||
            !SendMessageTimeoutW(GetDlgItem(dialog, WRITER_PROGRESS), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG,
                                 SEND_TIMEOUT_MS, &position) ||
            !IsWindow(dialog)) {
            return;
        }
        std::wstring status = text;
        if (!writerSeen_) {
            writerSeen_ = true;
            Print(L"dialog\t" + TextOf(dialog) + L"\t" + status + L"\t" + std::to_wstring(position));
        } else {
            if (status != status_) {
                Print(L"status\t" + status);
            }
            if (static_cast<int>(position) != position_) {
                Print(L"progress\t" + std::to_wstring(position));
            }
        }
        status_ = status;
        position_ = static_cast<int>(position);
        if (options_.closeAfterBoxes > 0 && boxesConfirmed_ >= options_.closeAfterBoxes && !abortPressed_) {
            abortPressed_ = true;
            Print(L"close");
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        // Only while blocks are programmed: the loader's echo check moves the
        // bar too.
        if (options_.abortAt >= 0 && !abortPressed_ && position_ >= options_.abortAt &&
            status_ == PROGRAMMING_STATUS) {
            abortPressed_ = true;
            if (options_.abortWithCloseBox) {
                Print(L"closebox\t" + std::to_wstring(position_));
                PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                Print(L"abort\t" + std::to_wstring(position_));
                PostMessageW(GetDlgItem(dialog, WRITER_ABORT), BM_CLICK, 0, 0);
            }
        }
    }

    void ConfirmMessageBox(HWND box)
    {
        if (answered_.count(box)) {
            return;
        }
        answered_.insert(box);
        Print(L"msgbox\t" + TextOf(box) + L"\t" + TextOf(GetDlgItem(box, MESSAGE_BOX_TEXT)) + L"\t" + IconName(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ++boxesConfirmed_;
    }

    const Options& options_;
    std::set<HWND> answered_;
    bool writerSeen_ = false;
    bool abortPressed_ = false;
    int boxesConfirmed_ = 0;
    std::wstring status_;
    int position_ = -1;
};

}  // namespace

// Wine starts its desktop process with the first program that uses the
// window system, and that process keeps the program's output open: whoever
// reads the output to its end would wait for the desktop. This mode starts
// it, from a process whose output goes nowhere.
int StartDesktop()
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        return 1;
    }
    DestroyWindow(window);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wstring(argv[1]) == L"--start-desktop") {
        return StartDesktop();
    }
    Options options;
    if (!ParseOptions(&options)) {
        Print(L"usage: tarvelin_driver.exe SECONDS FILE-OR-- [ABORT-AT] -- PROGRAM [ARGS...]");
        return 2;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> commandLine(options.commandLine.begin(), options.commandLine.end());
    commandLine.push_back(L'\0');
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Print(L"error\tCreateProcess " + std::to_wstring(GetLastError()));
        return 2;
    }
    Watcher watcher(options);
    DWORD deadline = GetTickCount() + options.seconds * 1000;
    int result = 0;
    for (;;) {
        watcher.Poll(process.dwProcessId);
        if (WaitForSingleObject(process.hProcess, POLL_MS) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            Print(L"exit\t" + std::to_wstring(code));
            break;
        }
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
            Print(L"timeout");
            TerminateProcess(process.hProcess, 1);
            result = 1;
            break;
        }
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}
