// The single-byte operations, on top of each platform's bulk transfers.
#include "serial/port.h"
#include "serial/port_open.h"

#include "app/shell.h"
#include "res/string_ids.h"

thread_local SerialHandle g_hComPort = nullptr;

const LineProfile BootProfile = {9600, 0};
const LineProfile ProgramProfile = {115200, 1};

int OpenSerialPort(MessageOwner owner, int number, const LineProfile& profile)
{
    wchar_t path[DEVICE_PATH_CHARS];
    ComPortDevicePath(number, path);
    return OpenSerialDevice(owner, path, profile);
}

int FinishOpening(MessageOwner owner, SerialHandle port)
{
    g_hComPort = port;
    if (port == nullptr) {
        UiShowMessage(owner, LoadResString(IDS_PORT_UNAVAILABLE), ICON_ERROR);
        return 0;
    }
    return 1;
}

int SerialWriteByte(MessageOwner owner, int value, SerialHandle port)
{
    unsigned char byte = static_cast<unsigned char>(value);
    if (!SerialWrite(port, &byte, 1)) {
        UiShowMessage(owner, LoadResString(IDS_WRITE_ABORTED), ICON_ERROR);
        return -1;
    }
    return 1;
}

int SerialReadByte(SerialHandle port, MessageOwner owner, unsigned char* byte)
{
    unsigned char received = 0;
    int count = 0;
    if (!SerialRead(port, &received, 1, &count)) {
        UiShowMessage(owner, LoadResString(IDS_SERIAL_READ_FAILED), ICON_ERROR);
        return -1;
    }
    if (byte != nullptr) {
        *byte = count == 1 ? received : 0;
    }
    return count;
}

int SerialAwaitByte(SerialHandle port, unsigned char* byte)
{
    for (int attempts = 0;; ++attempts) {
        unsigned char received = 0;
        int count = 0;
        if (!SerialRead(port, &received, 1, &count)) {
            return SERIAL_READ_FAILED;
        }
        if (attempts >= WAIT_BYTE_READS) {
            return SERIAL_NO_BYTE;  // this last read's byte, if any, is dropped
        }
        if (count == 1) {
            if (byte != nullptr) {
                *byte = received;
            }
            return received;
        }
    }
}

int SerialWaitByte(MessageOwner owner, SerialHandle port, unsigned char* byte)
{
    int result = SerialAwaitByte(port, byte);
    if (result == SERIAL_READ_FAILED) {
        UiShowMessage(owner, LoadResString(IDS_SERIAL_READ_FAILED), ICON_ERROR);
    }
    return result < 0 ? 0xFF : result;
}
