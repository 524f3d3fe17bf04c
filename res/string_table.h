// The string table compiled into the program, for builds without Windows
// resources.
#ifndef TARVELIN_RES_STRING_TABLE_H
#define TARVELIN_RES_STRING_TABLE_H

enum TableLanguage { TABLE_JAPANESE, TABLE_ENGLISH };

struct StringTableEntry {
    int id;
    const wchar_t* text;     // Japanese: the program's own text
    const wchar_t* english;  // its translation
    bool consoleOnly;        // not in the .rc string table
};

extern const StringTableEntry STRING_TABLE[];
extern const int STRING_TABLE_ENTRIES;

// The entry's text in the selected language, or null when there is none.
const wchar_t* FindStringTableEntry(int id);
// Japanese unless chosen otherwise; chosen once, before any text is loaded.
void SelectTableLanguage(TableLanguage language);

#endif
