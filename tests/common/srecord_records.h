// Builds S-record lines with correct checksums, for tests.
#ifndef TARVELIN_TESTS_SRECORD_RECORDS_H
#define TARVELIN_TESTS_SRECORD_RECORDS_H

#include <string>
#include <vector>

// One data record: type 1, 2 or 3, its address and data, no line end.
std::string DataRecord(int type, unsigned long address, const std::vector<unsigned char>& data);
// A record whose fields are given as they are (count included), with the
// checksum those bytes call for.
std::string RawRecord(char type, const std::vector<unsigned char>& countAddressData);

#endif
