// The readers of the game's data and save files, fed with arbitrary bytes:
// the fuzz targets (one program per reader) and the replay of their seeds and
// of every input that once broke a reader both go through here.
//
// A reader may refuse a file with a fatal error; that is what hostile input
// is expected to get. Anything else it does (a crash, a sanitizer report, an
// exception of another kind) is a fault. A save file that a reader accepts
// must also come back unchanged: written, read again and written once more,
// it gives the same text.
#pragma once
#include <string>
#include <vector>

struct FuzzReader {
    const char* name;          // "abilities", "map", ... (the target is fuzz_ + name)
    const char* logical_path;  // where the input is put below the scratch game folder
};

// Every fuzzed reader, in a fixed order.
const std::vector<FuzzReader>& fuzz_readers();
const FuzzReader* find_fuzz_reader(const std::string& name);

enum class FuzzOutcome {
    refused,   // the reader ended with a fatal error
    accepted,  // read without error (and, for a save file, written back unchanged); the check ran through
    unstable,  // a save file read without error did not write back as it read
};

struct FuzzResult {
    FuzzOutcome outcome = FuzzOutcome::refused;
    std::string detail;  // the fatal error's text, or what differed
};

// Makes a scratch game folder with the shipped data the readers rely on
// (preferences, the databases, the standard tileset) and loads the databases
// once. The media layer must be open (headless). Safe to call again.
void prepare_fuzz_readers(const std::string& shipped_game_folder);
// Writes content as the reader's file and runs the reader on it, every table
// it depends on restored to the shipped state first. Exceptions other than
// FatalError pass through.
FuzzResult run_fuzz_reader(const FuzzReader& reader, const std::string& content);
// The scratch folder (removed at program end).
const std::string& fuzz_scratch_folder();
