// Motorola S-record files as flat images: bytes indexed by target address
// from 0, 0xFF where no record gave data.
#ifndef TARVELIN_IMAGE_SRECORD_H
#define TARVELIN_IMAGE_SRECORD_H

// The largest image: addresses 0 to IMAGE_CAPACITY - 1.
constexpr int IMAGE_CAPACITY = 0x100000;
// The longest line the loader reads; data records are far shorter.
constexpr int SRECORD_LINE_CHARS = 4000;

enum LoadFailure {
    LOAD_OK,
    LOAD_CANNOT_OPEN,
    LOAD_OUT_OF_MEMORY,
    LOAD_BAD_CHECKSUM,
    LOAD_INVALID_CHARACTER,
    LOAD_RECORD_TOO_SHORT,
    LOAD_BEYOND_CAPACITY,
};

// Why a load failed, and on which line (counted from 1; 0 when no line is to
// blame).
struct LoadError {
    LoadFailure failure;
    int line;
};

// Loads the file into a new block of *size bytes (the highest address
// written plus one), which the caller frees with std::free; a file without
// data records gives a valid block of size 0. On failure returns null, leaves
// *size alone and tells why through error. size and error may be null.
//
// Data records (S1, S2, S3) are checked in full: hex digits only, as long as
// their byte count says, a byte count that covers the address and checksum,
// the right checksum, data below IMAGE_CAPACITY. Other lines are ignored.
unsigned char* LoadSRecordImage(const wchar_t* path, int* size, LoadError* error);

// "0"-"9" give 0-9, "A"-"Z" and "a"-"z" give 10-35, anything else 0.
int HexDigitValue(wchar_t c);

#endif
