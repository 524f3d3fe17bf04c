#include "tests/common/srecord_records.h"

#include <cstdio>

std::string RawRecord(char type, const std::vector<unsigned char>& fields)
{
    std::string line = std::string("S") + type;
    unsigned sum = 0;
    char hex[3];
    for (unsigned char b : fields) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
        sum += b;
    }
    std::snprintf(hex, sizeof hex, "%02X", ~sum & 0xFFu);
    return line + hex;
}

std::string DataRecord(int type, unsigned long address, const std::vector<unsigned char>& data)
{
    int addressBytes = type + 1;
    std::vector<unsigned char> fields;
    fields.push_back(static_cast<unsigned char>(addressBytes + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i) {
        fields.push_back(static_cast<unsigned char>((address >> (8 * i)) & 0xFF));
    }
    fields.insert(fields.end(), data.begin(), data.end());
    return RawRecord(static_cast<char>('0' + type), fields);
}
