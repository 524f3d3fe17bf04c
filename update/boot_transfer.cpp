// The boot handshake and the loader transfer at 9600 baud.
#include "update/update.h"

#include "app/shell.h"
#include "app/ui.h"
#include "res/string_ids.h"
#include "serial/port.h"

#include <cstdlib>

namespace {

constexpr int BURST_BYTES = 64;
constexpr unsigned char WAKE = 0x00, START = 0x55, READY = 0xAA, TRANSFER_DONE = 0xAA;
// The zeros the boot mode may send before its ready byte: far more than any
// board does, few enough to end a board that sends nothing else.
constexpr int READY_ZEROS_MAX = 4096;

int Fail(int status)
{
    UiSetStatus(LoadResString(status));
    UiShowMessage(OWNER_DIALOG, LoadResString(IDS_LOADER_TRANSFER_FAILED), ICON_ERROR);
    CloseSerialPort();
    return 0;
}

// Wakes the boot mode: bursts until it answers. 1 when it answered 0x00.
int WakeBootMode()
{
    static const unsigned char burst[BURST_BYTES] = {};
    unsigned char reply = 2;
    for (int attempts = 0;; ++attempts) {
        if (!SerialWrite(g_hComPort, burst, BURST_BYTES)) {
            return Fail(IDS_STATUS_TRANSFER_FAILED);
        }
        int received = SerialReadByte(g_hComPort, OWNER_DIALOG, &reply);
        if (received < 0) {
            return Fail(IDS_STATUS_TRANSFER_FAILED);
        }
        if (attempts >= WAIT_BYTE_READS) {
            return Fail(IDS_STATUS_NO_REACTION);
        }
        if (received == 1) {
            break;
        }
    }
    return reply == WAKE ? 1 : Fail(IDS_STATUS_ABNORMAL_ANSWER);
}

// After 0x55: zeros, then the ready byte; bounded in zeros and in silence.
int AwaitReady()
{
    int zeros = 0;
    int silentReads = 0;
    for (;;) {
        unsigned char byte = 0;
        int received = SerialReadByte(g_hComPort, OWNER_DIALOG, &byte);
        if (received < 0) {
            return Fail(IDS_STATUS_TRANSFER_FAILED);
        }
        if (received == 0) {
            if (++silentReads > WAIT_BYTE_READS) {
                return Fail(IDS_STATUS_ABNORMAL_ANSWER);
            }
        } else if (byte == 0x00) {
            if (++zeros > READY_ZEROS_MAX) {
                return Fail(IDS_STATUS_ABNORMAL_ANSWER);
            }
        } else {
            return byte == READY ? 1 : Fail(IDS_STATUS_ABNORMAL_ANSWER);
        }
    }
}

// One length byte and its echo, which is not compared.
int SendLengthByte(int value)
{
    if (SerialWriteByte(OWNER_DIALOG, value, g_hComPort) < 0) {
        return Fail(IDS_STATUS_TRANSFER_FAILED);
    }
    if (SerialAwaitByte(g_hComPort, nullptr) == SERIAL_READ_FAILED) {
        UiShowMessage(OWNER_DIALOG, LoadResString(IDS_SERIAL_READ_FAILED), ICON_ERROR);
        return Fail(IDS_STATUS_TRANSFER_FAILED);
    }
    return 1;
}

// Sends the loader and compares its echo, the bar following the compare.
int SendLoader(const unsigned char* image, int size)
{
    int length = size - LOADER_BASE;
    if (!SerialWrite(g_hComPort, image + LOADER_BASE, length)) {
        return Fail(IDS_STATUS_TRANSFER_FAILED);
    }
    unsigned char* echo = static_cast<unsigned char*>(std::calloc(static_cast<size_t>(size), 1));
    if (echo == nullptr) {
        return Fail(IDS_STATUS_TRANSFER_PREP_FAILED);
    }
    int received = 0;
    if (!SerialRead(g_hComPort, echo + LOADER_BASE, length, &received) || received < length) {
        std::free(echo);
        return Fail(IDS_STATUS_TRANSFER_PREP_FAILED);
    }
    int shown = -1;
    for (int i = LOADER_BASE; i < size; ++i) {
        int position = static_cast<int>(static_cast<long long>(i) * 100 / size);
        if (position != shown) {  // the same bar, without a repaint per byte
            UiSetProgress(position);
            shown = position;
        }
        if (image[i] != echo[i]) {
            std::free(echo);
            return Fail(IDS_STATUS_TRANSFER_PREP_FAILED);
        }
    }
    std::free(echo);
    unsigned char done = 0;
    int result = SerialAwaitByte(g_hComPort, &done);
    if (result == SERIAL_READ_FAILED) {
        UiShowMessage(OWNER_DIALOG, LoadResString(IDS_SERIAL_READ_FAILED), ICON_ERROR);
        return Fail(IDS_STATUS_TRANSFER_FAILED);
    }
    return result == TRANSFER_DONE ? 1 : Fail(IDS_STATUS_TRANSFER_PREP_FAILED);
}

}  // namespace

int TransferLoader(const unsigned char* image, int size)
{
    if (!WakeBootMode()) {
        return 0;
    }
    if (SerialWriteByte(OWNER_DIALOG, START, g_hComPort) < 0) {
        return Fail(IDS_STATUS_TRANSFER_FAILED);
    }
    if (!AwaitReady()) {
        return 0;
    }
    UiSetStatus(LoadResString(IDS_STATUS_TRANSFER_STARTING));
    int length = size - LOADER_BASE;
    if (!SendLengthByte((length >> 8) & 0xFF) || !SendLengthByte(length & 0xFF)) {
        return 0;
    }
    UiSetStatus(LoadResString(IDS_STATUS_LOADER_SENDING));
    return SendLoader(image, size);
}
