#include "cli/progress_line.h"

#include "cli/resource_format.h"
#include "res/string_ids.h"
#include "update/update.h"

#include <cmath>
#include <cwchar>

namespace {

constexpr int BAR_CELLS = 24;
constexpr int SECONDS_PER_MINUTE = 60, SECONDS_PER_HOUR = 3600;

bool IsWide(wchar_t c)
{
    unsigned code = static_cast<unsigned>(c);
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
           (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
           (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
           (code >= 0xFFE0 && code <= 0xFFE6);
}

std::wstring Bar(int filled)
{
    return L"[" + std::wstring(static_cast<size_t>(filled), L'#') +
           std::wstring(static_cast<size_t>(BAR_CELLS - filled), L'.') + L"]";
}

// "12/40 blocks"
std::wstring BlocksDone(const BoardProgress& board)
{
    return FormatResource(IDS_CLI_BLOCKS, {board.blocksDone, board.blocksTotal});
}

}  // namespace

int DisplayColumns(const std::wstring& text)
{
    int columns = 0;
    for (wchar_t c : text) {
        columns += IsWide(c) ? 2 : 1;
    }
    return columns;
}

std::wstring FitColumns(const std::wstring& text, int columns)
{
    int used = 0;
    size_t end = 0;
    for (; end < text.size(); ++end) {
        int width = IsWide(text[end]) ? 2 : 1;
        if (used + width > columns) {
            break;
        }
        used += width;
    }
    return text.substr(0, end);
}

std::wstring FormatBytes(double bytes)
{
    static const wchar_t* const UNITS[] = {L"KB", L"MB", L"GB"};
    wchar_t text[32];
    if (bytes < 1024) {
        std::swprintf(text, 32, L"%.0f B", bytes);
        return text;
    }
    int unit = 0;
    bytes /= 1024;
    while (bytes >= 1024 && unit < 2) {
        bytes /= 1024;
        ++unit;
    }
    std::swprintf(text, 32, L"%.1f %ls", bytes, UNITS[unit]);
    return text;
}

std::wstring FormatDuration(double seconds)
{
    if (seconds < 0 || !std::isfinite(seconds)) {
        return L"--:--";
    }
    long long whole = std::llround(seconds);
    wchar_t text[32];
    if (whole >= SECONDS_PER_HOUR) {
        std::swprintf(text, 32, L"%lld:%02lld:%02lld", whole / SECONDS_PER_HOUR,
                      whole % SECONDS_PER_HOUR / SECONDS_PER_MINUTE, whole % SECONDS_PER_MINUTE);
    } else {
        std::swprintf(text, 32, L"%lld:%02lld", whole / SECONDS_PER_MINUTE, whole % SECONDS_PER_MINUTE);
    }
    return text;
}

std::wstring BlockSummary(const BoardProgress& board)
{
    double rate = board.programmingSeconds > 0 && board.blocksDone > 0
                      ? board.blocksDone * static_cast<double>(BLOCK_SIZE) / board.programmingSeconds
                      : -1;
    double left = rate > 0 ? (board.blocksTotal - board.blocksDone) * static_cast<double>(BLOCK_SIZE) / rate : -1;
    std::wstring rateText = rate > 0 ? FormatBytes(rate) : L"--";
    return BlocksDone(board) + L"  " +
           FormatResource(IDS_CLI_RATE_LEFT, {rateText.c_str(), FormatDuration(left).c_str()});
}

std::wstring ProgressLine(const BoardProgress& board, int columns)
{
    int filled = 0;
    if (board.programming || board.finished) {
        filled = board.blocksTotal > 0 ? board.blocksDone * BAR_CELLS / board.blocksTotal : BAR_CELLS;
    } else {
        filled = board.position * BAR_CELLS / 100;
    }
    filled = filled < 0 ? 0 : (filled > BAR_CELLS ? BAR_CELLS : filled);
    std::wstring line = board.label + L"  " + Bar(filled) + L"  ";
    if (board.finished) {
        line += BlocksDone(board) + L"  " + board.result;
    } else if (board.programming) {
        line += BlockSummary(board);
    } else {
        line += board.status;
    }
    return FitColumns(line, columns);
}
