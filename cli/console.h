// The console as the console program sees it: its two output streams, the
// user's Enter, Ctrl-C and the serial ports of the machine. One
// implementation per platform.
#ifndef TARVELIN_CLI_CONSOLE_H
#define TARVELIN_CLI_CONSOLE_H

#include <string>
#include <vector>

enum ConsoleStream { CONSOLE_OUT, CONSOLE_ERR };

// Prepares the console for the program's output; call once at start. A
// reader that goes away no longer ends the program.
void ConsoleStart();
// True when stream is a terminal whose lines can be redrawn.
bool ConsoleCanRedraw(ConsoleStream stream);
// The terminal's width in columns; 80 when it cannot be had.
int ConsoleColumns();
// Writes text (lines ended by '\n') at once, unbuffered.
void ConsoleWrite(ConsoleStream stream, const std::wstring& text);
// From now on Ctrl-C sets g_bAbort, and so does a closing terminal or a
// request to stop; a second Ctrl-C ends the program at once.
void ConsoleWatchInterrupt();
// Waits for a line on standard input: 1 when Enter came, 0 on end of input
// or Ctrl-C.
int ConsoleWaitForEnter();
// The serial ports that can be found, by the names the user gives --port.
std::vector<std::wstring> ListSerialPorts();

#endif
