#include "sim/board.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int BURST_BYTES = 64;
constexpr int ENDLESS_ZEROS = 8192;
constexpr int POLL_MS = 50;
// How late a sleeping thread may wake and still count as on time.
constexpr std::chrono::microseconds WAKE_UP_SLACK{5000};
constexpr unsigned char WAKE = 0x00, START = 0x55, READY = 0xAA, DONE = 0xAA;
constexpr unsigned char CMD_SEND = 0x55, CMD_READ_BACK = 0x56, CMD_COMMIT = 0x57, STATUS_OK = 0xAA;

struct Phase {
    const char* name;
    speed_t speed;
    int bitsPerByte;  // start, 8 data, parity, stop
};
const Phase BOOT_PHASE = {"boot", B9600, 10};
const Phase PROGRAM_PHASE = {"program", B115200, 11};

int BaudOf(speed_t speed) { return speed == B9600 ? 9600 : speed == B115200 ? 115200 : static_cast<int>(speed); }

class Line {
public:
    Line(int master, const BoardOptions& options, const std::atomic<bool>* stop, std::FILE* transcript,
         BoardResult* result)
        : master_(master), options_(options), stop_(stop), transcript_(transcript), result_(result),
          start_(Clock::now()), txFree_(start_), rxFree_(start_)
    {
    }

    ~Line()
    {
        if (!hungUp_) {
            close(master_);
        }
    }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    void Enter(const Phase& phase)
    {
        phase_ = &phase;
        speedReported_ = false;
    }

    // The next byte from the program, or -1 when stopped or hung up.
    int Read()
    {
        for (;;) {
            if (*stop_ || hungUp_) {
                return -1;
            }
            pollfd ready = {master_, POLLIN, 0};
            // A byte that was waiting already arrived earlier: its time on the
            // wire then follows the byte before it, not this moment.
            bool waiting = poll(&ready, 1, 0) > 0;
            int polled = waiting ? 1 : poll(&ready, 1, POLL_MS);
            if (polled < 0 && errno != EINTR) {
                return -1;
            }
            if (polled <= 0) {
                continue;
            }
            unsigned char byte;
            ssize_t got = read(master_, &byte, 1);
            if (got == 1) {
                CheckSpeed();
                PaceReceive(waiting);
                Log("H>B", byte);
                return byte;
            }
            if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO)) {
                // EIO: no slave side open for a moment; ours keeps it alive.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            return -1;
        }
    }

    void Write(unsigned char byte)
    {
        if (hungUp_) {
            return;
        }
        PaceSend();
        Log("B>H", byte);
        while (write(master_, &byte, 1) < 0 && errno == EINTR) {
        }
    }

    void Violation(const std::string& what)
    {
        result_->violations.push_back(what);
        if (transcript_ != nullptr) {
            std::fprintf(transcript_, "%10.6f !!! %s\n", Seconds(), what.c_str());
            std::fflush(transcript_);
        }
    }

    // Closes the line as an unplugged cable would: the program's side of the
    // pseudo-terminal then fails to read and write.
    void HangUp()
    {
        hungUp_ = true;
        Note("hang-up");
        close(master_);
    }
    bool HungUp() const { return hungUp_; }

    void Note(const std::string& what)
    {
        if (transcript_ != nullptr) {
            std::fprintf(transcript_, "%10.6f --- %s\n", Seconds(), what.c_str());
            std::fflush(transcript_);
        }
    }

private:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    void Log(const char* direction, unsigned char byte)
    {
        if (transcript_ != nullptr) {
            std::fprintf(transcript_, "%10.6f %s %02X\n", Seconds(), direction, byte);
        }
    }

    void CheckSpeed()
    {
        termios settings;
        if (phase_ == nullptr || tcgetattr(master_, &settings) != 0) {
            return;
        }
        speed_t speed = cfgetospeed(&settings);
        if (speed != lastSpeed_) {
            lastSpeed_ = speed;
            Note("speed " + std::to_string(BaudOf(speed)));
        }
        if (options_.mode == BOARD_NORMAL && speed != phase_->speed && !speedReported_) {
            speedReported_ = true;
            Violation(std::string("wrong speed in ") + phase_->name + " phase: " + std::to_string(BaudOf(speed)) +
                      " baud, not " + std::to_string(BaudOf(phase_->speed)));
        }
    }

    std::chrono::nanoseconds ByteTime() const
    {
        return std::chrono::nanoseconds(1000000000LL * phase_->bitsPerByte / BaudOf(phase_->speed));
    }

    // The moment the line could start a byte: now, or, when this thread has
    // only just woken from pacing the byte before, the end of that byte (so
    // that the thread's lateness does not add up byte after byte).
    Clock::time_point LineReady(Clock::time_point now, Clock::time_point last) const
    {
        return now > last && now - last < WAKE_UP_SLACK ? last : (now > last ? now : last);
    }

    // Wire-rate mode: a byte is whole only one byte time after the line was
    // free and the byte there to be sent.
    void PaceReceive(bool wasWaiting)
    {
        if (!options_.wireRate || phase_ == nullptr) {
            return;
        }
        // A byte that was not waiting answers something: it cannot have
        // started before the line was free both ways.
        Clock::time_point last = rxFree_ > txFree_ ? rxFree_ : txFree_;
        Clock::time_point start = wasWaiting ? rxFree_ : LineReady(Clock::now(), last);
        rxFree_ = start + ByteTime();
        std::this_thread::sleep_until(rxFree_);
    }

    // Sent bytes reach the program when their last bit has left; an answer
    // is ready when the byte it answers was whole.
    void PaceSend()
    {
        if (!options_.wireRate || phase_ == nullptr) {
            return;
        }
        Clock::time_point last = rxFree_ > txFree_ ? rxFree_ : txFree_;
        Clock::time_point start = LineReady(Clock::now(), last);
        txFree_ = (start > txFree_ ? start : txFree_) + ByteTime();
        std::this_thread::sleep_until(txFree_);
    }

    int master_;
    const BoardOptions& options_;
    const std::atomic<bool>* stop_;
    std::FILE* transcript_;
    BoardResult* result_;
    Clock::time_point start_, txFree_, rxFree_;
    const Phase* phase_ = nullptr;
    bool speedReported_ = false;
    speed_t lastSpeed_ = B0;
    bool hungUp_ = false;
};

void Sink(Line& line)
{
    while (line.Read() >= 0) {
    }
}

