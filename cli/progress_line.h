// The lines that show a board's update on a console: the redrawn progress
// line of a terminal and the plain lines of a log.
#ifndef TARVELIN_CLI_PROGRESS_LINE_H
#define TARVELIN_CLI_PROGRESS_LINE_H

#include <string>

struct BoardProgress {
    std::wstring label;    // the port as the user named it
    std::wstring status;   // the status line's text
    std::wstring result;   // when finished: how it ended
    int position = 0;      // the dialog's bar, 0 to 100, before programming
    int blocksTotal = 0;   // blocks to send
    int blocksDone = 0;    // blocks committed
    bool programming = false;
    bool finished = false;
    double programmingSeconds = 0;  // since programming began
};

// Columns text takes on a terminal: East Asian wide characters take two.
int DisplayColumns(const std::wstring& text);
// text cut to at most columns columns.
std::wstring FitColumns(const std::wstring& text, int columns);
// "850 B", "10.5 KB", "1.2 MB" (of 1024).
std::wstring FormatBytes(double bytes);
// "0:07", "12:34", "1:02:03"; "--:--" for a negative time (unknown).
std::wstring FormatDuration(double seconds);

// One terminal line: label, bar, blocks, rate and time left, or the status.
std::wstring ProgressLine(const BoardProgress& board, int columns);
// The blocks, rate and time left: "12/40 blocks  10.5 KB/s  0:03 left".
std::wstring BlockSummary(const BoardProgress& board);

#endif
