#include "serial/port.h"
#include "serial/port_open.h"

#include "serial/dcb_win32.h"

#include <cwchar>
#include <new>

struct SerialPort {
    HANDLE handle;
};

namespace {

constexpr BYTE END_OF_FILE_CHARACTER = 0x1A;

}  // namespace

void ApplyProfile(DCB* dcb, const LineProfile& profile)
{
    dcb->BaudRate = static_cast<DWORD>(profile.baudRate);
    dcb->ByteSize = 8;
    dcb->StopBits = ONESTOPBIT;
    dcb->Parity = profile.evenParity ? EVENPARITY : NOPARITY;
    dcb->EofChar = static_cast<char>(END_OF_FILE_CHARACTER);
    dcb->fParity = TRUE;
    // Windows supports binary transfers only and asks for this flag.
    dcb->fBinary = TRUE;
    dcb->fOutxCtsFlow = FALSE;
    dcb->fOutxDsrFlow = FALSE;
    dcb->fDsrSensitivity = FALSE;
    dcb->fTXContinueOnXoff = FALSE;
    dcb->fOutX = FALSE;
    dcb->fInX = FALSE;
    dcb->fErrorChar = FALSE;
    dcb->fNull = FALSE;
    dcb->fAbortOnError = FALSE;
    dcb->fDtrControl = DTR_CONTROL_DISABLE;
    dcb->fRtsControl = RTS_CONTROL_DISABLE;
}

void FillTimeouts(COMMTIMEOUTS* timeouts)
{
    timeouts->ReadIntervalTimeout = READ_TIMEOUT_MS;
    timeouts->ReadTotalTimeoutMultiplier = READ_PER_BYTE_MS;
    timeouts->ReadTotalTimeoutConstant = READ_TIMEOUT_MS;
    timeouts->WriteTotalTimeoutMultiplier = 0;
    timeouts->WriteTotalTimeoutConstant = 0;
}

void ComPortDevicePath(int number, wchar_t path[DEVICE_PATH_CHARS])
{
    // Port 0 keeps its name: opening it fails, as it always has.
    std::swprintf(path, DEVICE_PATH_CHARS, L"\\\\.\\COM%d", number);
}

int OpenSerialDevice(MessageOwner owner, const wchar_t* path, const LineProfile& profile)
{
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr);
    bool usable = handle != INVALID_HANDLE_VALUE;
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts = {};
    FillTimeouts(&timeouts);
    usable = usable && GetCommState(handle, &dcb);
    if (usable) {
        ApplyProfile(&dcb, profile);
    }
    usable = usable && SetCommState(handle, &dcb) && SetCommTimeouts(handle, &timeouts);
    SerialPort* port = usable ? new (std::nothrow) SerialPort{handle} : nullptr;
    if (port == nullptr && handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return FinishOpening(owner, port);
}

void CloseSerialPort()
{
    if (g_hComPort != nullptr) {
        CloseHandle(g_hComPort->handle);
        delete g_hComPort;
        g_hComPort = nullptr;
    }
}

int SerialWrite(SerialHandle port, const unsigned char* bytes, int count)
{
    DWORD written = 0;
    return port != nullptr && WriteFile(port->handle, bytes, static_cast<DWORD>(count), &written, nullptr);
}

int SerialRead(SerialHandle port, unsigned char* bytes, int count, int* received)
{
    DWORD got = 0;
    *received = 0;
    if (port == nullptr || !ReadFile(port->handle, bytes, static_cast<DWORD>(count), &got, nullptr)) {
        return 0;
    }
    *received = static_cast<int>(got);
    return 1;
}
