#include "res/string_table.h"

const StringTableEntry STRING_TABLE[] = {
#define TARVELIN_STRING(symbol, id, text) {id, L"" text},
#include "res/strings.def"
#undef TARVELIN_STRING
};

const int STRING_TABLE_ENTRIES = sizeof STRING_TABLE / sizeof STRING_TABLE[0];

const wchar_t* FindStringTableEntry(int id)
{
    for (const StringTableEntry& entry : STRING_TABLE) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}
