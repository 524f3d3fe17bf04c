#include "cli/cli.h"

#include "app/shell.h"
#include "cli/block_ranges.h"
#include "cli/board_report.h"
#include "cli/console.h"
#include "cli/options.h"
#include "cli/resource_format.h"
#include "cli/start_thread.h"
#include "cli/ui_console.h"
#include "cli/virtual_board.h"
#include "res/string_ids.h"
#include "serial/port.h"
#include "update/update.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <mutex>

namespace {

// How often a terminal's progress lines follow the clock.
constexpr std::chrono::milliseconds REFRESH_INTERVAL(100);
constexpr int RUNNING = -1;

struct FreeImage {
    void operator()(unsigned char* image) const { std::free(image); }
};
using Image = std::unique_ptr<unsigned char[], FreeImage>;

// One board's thread and how its update ended.
struct BoardRun {
    std::wstring device;
    std::thread thread;
    std::atomic<int> exitCode{RUNNING};
};

std::mutex g_finishLock;
std::condition_variable g_finished;

void Say(ConsoleStream stream, const std::wstring& text) { ConsoleWrite(stream, text + L"\n"); }

// How each ending of a board's update is told: its exit code and the word
// on its result line.
struct Ending {
    int exitCode;
    int resultText;
};

Ending EndingOf(UpdateOutcome outcome)
{
    switch (outcome) {
    case UPDATE_DONE:
        return {CLI_EXIT_DONE, IDS_CLI_RESULT_DONE};
    case UPDATE_FILE_FAILED:
        return {CLI_EXIT_FILE, IDS_CLI_RESULT_FILE};
    case UPDATE_PORT_FAILED:
        return {CLI_EXIT_PORT, IDS_CLI_RESULT_PORT};
    case UPDATE_BOOT_FAILED:
        return {CLI_EXIT_BOOT, IDS_CLI_RESULT_BOOT};
    case UPDATE_ABORTED:
        return {CLI_EXIT_ABORTED, IDS_CLI_RESULT_ABORTED};
    case UPDATE_PROGRAM_FAILED:
        break;
    }
    return {CLI_EXIT_PROGRAM, IDS_CLI_RESULT_PROGRAM};
}

// "COM12" in any case names a Windows port by number; anything else is a
// device path as it stands.
std::wstring DeviceOf(const std::wstring& port)
{
    bool byNumber = port.size() > 3 && port.size() <= 3 + COM_PORT_MAX_DIGITS;
    for (size_t i = 0; byNumber && i < port.size(); ++i) {
        byNumber = i < 3 ? static_cast<wchar_t>(std::towupper(port[i])) == L"COM"[i] : std::iswdigit(port[i]) != 0;
    }
    if (!byNumber) {
        return port;
    }
    wchar_t path[DEVICE_PATH_CHARS];
    ComPortDevicePath(std::wcstol(port.c_str() + 3, nullptr, 10), path);
    return path;
}

int CheckFirmware(const CliOptions& options)
{
    int size = 0;
    int paddedSize = 0;
    Image image(LoadPaddedFirmware(options.firmware.c_str(), &size, &paddedSize));
    if (!image) {
        return CLI_EXIT_FILE;
    }
    std::vector<BlockRange> ranges = BlocksToSend(image.get(), paddedSize);
    Say(CONSOLE_OUT, FormatResource(IDS_CLI_CHECK_SIZE, {size, size > 0 ? size - 1 : 0}));
    Say(CONSOLE_OUT, LoadResString(IDS_CLI_CHECK_RANGES));
    for (const BlockRange& range : ranges) {
        Say(CONSOLE_OUT, FormatResource(IDS_CLI_CHECK_RANGE, {range.first, range.last, range.blocks}));
    }
    Say(CONSOLE_OUT, FormatResource(IDS_CLI_CHECK_BLOCKS, {CountBlocks(ranges), paddedSize / BLOCK_SIZE, BLOCK_SIZE}));
    return CLI_EXIT_DONE;
}

int ListPorts()
{
    std::vector<std::wstring> ports = ListSerialPorts();
    if (ports.empty()) {
        Say(CONSOLE_ERR, LoadResString(IDS_CLI_NO_PORTS));
        return CLI_EXIT_OTHER;
    }
    for (const std::wstring& port : ports) {
        Say(CONSOLE_OUT, port);
    }
    return CLI_EXIT_DONE;
}

// The instruction, then Enter; 0 when the user did not confirm.
int ConfirmBootMode(const CliOptions& options)
{
    Say(CONSOLE_OUT, ConsoleText(LoadResString(IDS_BOOT_MODE_INSTRUCTION)));
    if (options.yes) {
        return 1;
    }
    ConsoleWrite(CONSOLE_OUT, ConsoleText(LoadResString(IDS_CLI_PRESS_ENTER)) + L" ");
    if (ConsoleWaitForEnter()) {
        return 1;
    }
    Say(CONSOLE_OUT, L"");
    Say(CONSOLE_ERR, LoadResString(IDS_CLI_NOT_CONFIRMED));
    return 0;
}

bool AllFinished(const std::vector<std::unique_ptr<BoardRun>>& runs)
{
    for (const auto& run : runs) {
        if (run->exitCode == RUNNING) {
            return false;
        }
    }
    return true;
}

// Waits for every board; after Ctrl-C, only until no board is in the middle
// of a block (one in its boot phase stops at once, as the dialog does).
// Returns 0 when boards were left running.
int AwaitBoards(const std::vector<std::unique_ptr<BoardRun>>& runs, bool redraw)
{
    bool stoppingTold = false;
    std::unique_lock<std::mutex> hold(g_finishLock);
    while (!AllFinished(runs)) {
        g_finished.wait_for(hold, REFRESH_INTERVAL);
        hold.unlock();
        if (redraw) {
            ReportRefresh();
        }
        if (g_bAbort && !stoppingTold) {
            ReportMessage(nullptr, LoadResString(IDS_CLI_STOPPING), ICON_WARNING);
            stoppingTold = true;
        }
        bool leave = g_bAbort && g_bProgramming == 0 && !AllFinished(runs);
        hold.lock();
        if (leave) {
            return 0;
        }
    }
    return 1;
}

// The virtual board's flash against the firmware; 1 when they agree.
int CompareFlash(const std::vector<unsigned char>& flash, const unsigned char* image, int size)
{
    for (size_t i = 0; i < flash.size(); ++i) {
        int expected = static_cast<int>(i) < size ? image[i] : 0xFF;
        if (flash[i] != expected) {
            Say(CONSOLE_ERR, FormatResource(IDS_CLI_SIMULATION_DIFFERS, {static_cast<int>(i)}));
            return 0;
        }
    }
    Say(CONSOLE_OUT, LoadResString(IDS_CLI_SIMULATION_MATCHES));
    return 1;
}

int UpdateBoards(const CliOptions& options)
{
    std::wstring loaderPath = options.loader.empty() ? std::wstring(GetModuleDirectory()) + LOADER_FILE : options.loader;
    int loaderSize = 0;
    Image loader(LoadLoader(loaderPath.c_str(), &loaderSize));
    if (!loader) {
        return CLI_EXIT_FILE;
    }
    // A file that cannot be written is told before the user restarts the board.
    int firmwareSize = 0;
    int paddedSize = 0;
    Image firmware(LoadPaddedFirmware(options.firmware.c_str(), &firmwareSize, &paddedSize));
    if (!firmware) {
        return CLI_EXIT_FILE;
    }
    int blocksToSend = CountBlocks(BlocksToSend(firmware.get(), paddedSize));

    std::vector<std::wstring> labels = options.ports;
    VirtualBoard* virtualBoard = nullptr;
    std::vector<std::unique_ptr<BoardRun>> runs;
    if (options.simulate) {
        std::wstring path;
        virtualBoard = StartVirtualBoard(&path);
        if (virtualBoard == nullptr) {
            Say(CONSOLE_ERR, LoadResString(IDS_CLI_SIMULATION_UNAVAILABLE));
            return CLI_EXIT_OTHER;
        }
        Say(CONSOLE_OUT, FormatResource(IDS_CLI_SIMULATING, {path.c_str()}));
        labels.push_back(path);
    }
    ConsoleWatchInterrupt();
    // The virtual board is in its boot mode already.
    if (!options.simulate && !ConfirmBootMode(options)) {
        return CLI_EXIT_ABORTED;
    }

    std::vector<BoardReport> reports(labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        reports[i].progress.label = labels[i];
        reports[i].progress.blocksTotal = blocksToSend;
        runs.push_back(std::make_unique<BoardRun>());
        runs[i]->device = DeviceOf(labels[i]);
    }
    bool redraw = ConsoleCanRedraw(CONSOLE_OUT);
    ReportBegin(&reports, redraw);
    int worst = CLI_EXIT_DONE;
    for (size_t i = 0; i < runs.size(); ++i) {
        BoardRun* run = runs[i].get();
        BoardReport* report = &reports[i];
        const unsigned char* loaderImage = loader.get();
        const std::wstring& firmwarePath = options.firmware;
        int started = StartThread(&run->thread, [run, report, loaderImage, loaderSize, &firmwarePath] {
            BindBoardReport(report);
            UpdateOutcome outcome = UpdateBoard(run->device.c_str(), loaderImage, loaderSize, firmwarePath.c_str());
            Ending ending = EndingOf(outcome);
            ReportFinished(report, LoadResString(ending.resultText));
            std::lock_guard<std::mutex> hold(g_finishLock);
            run->exitCode = ending.exitCode;
            g_finished.notify_all();
        });
        if (!started) {
            ReportMessage(report, LoadResString(IDS_CLI_THREAD_FAILED), ICON_ERROR);
            ReportFinished(report, LoadResString(IDS_CLI_THREAD_FAILED));
            run->exitCode = CLI_EXIT_OTHER;
        }
    }
    bool allEnded = AwaitBoards(runs, redraw);
    for (size_t i = 0; i < runs.size(); ++i) {
        int code = runs[i]->exitCode;
        if (code == RUNNING) {
            Ending ending = EndingOf(UPDATE_ABORTED);
            code = ending.exitCode;
            ReportFinished(&reports[i], LoadResString(ending.resultText));
        }
        worst = code > worst ? code : worst;
    }
    ReportEnd();
    for (size_t i = 0; i < runs.size(); ++i) {
        Say(CONSOLE_OUT, labels[i] + L": " + reports[i].progress.result);
    }
    if (!allEnded) {
        // Boards still in their boot phase are left as the dialog leaves
        // them: the program ends under them, between no two blocks.
        std::_Exit(worst);
    }
    for (auto& run : runs) {
        if (run->thread.joinable()) {
            run->thread.join();
        }
    }
    if (virtualBoard != nullptr) {
        std::vector<unsigned char> flash;
        StopVirtualBoard(virtualBoard, &flash);
        if (worst == CLI_EXIT_DONE && !CompareFlash(flash, firmware.get(), firmwareSize)) {
            worst = CLI_EXIT_PROGRAM;
        }
    }
    return worst;
}

}  // namespace

int RunCli(const std::vector<std::wstring>& arguments)
{
    ConsoleStart();
    CliOptions options;
    std::wstring error;
    if (!ParseCliOptions(arguments, &options, &error)) {
        Say(CONSOLE_ERR, error);
        Say(CONSOLE_ERR, L"");
        Say(CONSOLE_ERR, LoadResString(IDS_CLI_USAGE));
        return CLI_EXIT_USAGE;
    }
    switch (options.mode) {
    case CLI_HELP:
        Say(CONSOLE_OUT, LoadResString(IDS_CLI_USAGE));
        return CLI_EXIT_DONE;
    case CLI_LIST_PORTS:
        return ListPorts();
    case CLI_CHECK:
        return CheckFirmware(options);
    case CLI_UPDATE:
        break;
    }
    return UpdateBoards(options);
}
