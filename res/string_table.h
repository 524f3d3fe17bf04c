// The string table compiled into the program, for builds without Windows
// resources.
#ifndef TARVELIN_RES_STRING_TABLE_H
#define TARVELIN_RES_STRING_TABLE_H

struct StringTableEntry {
    int id;
    const wchar_t* text;
};

extern const StringTableEntry STRING_TABLE[];
extern const int STRING_TABLE_ENTRIES;

// The entry's text, or null when there is none.
const wchar_t* FindStringTableEntry(int id);

#endif
