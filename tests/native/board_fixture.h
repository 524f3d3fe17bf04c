// The virtual board on a real pseudo-terminal, in a thread of the test, and
// the program's port opened on it through the POSIX serial layer.
#ifndef TARVELIN_TESTS_BOARD_FIXTURE_H
#define TARVELIN_TESTS_BOARD_FIXTURE_H

#include "sim/board.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

class BoardOnTerminal {
public:
    explicit BoardOnTerminal(const BoardOptions& options);
    ~BoardOnTerminal();

    const std::wstring& Path() const { return path_; }
    // Stops the board; the result and the bytes each way are then there.
    void Stop();
    const BoardResult& Result() const { return result_; }
    const std::vector<unsigned char>& HostToBoard() const { return hostToBoard_; }
    const std::vector<unsigned char>& BoardToHost() const { return boardToHost_; }
    const std::string& Transcript() const { return transcript_; }

private:
    BoardOptions options_;
    int master_ = -1;
    int slave_ = -1;
    std::wstring path_;
    std::FILE* transcriptFile_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    bool stopped_ = false;
    BoardResult result_;
    std::vector<unsigned char> hostToBoard_, boardToHost_;
    std::string transcript_;
};

#endif
