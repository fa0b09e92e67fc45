// File services. The game names files by its logical paths ("config\preferences.xml",
// "savegame\character.xml"); these are mapped below the game folder, with
// backslashes turned into slashes. The game folder is the folder of the
// executable (set by main) or any folder a test chooses.
#pragma once
#include <string>
#include <vector>

void set_game_folder(const std::string& folder);
const std::string& game_folder();
// The folder that holds the running executable (from /proc/self/exe).
std::string executable_folder();
// The folder of the game's own files (savegame\..., config\preferences.xml)
// when they do not lie in the game folder: the user's data folder of an
// installed game (use_game_folders), the folder of its own that a replay
// writes the saves of the session it shows into. Empty: the game folder.
void set_writable_folder(const std::string& host_folder);
const std::string& writable_folder();
// Host path of a logical path: backslash -> slash, relative paths below the game
// folder; the game's own files (savegame\..., config\preferences.xml) below the
// save folder.
std::string host_path(const std::string& logical_path);

// Where the game's folders are, for an executable in `executable_folder`:
// - its data folders beside it (the build folder, a copied game): that folder,
//   which is also where the game writes, as long as it can be written;
// - otherwise PREFIX/share/games/umbrane for an executable in PREFIX/games
//   (Debian's place for games) or PREFIX/share/umbrane for one in PREFIX/bin
//   (an installed game), whose data stay read-only.
// Where the game folder is installed or cannot be written, the savegame and the
// preferences live in the user's data folder (user_data_folder), which starts
// with a copy of the shipped preferences. The logical paths stay the same.
struct GameFolders {
    std::string game;       // the data folders (config, data, graphics, ...)
    std::string save;       // savegame\ and config\preferences.xml; the game folder when they are there
    bool installed = false; // the data were found through the installed layout
    std::string preferences; // where the save folder is the user's: the folder of preferences.xml
                             // ($XDG_CONFIG_HOME/umbrane); empty: config\ of the save folder
};
GameFolders locate_game_folders(const std::string& executable_folder);
// Sets the game and save folders and, for a save folder of its own, the
// preferences folder, which gets the preferences an earlier version kept in the
// save folder (moved once) or else a copy of the shipped ones.
void use_game_folders(const GameFolders& folders);
const std::string& save_folder();
// $XDG_DATA_HOME/umbrane, else ~/.local/share/umbrane (home from $HOME or the
// password database); empty when there is no home at all.
std::string user_data_folder();
// $XDG_CONFIG_HOME/umbrane, else ~/.config/umbrane; empty without a home.
std::string user_config_folder();

// Size in bytes; negative when the file is missing.
long long file_size(const std::string& logical_path);
bool file_exists(const std::string& logical_path);

struct FolderEntry {
    std::string name;
    int type = 0;  // 1 = file, 2 = folder
};
// Entries of one folder whose names match a wildcard pattern ("*" and "?",
// letter case ignored as on the game's original platform), sorted by name.
std::vector<FolderEntry> list_folder(const std::string& logical_folder, const std::string& pattern);
bool delete_file(const std::string& logical_path);
// Create a folder (and its parents) when missing.
bool make_folder(const std::string& logical_folder);
// Makes "savegame\" where it is missing; empty when the game can write there,
// else the folders it tried (the game folder's, then the user's data folder's),
// each between double quotes.
std::string unwritable_savegame_folders();
// Write a whole file through a temporary file in the same folder and a rename,
// so a crash never leaves a half-written file. Creates the folder when missing.
// While a save batch of the file's folder is open, the rename waits for it.
bool write_file_atomically(const std::string& logical_path, const std::string& content);
bool write_file_atomically(const std::string& logical_path, const void* data, size_t size);

