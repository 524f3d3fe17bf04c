// Times LoadSRecordImage on one file: the best of several loads, in
// milliseconds, on standard output. Built natively and for Windows.
#include "image/srecord.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: image_load_bench FILE.mot [RUNS]\n");
        return 2;
    }
    std::string narrow = argv[1];
    std::wstring path(narrow.begin(), narrow.end());
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    double best = 1e30;
    int size = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        LoadError error;
        unsigned char* image = LoadSRecordImage(path.c_str(), &size, &error);
        auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (image == nullptr) {
            std::fprintf(stderr, "load failed: %d at line %d\n", static_cast<int>(error.failure), error.line);
            return 1;
        }
        std::free(image);
        if (elapsed < best) {
            best = elapsed;
        }
    }
    std::printf("%.3f %d\n", best, size);
    return 0;
}
