#include "common/events.h"

namespace {
void (*g_player)(const Event&) = nullptr;
}

void tell(const Event& happening) {
    if (g_player) g_player(happening);
}

void set_event_player(void (*player)(const Event&)) { g_player = player; }