std::string Hex(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The boot mode; true when the write-control program was received and runs.
bool RunBootMode(Line& line, const BoardOptions& options, BoardResult* result)
{
    line.Enter(BOOT_PHASE);
    int zeros = 0;
    while (zeros < options.answerAfterBursts * BURST_BYTES) {
        int byte = line.Read();
        if (byte < 0) {
            return false;
        }
        if (byte != WAKE) {
            line.Violation("wake-up burst holds " + Hex(byte));
        }
        ++zeros;
    }
    line.Write(static_cast<unsigned char>(options.firstAnswer));
    if (options.firstAnswer != WAKE) {
        return false;
    }
    int start = line.Read();
    if (start < 0) {
        return false;
    }
    if (start != START) {
        line.Violation("expected start 0x55, got " + Hex(start));
    }
    if (options.hangUpAfterStart) {
        line.HangUp();
        return false;
    }
    if (options.endlessZeros) {
        for (int i = 0; i < ENDLESS_ZEROS && !line.HungUp(); ++i) {
            line.Write(0x00);
        }
        return false;
    }
    for (int i = 0; i < options.readyZeros; ++i) {
        line.Write(0x00);
    }
    line.Write(READY);
    int high = line.Read();
    if (high < 0) {
        return false;
    }
    line.Write(static_cast<unsigned char>(high));
    int low = line.Read();
    if (low < 0) {
        return false;
    }
    line.Write(static_cast<unsigned char>(low));
    int length = high << 8 | low;
    result->loaderLength = length;
    for (int i = 0; i < length; ++i) {
        int byte = line.Read();
        if (byte < 0) {
            line.Violation("loader cut short after " + std::to_string(i) + " of " + std::to_string(length) + " bytes");
            return false;
        }
        if (i == options.dropEchoAt) {
            continue;
        }
        line.Write(static_cast<unsigned char>(i == options.changeEchoAt ? byte ^ 0x01 : byte));
    }
    if (options.noFinalAck) {
        return false;
    }
    line.Write(DONE);
    result->loaderReceived = true;
    return true;
}

bool Faulty(const BoardOptions& options, int block, int step) { return block == options.faultBlock && step == options.faultStep; }

// A status byte for step 4 or 12: the fault's, none (silence), or 0xAA.
void SendStatus(Line& line, const BoardOptions& options, int block, int step)
{
    if (!Faulty(options, block, step)) {
        line.Write(STATUS_OK);
    } else if (options.faultStatus >= 0) {
        line.Write(static_cast<unsigned char>(options.faultStatus));
    }
}

void RunWriteControl(Line& line, const BoardOptions& options, BoardResult* result)
{
    line.Enter(PROGRAM_PHASE);
    std::set<int> committed;
    for (int block = 0;; ++block) {
        int command = line.Read();
        if (command < 0) {
            return;
        }
        if (command != CMD_SEND) {
            line.Violation("expected block command 0x55, got " + Hex(command));
            continue;
        }
        int address = 0;
        for (int i = 0; i < 3; ++i) {
            int byte = line.Read();
            if (byte < 0) {
                return;
            }
            address |= byte << (8 * i);
        }
        if (block == options.hangUpBlock) {
            line.HangUp();
            return;
        }
        unsigned char data[FLASH_BLOCK_BYTES];
        for (unsigned char& byte : data) {
            int value = line.Read();
            if (value < 0) {
                line.Violation("block data cut short");
                return;
            }
            byte = static_cast<unsigned char>(value);
        }
        if (address % FLASH_BLOCK_BYTES != 0 || address + FLASH_BLOCK_BYTES > FLASH_BYTES) {
            line.Violation("block address " + Hex(address) + " out of line");
        }
        if (committed.count(address) != 0) {
            line.Violation("block " + Hex(address) + " sent twice");
        }
        SendStatus(line, options, block, 4);
        int readBack = line.Read();
        if (readBack < 0) {
            return;
        }
        if (readBack != CMD_READ_BACK) {
            line.Violation("expected read-back command 0x56, got " + Hex(readBack));
            continue;
        }
        if (!Faulty(options, block, 8)) {
            line.Write(0x00);
            line.Write(static_cast<unsigned char>(FLASH_BLOCK_BYTES));
            for (int i = 0; i < FLASH_BLOCK_BYTES && !Faulty(options, block, 9); ++i) {
                bool change = block == options.faultBlock && i == options.changeReadBackAt;
                line.Write(static_cast<unsigned char>(change ? data[i] ^ 0x5A : data[i]));
            }
        }
        int commit = line.Read();
        if (commit < 0) {
            return;
        }
        if (commit != CMD_COMMIT) {
            line.Violation("expected commit command 0x57, got " + Hex(commit));
            continue;
        }
        if (address % FLASH_BLOCK_BYTES == 0 && address + FLASH_BLOCK_BYTES <= FLASH_BYTES) {
            std::copy(data, data + FLASH_BLOCK_BYTES, result->flash.begin() + address);
        }
        committed.insert(address);
        result->blocks.push_back(address);
        int waitMs = options.flashWriteMs + options.commitDelayMs;
        if (waitMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        }
        SendStatus(line, options, block, 12);
    }
}

}  // namespace

int OpenBoardTerminal(int* slave, std::string* slavePath)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        return -1;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
        close(master);
        return -1;
    }
    *slavePath = ptsname(master);
    *slave = open(slavePath->c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (*slave < 0) {
        close(master);
        return -1;
    }
    termios settings;
    if (tcgetattr(*slave, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(*slave, TCSANOW, &settings);
    }
    return master;
}

void RunBoard(int master, const BoardOptions& options, const std::atomic<bool>* stop, std::FILE* transcript,
              BoardResult* result)
{
    result->flash.assign(FLASH_BYTES, 0xFF);
    Line line(master, options, stop, transcript, result);
    // Ties the transcript's times to the wall clock, for other processes' events.
    char epoch[64];
    std::snprintf(epoch, sizeof epoch, "start-epoch %.6f",
                  std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count());
    line.Note(epoch);
    if (options.mode == BOARD_ECHO) {
        line.Enter(BOOT_PHASE);
        for (int byte = line.Read(); byte >= 0; byte = line.Read()) {
            line.Write(static_cast<unsigned char>(byte));
        }
        return;
    }
    if (options.mode == BOARD_NORMAL && (options.skipBootMode || RunBootMode(line, options, result))) {
        RunWriteControl(line, options, result);
    }
    Sink(line);
}
