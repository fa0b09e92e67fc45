// The hall of fame: the best runs that ended (by death, or by finding the
// treasure at the bottom of a dungeon), kept across games in
// "savegame\hall_of_fame\hall_of_fame.xml" beside the accounts of the runs.
// A new game deletes the savegame's own files, never this folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr const char* HALL_OF_FAME_FOLDER = "savegame\\hall_of_fame";
constexpr const char* HALL_OF_FAME_FILE = "savegame\\hall_of_fame\\hall_of_fame.xml";
constexpr size_t HALL_OF_FAME_PLACES = 10;

// One run as the hall keeps it.
struct FameEntry {
    int32_t run = 0;             // the run's number among all recorded ones, from 1
    std::string cause;           // the death text, or the words of the win
    std::string map;             // the name of the map the run ended on
    int32_t turns = 0;
    int32_t kills = 0;
    int16_t deepest_level = 0;   // 0: no dungeon level was entered
    std::string dungeon;         // the dungeon of the deepest level
    uint8_t won = 0;
};

struct HallOfFame {
    int32_t runs = 0;  // every run recorded, also those no longer among the best
    std::vector<FameEntry> entries;  // best first
};

// The hall as saved (empty without a file; a damaged file reads as empty and is
// written anew by the next run, so a broken hall never stops a game).
HallOfFame load_hall_of_fame();
// Better first: deeper, then won, then in fewer turns, then the earlier run.
bool better_run(const FameEntry& a, const FameEntry& b);
// Numbers the run, puts it in its place among the best and saves the hall.
// Returns the run as entered (with its number) and its place from 1 (0 when
// it is not among the best).
FameEntry enter_hall_of_fame(FameEntry entry, int* place = nullptr);

struct XmlFileFormat;
// The file's elements and attributes, from the tables it is read and written with.
const XmlFileFormat& hall_of_fame_file_format();
