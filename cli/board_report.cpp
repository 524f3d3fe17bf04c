#include "cli/board_report.h"

#include "cli/console.h"

#include <cwchar>
#include <mutex>

namespace {

const wchar_t CURSOR_UP_FORMAT[] = L"\r\x1b[%dA\x1b[J";  // up n lines, clear to the end
constexpr int TENTHS = 10;

std::mutex g_reportLock;
std::vector<BoardReport>* g_boards = nullptr;
bool g_redraw = false;
int g_drawnLines = 0;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void UpdateClock(BoardReport* board)
{
    if (board->progress.programming && !board->progress.finished) {
        board->progress.programmingSeconds = SecondsSince(board->programmingStart);
    }
}

// Lock held from here on.
void ClearLines()
{
    if (g_drawnLines > 0) {
        wchar_t up[32];
        std::swprintf(up, 32, CURSOR_UP_FORMAT, g_drawnLines);
        ConsoleWrite(CONSOLE_OUT, up);
        g_drawnLines = 0;
    }
}

void DrawLines()
{
    if (!g_redraw || g_boards == nullptr) {
        return;
    }
    // One column spare: a line that fills the last column wraps on some terminals.
    int columns = ConsoleColumns() - 1;
    std::wstring lines;
    for (BoardReport& board : *g_boards) {
        UpdateClock(&board);
        lines += ProgressLine(board.progress, columns) + L"\n";
    }
    ConsoleWrite(CONSOLE_OUT, lines);
    g_drawnLines = static_cast<int>(g_boards->size());
}

void Redraw()
{
    ClearLines();
    DrawLines();
}

// Plain output names the board on every line; messages of a lone board go
// as they are.
std::wstring Prefix(const BoardReport* board, bool always)
{
    if (board == nullptr || (!always && (g_boards == nullptr || g_boards->size() < 2))) {
        return L"";
    }
    return board->progress.label + L": ";
}

void PlainLine(const BoardReport* board, const std::wstring& text)
{
    ConsoleWrite(CONSOLE_OUT, Prefix(board, true) + text + L"\n");
}

}  // namespace

std::wstring ConsoleText(const wchar_t* text)
{
    std::wstring out;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c == L'\r') {
            out += L'\n';
            if (c[1] == L'\n') {
                ++c;
            }
        } else {
            out += *c;
        }
    }
    return out;
}

void ReportBegin(std::vector<BoardReport>* boards, bool redraw)
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    g_boards = boards;
    g_redraw = redraw;
    DrawLines();
}

void ReportMessage(BoardReport* board, const wchar_t* text, MessageIcon icon)
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    ClearLines();
    std::wstring message = ConsoleText(text);
    std::wstring prefix = Prefix(board, false);
    if (!prefix.empty()) {
        std::wstring indented;
        for (wchar_t c : message) {
            indented += c;
            if (c == L'\n') {
                indented += prefix;
            }
        }
        message = prefix + indented;
    }
    ConsoleWrite(icon == ICON_NONE ? CONSOLE_OUT : CONSOLE_ERR, message + L"\n");
    DrawLines();
}

void ReportStatus(BoardReport* board, const wchar_t* text)
{
    if (board == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> hold(g_reportLock);
    board->progress.status = text;
    if (g_redraw) {
        Redraw();
    } else {
        PlainLine(board, text);
    }
}

void ReportProgrammingStarted(BoardReport* board)
{
    if (board == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> hold(g_reportLock);
    board->progress.programming = true;
    board->programmingStart = std::chrono::steady_clock::now();
    if (g_redraw) {
        Redraw();
    }
}

void ReportPosition(BoardReport* board, int position)
{
    if (board == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> hold(g_reportLock);
    board->progress.position = position;
    if (g_redraw) {
        Redraw();
    }
}

void ReportBlockProgrammed(BoardReport* board)
{
    if (board == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> hold(g_reportLock);
    BoardProgress& progress = board->progress;
    ++progress.blocksDone;
    UpdateClock(board);
    int tenth = progress.blocksTotal > 0 ? progress.blocksDone * TENTHS / progress.blocksTotal : TENTHS;
    if (g_redraw) {
        Redraw();
    } else if (tenth != board->plainTenth) {
        board->plainTenth = tenth;
        PlainLine(board, BlockSummary(progress));
    }
}

void ReportFinished(BoardReport* board, const std::wstring& result)
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    board->progress.result = result;
    board->progress.finished = true;
    if (g_redraw) {
        Redraw();
    }
}

void ReportRefresh()
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    if (g_redraw) {
        Redraw();
    }
}

void ReportEnd()
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    if (g_redraw) {
        Redraw();
    }
    g_boards = nullptr;
    g_drawnLines = 0;
}
