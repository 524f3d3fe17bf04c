// tarvelin-board: the virtual board as a program. Opens a pseudo-terminal,
// links it where asked (a Wine COM port), prints "ready PATH", plays the
// board until SIGTERM or SIGINT, then writes its flash and a report.
#include "sim/board.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Lock-free, so that the signal handler may set it.
std::atomic<bool> g_stop{false};

void Stop(int) { g_stop = true; }

const char USAGE[] =
    "usage: tarvelin-board [options]\n"
    "  --link PATH            make PATH a symbolic link to the terminal\n"
    "  --flash-out FILE       write the flash (1 MiB) there at the end\n"
    "  --report FILE          write the report there at the end (else stdout)\n"
    "  --transcript FILE      every byte with its time\n"
    "  --mode normal|echo|silent\n"
    "  --answer-after N       answer the Nth wake-up burst (1)\n"
    "  --first-answer HEX     the boot mode's first answer (00)\n"
    "  --ready-zeros N        0x00 bytes before the ready 0xAA (0)\n"
    "  --endless-zeros        only 0x00 after 0x55\n"
    "  --change-echo I | --drop-echo I    loader echo byte I changed or left out\n"
    "  --no-final-ack         no 0xAA after the loader\n"
    "  --hang-up-boot         hang up when 0x55 has come\n"
    "  --fault-block B --fault-step S [--fault-status HEX]\n"
    "                         at block B (0 = first sent), step 4/12: that status,\n"
    "                         or silence at step 4, 8, 9 or 12 without --fault-status\n"
    "  --change-readback I    with --fault-block: read-back byte I changed\n"
    "  --commit-delay MS      wait before every commit status\n"
    "  --hang-up-block B      hang up after block B's address\n"
    "  --wire-rate            bytes no faster than the line speed\n"
    "  --flash-write-ms MS    flash write time per block (wire-rate runs)\n";

bool ParseArguments(int argc, char** argv, BoardOptions* options, std::string* link, std::string* flashOut,
                    std::string* report, std::string* transcript)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        auto value = [&](const char** out) {
            if (i + 1 >= argc) {
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const char* text = nullptr;
        if (name == "--endless-zeros") {
            options->endlessZeros = true;
        } else if (name == "--no-final-ack") {
            options->noFinalAck = true;
        } else if (name == "--hang-up-boot") {
            options->hangUpAfterStart = true;
        } else if (name == "--wire-rate") {
            options->wireRate = true;
        } else if (!value(&text)) {
            return false;
        } else if (name == "--link") {
            *link = text;
        } else if (name == "--flash-out") {
            *flashOut = text;
        } else if (name == "--report") {
            *report = text;
        } else if (name == "--transcript") {
            *transcript = text;
        } else if (name == "--mode") {
            std::string mode = text;
            options->mode = mode == "echo" ? BOARD_ECHO : mode == "silent" ? BOARD_SILENT : BOARD_NORMAL;
        } else if (name == "--answer-after") {
            options->answerAfterBursts = std::atoi(text);
        } else if (name == "--first-answer") {
            options->firstAnswer = static_cast<int>(std::strtol(text, nullptr, 16));
        } else if (name == "--ready-zeros") {
            options->readyZeros = std::atoi(text);
        } else if (name == "--change-echo") {
            options->changeEchoAt = std::atoi(text);
        } else if (name == "--drop-echo") {
            options->dropEchoAt = std::atoi(text);
        } else if (name == "--fault-block") {
            options->faultBlock = std::atoi(text);
        } else if (name == "--fault-step") {
            options->faultStep = std::atoi(text);
        } else if (name == "--fault-status") {
            options->faultStatus = static_cast<int>(std::strtol(text, nullptr, 16));
        } else if (name == "--change-readback") {
            options->changeReadBackAt = std::atoi(text);
        } else if (name == "--commit-delay") {
            options->commitDelayMs = std::atoi(text);
        } else if (name == "--hang-up-block") {
            options->hangUpBlock = std::atoi(text);
        } else if (name == "--flash-write-ms") {
            options->flashWriteMs = std::atoi(text);
        } else {
            return false;
        }
    }
    return true;
}

bool WriteReport(const std::string& path, const BoardResult& result)
{
    std::FILE* out = path.empty() ? stdout : std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "loader_received %d\nloader_length %d\n", result.loaderReceived ? 1 : 0, result.loaderLength);
    std::fprintf(out, "blocks");
    for (int address : result.blocks) {
        std::fprintf(out, " %06X", address);
    }
    std::fprintf(out, "\n");
    for (const std::string& violation : result.violations) {
        std::fprintf(out, "violation %s\n", violation.c_str());
    }
    return (out == stdout ? std::fflush(out) : std::fclose(out)) == 0;
}

bool WriteFlash(const std::string& path, const BoardResult& result)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    bool written = std::fwrite(result.flash.data(), 1, result.flash.size(), out) == result.flash.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    BoardOptions options;
    std::string link, flashOut, report, transcriptPath;
    if (!ParseArguments(argc, argv, &options, &link, &flashOut, &report, &transcriptPath)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    int slave = -1;
    std::string slavePath;
    int master = OpenBoardTerminal(&slave, &slavePath);
    if (master < 0) {
        std::perror("tarvelin-board: pseudo-terminal");
        return 1;
    }
    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(slavePath.c_str(), link.c_str()) != 0) {
            std::perror("tarvelin-board: link");
            return 1;
        }
    }
    std::FILE* transcript = transcriptPath.empty() ? nullptr : std::fopen(transcriptPath.c_str(), "w");
    struct sigaction action = {};
    action.sa_handler = Stop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::printf("ready %s\n", slavePath.c_str());
    std::fflush(stdout);

    BoardResult result;
    RunBoard(master, options, &g_stop, transcript, &result);

    bool ok = WriteReport(report, result) && (flashOut.empty() || WriteFlash(flashOut, result));
    if (transcript != nullptr) {
        std::fclose(transcript);
    }
    close(slave);
    if (!link.empty()) {
        unlink(link.c_str());
    }
    return ok ? 0 : 1;
}
