// The block programming protocol with the write-control program, 115200 baud.
#include "update/update.h"

#include "app/shell.h"
#include "app/ui.h"
#include "res/string_ids.h"
#include "serial/port.h"

#include <cstdlib>

namespace {

constexpr unsigned char CMD_SEND = 0x55, CMD_READ_BACK = 0x56, CMD_COMMIT = 0x57;
constexpr int STATUS_OK = 0xAA, STATUS_FAILED = 0xFF;
constexpr int ADDRESS_BYTES = 3;
constexpr int READ_BACK_HEADER_BYTES = 2;
// Each block adds 100 % of its share: 100 * BLOCK_SIZE per image byte.
constexpr long long PROGRESS_PER_BLOCK = 100LL * BLOCK_SIZE;

struct BlockFault {
    int step;  // 0: none
    int kind;
    int address;
    int expected;
    int received;
};

const BlockFault NO_FAULT = {0, 0, 0, 0, 0};

BlockFault Fault(int step, int kind, int address) { return {step, kind, address, 0, 0}; }

// A byte from the board within the bounded wait: a silent board is a fault,
// never a stale or assumed value.
bool ReceiveByte(int* value)
{
    unsigned char byte = 0;
    int result = SerialAwaitByte(g_hComPort, &byte);
    *value = result;
    return result >= 0;
}

// count bytes: one read for what is there, then the bounded wait for each
// byte still missing.
bool ReceiveBytes(unsigned char* bytes, int count)
{
    int arrived = 0;
    if (!SerialRead(g_hComPort, bytes, count, &arrived)) {
        return false;
    }
    for (; arrived < count; ++arrived) {
        int value = 0;
        if (!ReceiveByte(&value)) {
            return false;
        }
        bytes[arrived] = static_cast<unsigned char>(value);
    }
    return true;
}

// Steps 1 to 14 for the block at address.
BlockFault ExchangeBlock(const unsigned char* image, int address)
{
    const unsigned char* block = image + address;
    if (!SerialWrite(g_hComPort, &CMD_SEND, 1)) {
        return Fault(1, IDS_KIND_SEND, address);
    }
    unsigned char addressBytes[ADDRESS_BYTES] = {static_cast<unsigned char>(address & 0xFF),
                                                 static_cast<unsigned char>((address >> 8) & 0xFF),
                                                 static_cast<unsigned char>((address >> 16) & 0xFF)};
    if (!SerialWrite(g_hComPort, addressBytes, ADDRESS_BYTES)) {
        return Fault(2, IDS_KIND_SEND, address);
    }
    if (!SerialWrite(g_hComPort, block, BLOCK_SIZE)) {
        return Fault(3, IDS_KIND_SEND, address);
    }
    int status = 0;
    if (!ReceiveByte(&status)) {
        return Fault(4, IDS_KIND_RECEIVE, address);
    }
    if (status == STATUS_FAILED) {
        return Fault(5, IDS_KIND_RECEIVE, address);
    }
    if (status != STATUS_OK) {
        return Fault(6, IDS_KIND_RECEIVE, address);
    }
    if (!SerialWrite(g_hComPort, &CMD_READ_BACK, 1)) {
        return Fault(7, IDS_KIND_SEND, address);
    }
    unsigned char header[READ_BACK_HEADER_BYTES];
    if (!ReceiveBytes(header, READ_BACK_HEADER_BYTES)) {
        return Fault(8, IDS_KIND_RECEIVE, address);
    }
    // What has come is compared byte by byte in order; a byte still missing
    // is waited for when its turn comes, so the first difference and the
    // first missing byte are found exactly as with one read per byte.
    unsigned char readBack[BLOCK_SIZE];
    int arrived = 0;
    if (!SerialRead(g_hComPort, readBack, BLOCK_SIZE, &arrived)) {
        return Fault(9, IDS_KIND_RECEIVE, address);
    }
    for (int j = 0; j < BLOCK_SIZE; ++j) {
        int received = j < arrived ? readBack[j] : 0;
        if (j >= arrived && !ReceiveByte(&received)) {
            return Fault(9, IDS_KIND_RECEIVE, address);
        }
        if (received != block[j]) {
            return {10, IDS_KIND_VERIFY, address + j, block[j], received};
        }
    }
    if (!SerialWrite(g_hComPort, &CMD_COMMIT, 1)) {
        return Fault(11, IDS_KIND_SEND, address);
    }
    if (!ReceiveByte(&status)) {
        return Fault(12, IDS_KIND_RECEIVE, address);
    }
    if (status == STATUS_FAILED) {
        return Fault(13, IDS_KIND_SEND, address);
    }
    if (status != STATUS_OK) {
        return Fault(14, IDS_KIND_SEND, address);
    }
    return NO_FAULT;
}

}  // namespace

bool IsBlankBlock(const unsigned char* block)
{
    for (int i = 0; i < BLOCK_SIZE; ++i) {
        if (block[i] != 0xFF) {
            return false;
        }
    }
    return true;
}

void ReportBlockError(int kind, int address, int expected, int received, int step)
{
    wchar_t message[MESSAGE_CHARS];
    FormatBlockError(message, kind, address, expected, received, step);
    UiShowMessage(OWNER_DIALOG, message, ICON_ERROR);
    CloseSerialPort();
    UiEndDialog();
}

UpdateOutcome ProgramBlocks(unsigned char* image, int size)
{
    ++g_bProgramming;
    long long progress = 0;
    int shown = -1;
    for (int address = 0; address < size; address += BLOCK_SIZE) {
        if (g_bAbort) {
            CloseSerialPort();
            std::free(image);
            // The user's cancel is already closing the dialog.
            UiShowMessage(OWNER_NONE, LoadResString(IDS_WRITE_ABORTED), ICON_WARNING);
            --g_bProgramming;
            return UPDATE_ABORTED;
        }
        if (!IsBlankBlock(image + address)) {
            BlockFault fault = ExchangeBlock(image, address);
            if (fault.step != 0) {
                ReportBlockError(fault.kind, fault.address, fault.expected, fault.received, fault.step);
                std::free(image);
                --g_bProgramming;
                return UPDATE_PROGRAM_FAILED;
            }
            UiBlockProgrammed(address);
        }
        progress += PROGRESS_PER_BLOCK;
        int position = static_cast<int>(progress / size);
        if (position != shown) {  // the same bar, without a repaint per block
            UiSetProgress(position);
            shown = position;
        }
    }
    std::free(image);
    CloseSerialPort();
    UiShowMessage(OWNER_NONE, LoadResString(IDS_UPDATE_COMPLETE), ICON_NONE);
    UiEndDialog();
    --g_bProgramming;
    return UPDATE_DONE;
}