// A save of several files of one folder as one step (the savegame: the maps,
// the character, the screenshot). While the batch is open, every file written
// into its folder goes to its temporary only (and reads as written); commit
// renames them all over their targets, in the order they were written, so the
// file written last (the character, which tells start-up that a game exists)
// comes last. Before the renames the batch writes their list into the folder,
// and the list goes when they are done: killed before that, the old files are
// all still there; killed during the renames, the next start-up finishes them
// (finish_interrupted_save). Every file and the folder are synced to the disk
// before and after the renames. A batch that closes without a commit (an error
// on the way) removes its temporaries and leaves the old files.
// A step that cannot be written (a full disk) leaves the folder as it was and
// commit says so (error() the cause); what it wrote is kept in memory, is what
// the game reads from then on, and goes into the next step of the folder. A
// screenshot that cannot be written is left out of the step.
class SaveBatch {
public:
    explicit SaveBatch(const std::string& logical_folder);
    ~SaveBatch();
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;
    // The step replaces the saved game: the files the game saved into the
    // folder that the step does not write again are removed in it (the
    // screenshot stays), and are gone for the reads from now on.
    void replace_saved_game();
    // False when the step could not be written or a rename failed (the list
    // then stays for the next start-up).
    bool commit();
    // The cause (an errno value) of a step that could not be written; 0 without one.
    int error() const;
    // What the open step (or a step kept in memory) holds for a target (a host
    // path); `missing`: the file is gone with a replaced game. False when
    // the file is read from the disk.
    static bool pending_content(const std::string& target, const std::string*& content, bool& missing);

private:
    friend bool write_file_atomically(const std::string&, const void*, size_t);
    struct Pending {
        std::string temporary, target;  // host paths
        std::string content;
    };
    std::string folder_;  // host path
    std::vector<Pending> pending_;
    bool replace_ = false;
    int error_ = 0;
    SaveBatch* outer_ = nullptr;  // a batch opened inside another one joins it
};

// Start-up: finishes the renames of a save batch that was killed during them,
// then removes every temporary that a kill left in the folder. What a failed
// step kept in memory is forgotten: the folder reads as the disk holds it.
void finish_interrupted_save(const std::string& logical_folder);
// Removes the saved game from a folder: `first` (the character), then every
// other file the game saved there (the screenshot stays), never anything else,
// and forgets a step of it that could not be written.
void clear_saved_game(const std::string& logical_folder, const std::string& first);
// The game's own folders below the save folder (savegame, its recordings,
// config) and the files in the savegame, the preferences: the first one that is
// a link leading out of the save folder, as the message that refuses it; ""
// when none does. The game reads, writes and clears nothing there then.
std::string link_out_of_own_folders();
// Moves those files of a folder that do not read into a new folder of it named
// by the date and time ("savegame\damaged_2024-05-01_18-30-05"), nothing
// deleted; returns that folder's logical path.
std::string keep_aside(const std::string& logical_folder, const std::vector<std::string>& names);
// The files the game saved into a folder that make up its saved game (the screenshot not).
std::vector<std::string> saved_game_files(const std::string& logical_folder);
// A save step could not be written and is kept in memory for the next one.
bool unsaved_changes();

// Tests: the nth operation that changes a file from now on (opening, each
// write, sync, rename or removal) fails with that errno value; with sticky,
// every one after it too (a full disk). 0 for none.
void inject_file_fault(long nth, int error, bool sticky);
// The operations counted since inject_file_fault.
long file_operations();
// Saves are synced to the disk (the default); off for the benchmark's comparison.
void set_durable_saves(bool durable);

// False when the file is missing, no regular file, or larger than the limit.
bool read_whole_file(const std::string& logical_path, std::string& content);
// No file larger than that many bytes is read from now on, nor any file of the
// kernel's (/proc, /sys, /dev) a link leads to: for a check of files that may
// be hostile. 0 for no limit, as in the game.
void limit_file_reads(long long largest);
// Whether a file (host path) may be read under that limit.
bool file_within_limits(const std::string& host_file);
// Wildcard match as used by list_folder.
bool wildcard_match(const std::string& pattern, const std::string& name);
