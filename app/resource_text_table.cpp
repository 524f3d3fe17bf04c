#include "app/resource_text.h"
#include "res/string_table.h"

#include <cwchar>

int LoadResourceText(int id, wchar_t* buffer, int bufferChars)
{
    const wchar_t* text = FindStringTableEntry(id);
    if (text == nullptr || bufferChars <= 0) {
        return 0;
    }
    int length = 0;
    while (length < bufferChars - 1 && text[length] != L'\0') {
        buffer[length] = text[length];
        ++length;
    }
    buffer[length] = L'\0';
    return length;
}
