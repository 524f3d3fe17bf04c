#include "res/string_table.h"

const StringTableEntry STRING_TABLE[] = {
#define TARVELIN_STRING(symbol, id, text, english) {id, L"" text, L"" english, false},
#define TARVELIN_CONSOLE_STRING(symbol, id, text, english) {id, L"" text, L"" english, true},
#include "res/strings.def"
#undef TARVELIN_CONSOLE_STRING
#undef TARVELIN_STRING
};

const int STRING_TABLE_ENTRIES = sizeof STRING_TABLE / sizeof STRING_TABLE[0];

namespace {

TableLanguage g_tableLanguage = TABLE_JAPANESE;

}  // namespace

void SelectTableLanguage(TableLanguage language) { g_tableLanguage = language; }

const wchar_t* FindStringTableEntry(int id)
{
    for (const StringTableEntry& entry : STRING_TABLE) {
        if (entry.id == id) {
            return g_tableLanguage == TABLE_ENGLISH ? entry.english : entry.text;
        }
    }
    return nullptr;
}
