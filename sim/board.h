// A virtual robot CPU board on a pseudo-terminal: its boot mode, then the
// write-control program with a flash model, as the program sees them on the
// wire; with faults to inject and a transcript of every byte.
#ifndef TARVELIN_SIM_BOARD_H
#define TARVELIN_SIM_BOARD_H

#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

constexpr int FLASH_BYTES = 0x100000;
constexpr int FLASH_BLOCK_BYTES = 128;

enum BoardMode {
    BOARD_NORMAL,  // boot mode, then block programming
    BOARD_ECHO,    // a loopback: every byte comes back (for serial tests)
    BOARD_SILENT,  // never answers
};

struct BoardOptions {
    BoardMode mode = BOARD_NORMAL;
    bool skipBootMode = false;  // the write-control program runs from the start
    int answerAfterBursts = 1;  // wake-up bursts before the first 0x00
    int firstAnswer = 0x00;     // what the awake boot mode answers
    int readyZeros = 0;         // 0x00 bytes before the ready 0xAA
    bool endlessZeros = false;  // only 0x00 after 0x55
    int changeEchoAt = -1;      // loader echo byte changed at this index
    int dropEchoAt = -1;        // loader echo byte left out at this index
    bool noFinalAck = false;
    bool hangUpAfterStart = false;  // hang up when 0x55 has come
    // Block faults, by the number of the block sent (0 = first).
    int faultBlock = -1;
    int faultStep = 0;          // 4 or 12: status byte; silence: 4, 8, 12
    int faultStatus = -1;       // status byte sent at faultStep, -1 for silence
    int changeReadBackAt = -1;  // read-back byte changed at this index of faultBlock
    int commitDelayMs = 0;      // before every step-12 status
    int hangUpBlock = -1;       // hang up after the address of this block
    // Wire rate: bytes leave no faster than the line speed; plus a flash
    // write time per committed block.
    bool wireRate = false;
    int flashWriteMs = 0;
};

struct BoardResult {
    std::vector<unsigned char> flash;  // FLASH_BYTES, 0xFF where not written
    std::vector<int> blocks;           // addresses committed, in order
    std::vector<std::string> violations;
    bool loaderReceived = false;
    int loaderLength = 0;
};

// Runs on the pseudo-terminal master until stop is set or the line hangs up,
// and closes the master.
// transcript, when given, gets a line per byte with its time.
void RunBoard(int master, const BoardOptions& options, const std::atomic<bool>* stop, std::FILE* transcript,
              BoardResult* result);

// Opens a pseudo-terminal; returns the master, with the slave kept open in
// *slave (so that the master sees no hang-up while the program reopens the
// port) and its path in *slavePath. -1 on failure.
int OpenBoardTerminal(int* slave, std::string* slavePath);

#endif
