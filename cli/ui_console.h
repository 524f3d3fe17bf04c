// Which board the calling thread's user-interface reports belong to.
#ifndef TARVELIN_CLI_UI_CONSOLE_H
#define TARVELIN_CLI_UI_CONSOLE_H

struct BoardReport;

// null: reports of the program as a whole (messages only).
void BindBoardReport(BoardReport* board);

#endif
