#include "app/ui_record.h"

#include <mutex>

namespace {

std::mutex g_eventsLock;
std::vector<UiEvent> g_events;
void (*g_listener)(const UiEvent&) = nullptr;

void Record(const UiEvent& event)
{
    void (*listener)(const UiEvent&);
    {
        std::lock_guard<std::mutex> hold(g_eventsLock);
        g_events.push_back(event);
        listener = g_listener;
    }
    if (listener != nullptr) {
        listener(event);
    }
}

}  // namespace

std::vector<UiEvent> UiEvents()
{
    std::lock_guard<std::mutex> hold(g_eventsLock);
    return g_events;
}

void UiClearEvents()
{
    std::lock_guard<std::mutex> hold(g_eventsLock);
    g_events.clear();
}

void UiSetListener(void (*listener)(const UiEvent& event))
{
    std::lock_guard<std::mutex> hold(g_eventsLock);
    g_listener = listener;
}

void UiShowMessage(MessageOwner owner, const wchar_t* text, MessageIcon icon)
{
    Record({UiEvent::MESSAGE, owner, icon, text, 0});
}

void UiSetStatus(const wchar_t* text) { Record({UiEvent::STATUS, OWNER_DIALOG, ICON_NONE, text, 0}); }

void UiSetProgress(int position) { Record({UiEvent::PROGRESS, OWNER_DIALOG, ICON_NONE, L"", position}); }

void UiEndDialog() { Record({UiEvent::END_DIALOG, OWNER_DIALOG, ICON_NONE, L"", 0}); }

void UiBlockProgrammed(int address)
{
    Record({UiEvent::BLOCK_PROGRAMMED, OWNER_DIALOG, ICON_NONE, L"", address});
}
