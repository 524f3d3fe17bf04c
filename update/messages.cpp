#include "update/update.h"

#include "app/format_text.h"
#include "app/shell.h"
#include "res/string_ids.h"

void FormatBlockError(wchar_t* out, int kind, int address, int expected, int received, int step)
{
    wchar_t values[MESSAGE_CHARS] = {};
    if (kind == IDS_KIND_VERIFY) {
        FormatText(values, MESSAGE_CHARS, L"(%02x:%02x)", {expected, received});
    }
    FormatText(out, MESSAGE_CHARS, LoadResString(IDS_BLOCK_ERROR_FORMAT),
               {LoadResString(kind), address, step, values});
}

void FormatLoadReason(wchar_t* out, const LoadError& error)
{
    int reason = IDS_LOAD_CANNOT_OPEN;
    switch (error.failure) {
    case LOAD_OK:
    case LOAD_CANNOT_OPEN:
        reason = IDS_LOAD_CANNOT_OPEN;
        break;
    case LOAD_OUT_OF_MEMORY:
        reason = IDS_LOAD_OUT_OF_MEMORY;
        break;
    case LOAD_BAD_CHECKSUM:
        reason = IDS_LOAD_BAD_CHECKSUM;
        break;
    case LOAD_INVALID_CHARACTER:
        reason = IDS_LOAD_INVALID_CHARACTER;
        break;
    case LOAD_RECORD_TOO_SHORT:
        reason = IDS_LOAD_RECORD_TOO_SHORT;
        break;
    case LOAD_BEYOND_CAPACITY:
        reason = IDS_LOAD_BEYOND_CAPACITY;
        break;
    }
    FormatText(out, MESSAGE_CHARS, LoadResString(reason), {error.line});
}
