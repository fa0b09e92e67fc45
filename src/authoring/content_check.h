// The content check, for the people who make games with the engine
// (umbrane --check [GAME_FOLDER]). It reads every file the game reads at
// start-up, every map of "maps\" and, when a game is saved, the character and
// the maps of "savegame\", each with the game's own reader: a file's first
// fatal fault is reported with the game's exact message. Then it looks up
// everything one file names in another (abilities, item types, monster types, powers, tile types, sounds,
// animations, map files, cells of the picture sheets, events, messages in
// every language), follows every portal to a field the character can stand
// on, makes every dungeon's levels with 20 seeds in a scratch folder of its own
// to find a way on, and warns about maps no portal or dungeon leads to.
// Beside the readers it reads every value of every well-formed file against
// the file's format (numbers, flags, words, names where ids are wanted, the
// width of the field), finds entries given twice, monsters and items where
// no one reaches them, texts the player sees without their translation,
// pictures and sounds that do not decode whole and files not in UTF-8, and
// names at a file with a fault the checks that fault kept from being made.
// Each finding says what is wrong in an author's words; where the game would
// end with a message, that message follows.
#pragma once
#include <string>
#include <vector>

struct CheckFinding {
    std::string file;  // logical path ("data\items.xml"), or a folder ("sound")
    int line = 0;      // 0: the file as a whole
    std::string text;
    bool warning = false;
};

struct CheckResult {
    std::vector<CheckFinding> findings;  // in the order found, each once
    int faults = 0;
    int warnings = 0;
};

struct CheckOptions {
    int trial_seeds = 20;  // seeds each level of each dungeon is made with
    // Where the game keeps its savegame and preferences when not in the game
    // folder (an installed game's user data folder); empty: the game folder.
    std::string save_folder = {};
};

// Checks the game in the folder (a host path). It reads with the game's own
// readers, so the media layer must be open (headless); the game and save
// folders and every game table are left as the check left them. It writes
// nothing but its scratch folder (in /dev/shm or the system's temporary
// folder), which it removes.
CheckResult check_game(const std::string& folder, const CheckOptions& options = {});

// A finding as printed: "FILE:LINE: TEXT", or "FILE:LINE: warning: TEXT" for
// a warning, FILE the host path of the file in the game and save folders set
// (as the check leaves them: below the folder as the folder was given).
std::string finding_text(const CheckFinding& finding);

// The whole text is a number as the files write one: decimal, "$" hexadecimal
// or "%" binary, with a sign, blanks around it allowed (the game itself reads
// the digits at the start and takes other text as 0).
bool whole_number(const std::string& text, long long& value);
