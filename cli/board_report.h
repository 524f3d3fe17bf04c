// What the console shows while boards are updated: a redrawn progress line
// per board on a terminal, plain lines otherwise, and the messages of each
// board in between. Safe to call from every board's thread.
#ifndef TARVELIN_CLI_BOARD_REPORT_H
#define TARVELIN_CLI_BOARD_REPORT_H

#include "app/ui.h"
#include "cli/progress_line.h"

#include <chrono>
#include <string>
#include <vector>

struct BoardReport {
    BoardProgress progress;
    std::chrono::steady_clock::time_point programmingStart;
    int plainTenth = -1;  // the last tenth of the blocks told in plain lines
};

// Starts showing boards (kept by the caller until ReportEnd); redraw says
// whether progress lines are redrawn in place.
void ReportBegin(std::vector<BoardReport>* boards, bool redraw);
// A message of board (null: of the program as a whole).
void ReportMessage(BoardReport* board, const wchar_t* text, MessageIcon icon);
void ReportStatus(BoardReport* board, const wchar_t* text);
// The blocks begin: the rate and the time left count from here.
void ReportProgrammingStarted(BoardReport* board);
void ReportPosition(BoardReport* board, int position);
void ReportBlockProgrammed(BoardReport* board);
void ReportFinished(BoardReport* board, const std::wstring& result);
// Brings the progress lines up to date: rate and time left move with the clock.
void ReportRefresh();
// The last drawing; after it, boards are the caller's again.
void ReportEnd();

// Text from the string table for a console: lines end in '\n' alone.
std::wstring ConsoleText(const wchar_t* text);

#endif
