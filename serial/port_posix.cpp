#include "serial/port.h"

#include "app/narrow_path.h"
#include "serial/port_open.h"


#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

struct SerialPort {
    int descriptor;
    std::chrono::nanoseconds byteTime;  // one byte on the line, start to stop bit
};

namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedOf(int baudRate)
{
    switch (baudRate) {
    case 9600:
        return B9600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

// Raw 8-bit bytes, one stop bit, no flow control, parity as the profile says.
bool Configure(int descriptor, const LineProfile& profile)
{
    termios settings;
    if (tcgetattr(descriptor, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL | (profile.evenParity ? PARENB : 0);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    speed_t speed = SpeedOf(profile.baudRate);
    return speed != B0 && cfsetispeed(&settings, speed) == 0 && cfsetospeed(&settings, speed) == 0 &&
           tcsetattr(descriptor, TCSANOW, &settings) == 0;
}

int OpenExclusive(const std::string& path)
{
    int descriptor = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return -1;
    }
    // Like Windows, one program at a time: TIOCEXCL for other openers, and a
    // lock that also holds against privileged ones.
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 || ioctl(descriptor, TIOCEXCL) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

void ComPortDevicePath(int number, wchar_t path[DEVICE_PATH_CHARS])
{
    // COM1 is the first serial device, as Linux numbers them from 0.
    std::swprintf(path, DEVICE_PATH_CHARS, number > 0 ? L"/dev/ttyS%d" : L"", number - 1);
}

int OpenSerialDevice(MessageOwner owner, const wchar_t* path, const LineProfile& profile)
{
    std::string narrow;
    int descriptor = path != nullptr && NarrowPath(path, &narrow) && !narrow.empty() ? OpenExclusive(narrow) : -1;
    SerialPort* port = nullptr;
    if (descriptor >= 0 && Configure(descriptor, profile)) {
        int bitsPerByte = 1 + 8 + (profile.evenParity ? 1 : 0) + 1;
        port = new (std::nothrow) SerialPort{descriptor, std::chrono::nanoseconds(1000000000LL * bitsPerByte / profile.baudRate)};
    }
    if (port == nullptr && descriptor >= 0) {
        close(descriptor);
    }
    return FinishOpening(owner, port);
}

void CloseSerialPort()
{
    if (g_hComPort != nullptr) {
        // Others may open the device again (the flag outlives this descriptor
        // where someone else keeps the terminal open).
        ioctl(g_hComPort->descriptor, TIOCNXCL);
        close(g_hComPort->descriptor);
        delete g_hComPort;
        g_hComPort = nullptr;
    }
}

int SerialWrite(SerialHandle port, const unsigned char* bytes, int count)
{
    if (port == nullptr) {
        return 0;
    }
    int done = 0;
    while (done < count) {
        ssize_t wrote = write(port->descriptor, bytes + done, static_cast<size_t>(count - done));
        if (wrote > 0) {
            done += static_cast<int>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready = {port->descriptor, POLLOUT, 0};
            if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
                return 0;
            }
            continue;
        }
        return 0;
    }
    // Like a Windows serial write, return once the bytes have left: a read
    // that follows then times its answer from the end of the sending.
    // A hang-up while they drain is not this write's failure: the bytes were
    // accepted, as by a Windows write, and the read that follows every write
    // reports the lost line.
    while (tcdrain(port->descriptor) != 0) {
        if (errno == EIO) {
            break;
        }
        if (errno != EINTR) {
            return 0;
        }
    }
    return 1;
}

// The Windows time-outs: at most READ_TIMEOUT_MS + count * READ_PER_BYTE_MS
// in all, and READ_TIMEOUT_MS of silence after a byte ends the read early.
int SerialRead(SerialHandle port, unsigned char* bytes, int count, int* received)
{
    *received = 0;
    if (port == nullptr) {
        return 0;
    }
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(READ_TIMEOUT_MS + count * READ_PER_BYTE_MS);
    Clock::time_point quietUntil = deadline;
    while (*received < count) {
        Clock::time_point until = quietUntil < deadline ? quietUntil : deadline;
        pollfd ready = {port->descriptor, POLLIN, 0};
        int polled = poll(&ready, 1, MillisecondsUntil(until));
        if (polled < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 0;
        }
        if (polled == 0) {
            break;
        }
        if ((ready.revents & (POLLERR | POLLNVAL)) != 0) {
            return 0;
        }
        ssize_t got = read(port->descriptor, bytes + *received, static_cast<size_t>(count - *received));
        if (got > 0) {
            *received += static_cast<int>(got);
            Clock::time_point now = Clock::now();
            quietUntil = now + std::chrono::milliseconds(READ_TIMEOUT_MS);
            // The rest cannot come sooner than the line carries it: wait that
            // long at once rather than waking for every byte (less the last
            // byte, so that oversleeping does not delay the answer).
            Clock::time_point rest = now + port->byteTime * (count - *received - 1);
            Clock::time_point until = rest < deadline ? rest : deadline;
            if (*received < count && until > now) {
                std::this_thread::sleep_until(until < quietUntil ? until : quietUntil);
            }
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            // A hung-up line (the pseudo-terminal's other side gone) or an error.
            return 0;
        }
    }
    return 1;
}
