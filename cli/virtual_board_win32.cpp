#include "cli/virtual_board.h"

// The virtual board lives on a pseudo-terminal, which Windows does not have.
VirtualBoard* StartVirtualBoard(std::wstring*) { return nullptr; }

void StopVirtualBoard(VirtualBoard*, std::vector<unsigned char>* flash) { flash->clear(); }
