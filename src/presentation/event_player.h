// The presentation's side of the rules' events: each is played at once with
// its pictures, sounds and waits (see common/events.h).
#pragma once
#include "common/events.h"

void play_event(const Event& happening);
// Every sound of the sound table with that name, now.
void play_sound_now(const std::string& name);
