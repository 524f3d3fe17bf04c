#include "cli/console.h"

#include "app/shell.h"
#include "cli/utf8.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int DEFAULT_COLUMNS = 80;
// Where Linux lists its terminals; a test may point this elsewhere.
const char SYS_CLASS_TTY[] = "/sys/class/tty";
const char SYS_CLASS_TTY_VARIABLE[] = "TARVELIN_SYS_CLASS_TTY";

int Descriptor(ConsoleStream stream) { return stream == CONSOLE_OUT ? STDOUT_FILENO : STDERR_FILENO; }

void OnInterrupt(int) { g_bAbort = 1; }

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::wstring Widen(const std::string& name) { return std::wstring(name.begin(), name.end()); }

// Linux: a terminal with a device behind it; serial ports the UART driver
// found nothing at say type 0.
void ListLinuxPorts(const std::string& classDirectory, std::vector<std::wstring>* ports)
{
    DIR* directory = opendir(classDirectory.c_str());
    if (directory == nullptr) {
        return;
    }
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        std::string base = classDirectory + "/" + name;
        if (name[0] == '.' || !Exists(base + "/device")) {
            continue;
        }
        std::ifstream typeFile(base + "/type");
        int type = -1;
        if (typeFile >> type && type == 0) {
            continue;
        }
        ports->push_back(Widen("/dev/" + name));
    }
    closedir(directory);
}

// macOS: the call-out devices.
void ListCallOutDevices(std::vector<std::wstring>* ports)
{
    DIR* directory = opendir("/dev");
    if (directory == nullptr) {
        return;
    }
    while (dirent* entry = readdir(directory)) {
        if (std::strncmp(entry->d_name, "cu.", 3) == 0) {
            ports->push_back(Widen(std::string("/dev/") + entry->d_name));
        }
    }
    closedir(directory);
}

}  // namespace

void ConsoleStart()
{
    // A reader that went away (a pipe into head) must not end the program
    // in the middle of a block: writes to it fail instead, unheard.
    std::signal(SIGPIPE, SIG_IGN);
}

bool ConsoleCanRedraw(ConsoleStream stream)
{
    const char* terminal = std::getenv("TERM");
    return isatty(Descriptor(stream)) == 1 && terminal != nullptr && terminal[0] != '\0' &&
           std::strcmp(terminal, "dumb") != 0;
}

int ConsoleColumns()
{
    winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return DEFAULT_COLUMNS;
    }
    return size.ws_col;
}

void ConsoleWrite(ConsoleStream stream, const std::wstring& text)
{
    std::string bytes = EncodeUtf8(text);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(Descriptor(stream), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return;  // nowhere left to tell the user
        }
        done += static_cast<size_t>(wrote);
    }
}

void ConsoleWatchInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    // The second Ctrl-C finds the default action back and ends the program.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    // Closing the terminal or being told to stop ends between blocks too.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

int ConsoleWaitForEnter()
{
    for (;;) {
        char byte = 0;
        ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got == 1 && byte == '\n') {
            return 1;
        }
        if (got == 0 || g_bAbort || (got < 0 && errno != EINTR)) {
            return 0;
        }
    }
}

std::vector<std::wstring> ListSerialPorts()
{
    std::vector<std::wstring> ports;
    const char* classDirectory = std::getenv(SYS_CLASS_TTY_VARIABLE);
    ListLinuxPorts(classDirectory != nullptr ? classDirectory : SYS_CLASS_TTY, &ports);
    ListCallOutDevices(&ports);
    std::sort(ports.begin(), ports.end());
    return ports;
}
