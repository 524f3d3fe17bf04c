// Starting a thread without letting the library's exception escape: the
// program reports by return value.
#ifndef TARVELIN_CLI_START_THREAD_H
#define TARVELIN_CLI_START_THREAD_H

#include <system_error>
#include <thread>
#include <utility>

// 1 with *thread running body; 0 when the system could not start one.
template <typename Body>
int StartThread(std::thread* thread, Body&& body)
{
    try {
        *thread = std::thread(std::forward<Body>(body));
        return 1;
    } catch (const std::system_error&) {
        return 0;
    }
}

#endif
