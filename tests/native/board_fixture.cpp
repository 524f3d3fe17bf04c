#include "tests/native/board_fixture.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

BoardOnTerminal::BoardOnTerminal(const BoardOptions& options) : options_(options)
{
    std::string slavePath;
    master_ = OpenBoardTerminal(&slave_, &slavePath);
    path_.assign(slavePath.begin(), slavePath.end());
    transcriptFile_ = std::tmpfile();
    if (master_ >= 0) {
        thread_ = std::thread([this] { RunBoard(master_, options_, &stop_, transcriptFile_, &result_); });
    }
}

BoardOnTerminal::~BoardOnTerminal() { Stop(); }

void BoardOnTerminal::Stop()
{
    if (stopped_) {
        return;
    }
    stopped_ = true;
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (slave_ >= 0) {
        close(slave_);
    }
    if (transcriptFile_ == nullptr) {
        return;
    }
    std::rewind(transcriptFile_);
    char line[256];
    while (std::fgets(line, sizeof line, transcriptFile_) != nullptr) {
        transcript_ += line;
        double seconds = 0;
        char direction[8] = {};
        unsigned value = 0;
        if (std::sscanf(line, "%lf %7s %x", &seconds, direction, &value) == 3) {
            if (std::strcmp(direction, "H>B") == 0) {
                hostToBoard_.push_back(static_cast<unsigned char>(value));
            } else if (std::strcmp(direction, "B>H") == 0) {
                boardToHost_.push_back(static_cast<unsigned char>(value));
            }
        }
    }
    std::fclose(transcriptFile_);
    transcriptFile_ = nullptr;
}
