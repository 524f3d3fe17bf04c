#include "cli/resource_format.h"

#include "app/shell.h"
#include "update/update.h"

std::wstring FormatResource(int id, std::initializer_list<FormatArg> args)
{
    wchar_t text[MESSAGE_CHARS];
    FormatText(text, MESSAGE_CHARS, LoadResString(id), args);
    return text;
}
