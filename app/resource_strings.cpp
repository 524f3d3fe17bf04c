#include "app/shell.h"
#include "app/resource_text.h"

#include <cwchar>

namespace {

constexpr int RING_SLOTS = 32;
constexpr int STRING_CHARS = 4096;
// The loader is given one character less than the buffer, so that a longer
// entry is cut to STRING_CHARS - 2 characters and stays terminated.
constexpr int LOAD_LIMIT = STRING_CHARS - 1;

// One ring per thread: boards updated at once each load their own texts.
thread_local wchar_t g_ring[RING_SLOTS][STRING_CHARS];
thread_local int g_ringIndex = 0;

}  // namespace

const wchar_t* LoadResString(int id)
{
    wchar_t text[STRING_CHARS] = {};
    LoadResourceText(id, text, LOAD_LIMIT);
    g_ringIndex = (g_ringIndex + 1) % RING_SLOTS;
    wchar_t* slot = g_ring[g_ringIndex];
    std::wmemset(slot, L'\0', STRING_CHARS);
    std::wcsncpy(slot, text, STRING_CHARS - 1);
    return slot;
}
