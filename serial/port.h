// The serial port: opening it with one of the two line profiles, the single
// byte operations of the boot handshake and the bulk transfers of the
// protocols. Blocking; used from the update worker's thread only.
#ifndef TARVELIN_SERIAL_PORT_H
#define TARVELIN_SERIAL_PORT_H

#include "app/ui.h"

struct SerialPort;
using SerialHandle = SerialPort*;

// The open port of the calling thread (one update runs on one thread, and
// several boards may be updated at once); null when none is open.
extern thread_local SerialHandle g_hComPort;

struct LineProfile {
    int baudRate;
    int evenParity;  // 1 even parity, 0 none; 8 data bits and one stop bit always
};

extern const LineProfile BootProfile;     // 9600 baud, no parity
extern const LineProfile ProgramProfile;  // 115200 baud, even parity

// A read returns when no byte has come for this long, and a one-byte read
// after at most READ_TIMEOUT_MS + READ_PER_BYTE_MS.
constexpr int READ_TIMEOUT_MS = 200;
constexpr int READ_PER_BYTE_MS = 1;
// SerialWaitByte examines this many reads, then makes and drops one more.
constexpr int WAIT_BYTE_READS = 51;

// Room for a device path of COM port number.
constexpr int DEVICE_PATH_CHARS = 256;
// The device of COM port number ("\\.\COM3"; on Linux the ttyS device
// Windows would call so); empty for a number below 1.
void ComPortDevicePath(int number, wchar_t path[DEVICE_PATH_CHARS]);

// Opens COM port number with profile into g_hComPort: 1 on success. On
// failure shows message 40 (owned by owner), leaves g_hComPort null and
// returns 0.
int OpenSerialPort(MessageOwner owner, int number, const LineProfile& profile);
// The same for a device named by path ("\\.\COM3", "/dev/ttyUSB0").
int OpenSerialDevice(MessageOwner owner, const wchar_t* path, const LineProfile& profile);
// Closes g_hComPort if it is open, and clears it.
void CloseSerialPort();

// Writes one byte: the count written, or -1 after showing message 29.
int SerialWriteByte(MessageOwner owner, int value, SerialHandle port);
// One read of one byte: 1 with the byte stored, 0 with 0 stored when none
// came in time, -1 after showing the read-failure message (nothing stored).
int SerialReadByte(SerialHandle port, MessageOwner owner, unsigned char* byte);
// Waits for one byte over up to WAIT_BYTE_READS reads: the byte (stored), or
// 0xFF when none came or a read failed (nothing stored then).
int SerialWaitByte(MessageOwner owner, SerialHandle port, unsigned char* byte);

// SerialWaitByte without its message: the byte, or SERIAL_NO_BYTE when none
// came within the same number of reads, or SERIAL_READ_FAILED.
constexpr int SERIAL_NO_BYTE = -1;
constexpr int SERIAL_READ_FAILED = -2;
int SerialAwaitByte(SerialHandle port, unsigned char* byte);

// One write call of count bytes: 1 when the call succeeded, 0 otherwise.
int SerialWrite(SerialHandle port, const unsigned char* bytes, int count);
// One read call of up to count bytes, returning when they have come or the
// time-outs above have passed: 1 when the call succeeded (with *received
// bytes stored), 0 when it failed. No message is shown.
int SerialRead(SerialHandle port, unsigned char* bytes, int count, int* received);

#endif
