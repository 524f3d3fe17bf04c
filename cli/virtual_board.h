// The virtual board of --simulate, inside the program, on a terminal device
// of its own: the update talks to it through the real serial port code.
#ifndef TARVELIN_CLI_VIRTUAL_BOARD_H
#define TARVELIN_CLI_VIRTUAL_BOARD_H

#include <string>
#include <vector>

struct VirtualBoard;

// Starts a board at the line's own speed, its device in *path; null where
// none can be had (no pseudo-terminals: Windows).
VirtualBoard* StartVirtualBoard(std::wstring* path);
// Stops and frees it, storing its flash (0xFF where nothing was written).
void StopVirtualBoard(VirtualBoard* board, std::vector<unsigned char>* flash);

#endif
