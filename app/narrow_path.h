// POSIX system calls take paths as bytes: a wide path in the locale's
// multibyte encoding.
#ifndef TARVELIN_APP_NARROW_PATH_H
#define TARVELIN_APP_NARROW_PATH_H

#include <string>

// false when the path holds a character the encoding cannot write.
bool NarrowPath(const wchar_t* path, std::string* narrow);

#endif
