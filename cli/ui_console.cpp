// The user-interface seam of the console program: each report goes to the
// board of the thread that makes it.
#include "app/ui.h"

#include "app/shell.h"
#include "cli/board_report.h"
#include "cli/ui_console.h"
#include "res/string_ids.h"

#include <cwchar>

namespace {

thread_local BoardReport* t_board = nullptr;

}  // namespace

void BindBoardReport(BoardReport* board) { t_board = board; }

void UiShowMessage(MessageOwner, const wchar_t* text, MessageIcon icon) { ReportMessage(t_board, text, icon); }

void UiSetStatus(const wchar_t* text)
{
    ReportStatus(t_board, text);
    // The programming status is set right before the first block.
    if (std::wcscmp(text, LoadResString(IDS_STATUS_PROGRAMMING)) == 0) {
        ReportProgrammingStarted(t_board);
    }
}

void UiSetProgress(int position) { ReportPosition(t_board, position); }

// The console has no dialog; the board's thread ends with its update.
void UiEndDialog() {}

void UiBlockProgrammed(int) { ReportBlockProgrammed(t_board); }
