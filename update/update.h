// The firmware update: the worker thread's body and its two conversations
// with the board.
#ifndef TARVELIN_UPDATE_UPDATE_H
#define TARVELIN_UPDATE_UPDATE_H

#include "image/srecord.h"

constexpr int BLOCK_SIZE = 128;
// Where the write-control program starts in "write.mot".
constexpr int LOADER_BASE = 0xF780;
// The boot mode takes the loader's length in two bytes.
constexpr int LOADER_MAX_BYTES = 0xFFFF;
// The loader's file name, looked for in the program's directory.
constexpr wchar_t LOADER_FILE[] = L"write.mot";
// Text buffers of the messages built here.
constexpr int MESSAGE_CHARS = 256;

// How one board's update ended, for front ends that report more than the
// message boxes.
enum UpdateOutcome {
    UPDATE_DONE,
    UPDATE_FILE_FAILED,     // the loader or the firmware could not be loaded
    UPDATE_PORT_FAILED,     // a port could not be opened
    UPDATE_BOOT_FAILED,     // the boot handshake or the loader transfer failed
    UPDATE_PROGRAM_FAILED,  // a block could not be programmed
    UPDATE_ABORTED,         // the user stopped it between blocks
};

// Runs the whole update for g_szFirmwarePath on port g_nComPort.
void UpdateWorker();

// The loader file at path, checked to hold a program the boot mode can take
// (data above LOADER_BASE, at most LOADER_MAX_BYTES of it), for the caller to
// free; null after showing message 199 with the reason.
unsigned char* LoadLoader(const wchar_t* path, int* size);

// One board, from the boot mode to the last block: the loader transfer on
// the device at portPath, then the firmware at firmwarePath programmed. The
// caller keeps the loader; every message is shown on the way.
UpdateOutcome UpdateBoard(const wchar_t* portPath, const unsigned char* loader, int loaderSize,
                          const wchar_t* firmwarePath);

// A block of BLOCK_SIZE bytes all 0xFF: erased flash already holds it, so it
// is never sent.
bool IsBlankBlock(const unsigned char* block);
// The size of an image of size bytes padded to whole blocks: a whole blank
// block more when it already ends on one.
int PaddedSize(int size);

// Shows message id (199 or 51) with why the file did not load.
void ShowLoadFailure(int message, const LoadError& error);

// The firmware at path padded with 0xFF to whole blocks (a whole blank block
// more when it already ends on one), for the caller to free; size is the
// image's before the padding. Null after showing message 51 with the reason,
// and ending the dialog when memory ran out.
unsigned char* LoadPaddedFirmware(const wchar_t* path, int* size, int* paddedSize);

// Wakes the boot mode on g_hComPort (BootProfile), sends it the loader (the
// image's bytes from LOADER_BASE to size - 1) and checks its echo. On failure
// has set the status line, shown message 229 and closed the port; returns 0.
int TransferLoader(const unsigned char* image, int size);

// Programs the padded image (size a multiple of BLOCK_SIZE) on g_hComPort
// (ProgramProfile) block by block. Always ends the update: frees the image
// and closes the port, then shows completion, the abort or the fault.
// Returns UPDATE_DONE, UPDATE_ABORTED or UPDATE_PROGRAM_FAILED.
UpdateOutcome ProgramBlocks(unsigned char* image, int size);

// Shows the programming fault (kind is a string id), closes the port and
// ends the dialog.
void ReportBlockError(int kind, int address, int expected, int received, int step);
// Its text: message 230 with the kind, address, step and, for a verify
// fault, the expected and received bytes.
void FormatBlockError(wchar_t* out, int kind, int address, int expected, int received, int step);

// The second line for message 199 or 51: why the file did not load.
void FormatLoadReason(wchar_t* out, const LoadError& error);

#endif
