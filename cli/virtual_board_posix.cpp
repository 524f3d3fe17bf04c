#include "cli/virtual_board.h"

#include "cli/start_thread.h"
#include "sim/board.h"

#include <new>
#include <unistd.h>

struct VirtualBoard {
    int slave;
    std::atomic<bool> stop;
    BoardResult result;
    std::thread line;
};

VirtualBoard* StartVirtualBoard(std::wstring* path)
{
    int slave = -1;
    std::string slavePath;
    int master = OpenBoardTerminal(&slave, &slavePath);
    if (master < 0) {
        return nullptr;
    }
    VirtualBoard* board = new (std::nothrow) VirtualBoard{slave, {false}, {}, {}};
    if (board == nullptr) {
        close(master);
        close(slave);
        return nullptr;
    }
    BoardOptions options;
    options.wireRate = true;  // as slow as a real line: the progress is worth watching
    if (!StartThread(&board->line, [board, master, options] {
            RunBoard(master, options, &board->stop, nullptr, &board->result);
        })) {
        close(master);
        close(slave);
        delete board;
        return nullptr;
    }
    path->assign(slavePath.begin(), slavePath.end());
    return board;
}

void StopVirtualBoard(VirtualBoard* board, std::vector<unsigned char>* flash)
{
    board->stop = true;
    board->line.join();
    close(board->slave);
    *flash = board->result.flash;
    delete board;
}
