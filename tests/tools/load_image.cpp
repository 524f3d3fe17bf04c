// Loads an S-record file with the program's loader and writes the image to
// standard output as raw bytes; on failure prints the reason and exits 1.
// For comparing the loader with other S-record tools.
#include "image/srecord.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_image FILE.mot\n");
        return 2;
    }
    std::string narrow = argv[1];
    std::wstring path(narrow.begin(), narrow.end());
    int size = 0;
    LoadError error;
    unsigned char* image = LoadSRecordImage(path.c_str(), &size, &error);
    if (image == nullptr) {
        std::fprintf(stderr, "failure %d line %d\n", static_cast<int>(error.failure), error.line);
        return 1;
    }
    size_t written = std::fwrite(image, 1, static_cast<size_t>(size), stdout);
    std::free(image);
    return written == static_cast<size_t>(size) && std::fflush(stdout) == 0 ? 0 : 1;
}
