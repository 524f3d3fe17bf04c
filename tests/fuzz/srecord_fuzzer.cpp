// libFuzzer target: any bytes as an S-record file. The loader must never
// crash, leak or read or write out of bounds, and a success must be an image
// of at most the capacity.
#include "image/srecord.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int descriptor = memfd_create("srecord-fuzz", 0);
    if (descriptor < 0 || ftruncate(descriptor, 0) != 0 || pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    static const std::wstring path = L"/proc/self/fd/" + std::to_wstring(descriptor);
    int imageSize = -1;
    LoadError error;
    unsigned char* image = LoadSRecordImage(path.c_str(), &imageSize, &error);
    if (image != nullptr) {
        if (imageSize < 0 || imageSize > IMAGE_CAPACITY || error.failure != LOAD_OK) {
            std::abort();
        }
        volatile unsigned char sink = 0;
        for (int i = 0; i < imageSize; ++i) {
            sink = sink ^ image[i];
        }
        std::free(image);
    } else if (error.failure == LOAD_OK || error.failure == LOAD_CANNOT_OPEN) {
        std::abort();
    }
    return 0;
}
