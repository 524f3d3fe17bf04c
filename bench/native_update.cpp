// The update of the Windows program's worker, natively through the POSIX
// port, for measuring against the wire: loader transfer and block
// programming on a device, with no window. Prints the seconds from the
// first byte to the completion and the process's CPU seconds.
//
// usage: native_update DEVICE WRITE.MOT FIRMWARE.MOT
#include "app/ui_record.h"
#include "image/srecord.h"
#include "serial/port.h"
#include "update/update.h"

#include <sys/resource.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Wide(const char* text)
{
    std::string narrow = text;
    return std::wstring(narrow.begin(), narrow.end());
}

double CpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: native_update DEVICE WRITE.MOT FIRMWARE.MOT\n");
        return 2;
    }
    std::setlocale(LC_ALL, "C.UTF-8");
    std::wstring device = Wide(argv[1]);
    int loaderSize = 0;
    LoadError error;
    unsigned char* loader = LoadSRecordImage(Wide(argv[2]).c_str(), &loaderSize, &error);
    if (loader == nullptr) {
        std::fprintf(stderr, "write.mot: failure %d at line %d\n", static_cast<int>(error.failure), error.line);
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    bool transferred = OpenSerialDevice(OWNER_DIALOG, device.c_str(), BootProfile) &&
                       TransferLoader(loader, loaderSize);
    std::free(loader);
    CloseSerialPort();
    int size = 0;
    int paddedSize = 0;
    unsigned char* padded = transferred ? LoadPaddedFirmware(Wide(argv[3]).c_str(), &size, &paddedSize) : nullptr;
    if (padded == nullptr || !OpenSerialDevice(OWNER_DIALOG, device.c_str(), ProgramProfile)) {
        std::free(padded);
        std::fprintf(stderr, "update failed before programming\n");
        for (const UiEvent& event : UiEvents()) {
            std::fprintf(stderr, "event %d: %ls\n", static_cast<int>(event.kind), event.text.c_str());
        }
        return 1;
    }
    ProgramBlocks(padded, paddedSize);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::vector<UiEvent> events = UiEvents();
    bool completed = !events.empty() && events.back().kind == UiEvent::END_DIALOG && events.size() >= 2 &&
                     events[events.size() - 2].owner == OWNER_NONE;
    std::printf("%.6f %.6f %s\n", seconds, CpuSeconds(), completed ? "completed" : "failed");
    for (const UiEvent& event : events) {
        if (!completed && event.kind == UiEvent::MESSAGE) {
            std::fprintf(stderr, "message: %ls\n", event.text.c_str());
        }
    }
    return completed ? 0 : 1;
}
