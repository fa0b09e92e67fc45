// Recorded sessions of the game program: every session is recorded as it is
// played (the seed, the savegame and preferences it started from, the input
// pass by pass), and a recording is played again in the window, checked save
// by save, or given to a changed game to make a new recording.
#pragma once
#include <cstdint>
#include <string>

#include "platform/recording.h"

// The folder of the sessions' recordings, and how many of them are kept.
constexpr const char* RECORDINGS_FOLDER = "savegame\\recordings";
constexpr int RECORDINGS_KEPT = 20;

// Starts recording the session that begins now, with the generator seeded by
// seed: into a new file of RECORDINGS_FOLDER named by the date and time (the
// oldest beyond RECORDINGS_KEPT go), or into the host file given. Any save a
// kill left half done is finished first, so the files taken in are whole. A
// recording that cannot be written leaves the game as it is, unrecorded.
void start_session_recording(uint32_t seed, const std::string& host_file = "");

// Reads a recording file (a logical or host path) that this game can replay:
// a fatal error tells what is wrong with any other file.
recording::Recording read_recording(const std::string& file);

enum class ReplayKind { window, verify, rerecord };

// Plays the session of a recording (a host path): in the window at its own
// speed, or headless checking every save against the recorded one (prints
// "replay matches" or the first pass that differs), or headless while
// recording the same input anew into new_recording. The savegame it starts
// from is unpacked into a folder of its own, so the player's savegame is
// never touched. A file that is no readable recording is a fatal error.
// Returns the exit status: 0 when it matched (or the player ended it), 1 when not.
int replay_session(const std::string& recording_file, ReplayKind kind, const std::string& new_recording = "");
