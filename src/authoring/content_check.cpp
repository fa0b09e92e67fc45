#include "authoring/content_check.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/character_record.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/names.h"
#include "common/raise_error.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "items/item_db.h"
#include "map/level_creation.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "map/tileset.h"
#include "monsters/monster_db.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/sound_mixer.h"
#include "platform/surface.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "powers/power_db.h"
#include "powers/use_power.h"
#include "game/character_savegame.h"
#include "presentation/display.h"
#include "screens/game_state.h"
#include "authoring/level_trials.h"
#include "common/message_list.h"
#include "common/preferences.h"

namespace {

// Bounds of what the check reads: no file of a game comes near them, and a
// hostile folder must not make the check run out of memory or time.
constexpr long long kLargestFile = 8LL << 20;
constexpr int kLargestPictureSide = 4096;
// The levels of a dungeon beyond this many are not tried, the languages of the messages beyond this many not checked.
constexpr int kMostTrialLevels = 50;
constexpr size_t kMostLanguages = 16;
// A step never enters the last row or column of the grid.
constexpr int kLastStepField = kMapSize - 2;

const char* const kGameFolders[] = {"config", "data", "graphics", "maps", "sound", "tilesets", "savegame"};
const std::string kPreferences = "config\\preferences.xml";
const std::string kMessages = "data\\messages.xml";
const std::string kAbilities = "data\\abilities.xml";
const std::string kMonsters = "data\\monster.xml";
const std::string kPowers = "data\\powers.xml";
const std::string kItems = "data\\items.xml";
const std::string kCharacter = "savegame\\character.xml";

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string attribute_or(const XmlElement& element, const char* name, const std::string& otherwise) {
    const std::string* value = element.attribute(name);
    return value ? *value : otherwise;
}

std::string join_words(const std::vector<std::string>& words, const std::string& between) {
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : between) + word;
    return out;
}

std::string position(int x, int y) { return int_to_text(x) + ", " + int_to_text(y); }

const SpriteFile& sprite_file_of(int number) {
    return *std::find_if(sprite_files().begin(), sprite_files().end(),
                         [&](const SpriteFile& f) { return f.number == number; });
}

// What the check knows of one tile type definition file and its sheet.
struct TilesetFacts {
    int cells = -1;      // cells of the sheet; -1 while unknown
    std::string definition, image;  // file parts
    std::array<bool, kTileTypeCount> defined{};
    std::array<bool, kTileTypeCount> solid{};
    std::array<std::string, kTileTypeCount> names;
};

// The line of a file's first byte that is no part of a UTF-8 character; 0
// when all are (or the file declares another encoding).
int first_line_not_utf8(const std::string& file) {
    std::string bytes;
    if (!read_whole_file(file, bytes)) return 0;
    const size_t declaration_end = bytes.rfind("<?xml", 0) == 0 ? bytes.find("?>") : std::string::npos;
    if (declaration_end != std::string::npos) {
        const std::string declaration = lower_case(bytes.substr(0, declaration_end));
        if (declaration.find("encoding") != std::string::npos && declaration.find("utf-8") == std::string::npos)
            return 0;
    }
    int line = 1;
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') ++line;
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return line;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) >> 6) != 2) return line;
        i += length;
    }
    return 0;
}

// How a reader of the game got on with a file.
enum class Read {
    whole,          // without fault
    names_missing,  // through the whole file, then a name it gives was not found: its table is whole
    failed,         // it stopped at a fault
};

// A map file the game read without fault.
struct MapFacts {
    std::string file;  // logical path
    std::string name;  // file part
    int root_line = 0;
    std::array<std::array<int16_t, kMapSize>, kMapSize> tiles{};  // [y][x]
    std::array<std::array<bool, kMapSize>, kMapSize> portals{};   // [y][x]
    const TilesetFacts* tileset = nullptr;
    struct Dungeon {
        DungeonRecord record;
        int line;
        const XmlElement* element;  // in the kept document
    };
    std::vector<Dungeon> dungeons;
};

// A portal, a transformation's portal or a dungeon's bottom portal.
struct PortalLink {
    std::string from;  // logical path of the map
    int line = 0;
    std::string target;  // file part
    int x = 0, y = 0;
};

// A file read with the game's reader, kept for the checks across files.
struct ReadFile {
    std::string file;
    const XmlFileFormat* format = nullptr;
    std::unique_ptr<XmlDocument> document;
    bool read = false;  // the game's reader took it without fault
    const TilesetFacts* tileset = nullptr;  // the tile types its tile type ids name
};

class Checker {
public:
    Checker(std::string folder, const CheckOptions& options) : folder_(std::move(folder)), options_(options) {}
    CheckResult run();

private:
    // ---- findings ----
    void fault(const std::string& file, int line, const std::string& text) { add(file, line, text, false); }
    void warn(const std::string& file, int line, const std::string& text) { add(file, line, text, true); }
    void add(const std::string& file, int line, const std::string& text, bool warning);
    Read read_with_game(const std::string& file, const std::function<void()>& read,
                        const std::function<bool(const std::string&)>& cascade = nullptr);
    ReadFile& keep(const std::string& file, const XmlFileFormat& format, Read read);

    // ---- the files, each with the game's reader ----
    void screen_folders();
    void check_preferences();
    void check_messages();
    void check_message_languages();
    void check_sounds();
    void check_graphics();
    void check_databases();
    void check_tilesets();
    const TilesetFacts* tileset_facts(const std::string& definition, const std::string& image);
    void check_maps();
    void check_map(const std::string& file);
    void check_character();

    // ---- across files ----
    void check_names();
    void walk(ReadFile& file, const XmlElement& element, const XmlElementFormat& format,
              const std::set<std::string>& events);
    void check_value(ReadFile& file, const XmlElement& element, const char* kind, const std::string& attribute,
                     const std::string& value, const std::set<std::string>& events);
    void check_tile(const ReadFile& file, int line, const TilesetFacts* tileset, const std::string& what,
                    long long id);
    void check_cell(const ReadFile& file, int line, const std::string& attribute, const std::string& value,
                    int sprite_number, const SheetSize& sheet);
    void check_transformation(const ReadFile& file, const XmlElement& element);
    void check_portal_field(const ReadFile& file, const XmlElement& element);
    bool relocate_reader_fault(const std::string& file, const std::string& name, int line);
    void check_portals();
    void check_fixed_content();
    void check_dungeons();
    void try_dungeon(const MapFacts& map, const MapFacts::Dungeon& dungeon);
    void check_reachable_maps();

    // ---- every value, every duplicate, every placement ----
    void check_values(const ReadFile& file, const XmlElement& element, const XmlElementFormat& format);
    void check_number(const ReadFile& file, int line, const XmlAttributeFormat& attribute,
                      const std::string& what, const std::string& value);
    void check_duplicates(const ReadFile& file, const XmlElement& element);
    void check_translations(const ReadFile& file, const XmlElement& element, const XmlElementFormat& format);
    void check_placements();
    bool check_dungeon_values(const MapFacts& map, const MapFacts::Dungeon& dungeon);
    void check_media_files();
    void name_unmade_checks();
    bool fault_at(const std::string& file, int line) const;
    std::string id_named(const char* kind, const std::string& name) const;
    const ReadFile* kept_file(const std::string& file) const;

    const MapFacts* find_map(const std::string& name) const;
    int line_of_root(const std::string& file) const;

    std::string folder_;
    CheckOptions options_;
    CheckResult result_;
    std::set<std::string> reported_;
    std::set<std::string> refused_;  // files the check does not read (too large, a file of the system)
    int preferences_line_ = 0;
    // The database tables are whole: their readers went through their files.
    bool abilities_whole_ = false, monsters_whole_ = false, powers_whole_ = false, items_whole_ = false;
    std::set<int> sheets_loaded_;
    std::vector<std::string> sound_names_, unloaded_sound_names_;
    std::map<std::string, std::unique_ptr<TilesetFacts>> tilesets_;  // by definition + "|" + image
    std::map<std::string, std::unique_ptr<Tileset>> definitions_;    // definition files read, by file part
    std::vector<std::unique_ptr<ReadFile>> files_;
    std::vector<std::unique_ptr<MapFacts>> maps_;
    std::vector<PortalLink> links_;
    std::vector<std::string> languages_;  // of the messages file, the one of the attributes first
};

// What a fatal message of the game means, in the words of the people who
// write the files; the game's own text follows it.
struct GameWords {
    const char* said;  // a part of the game's message
    const char* meant;
};
const GameWords kGameWords[] = {
    {"error in xml structure", "the file is no well-formed XML"},
    {"could not open", "the file is missing or cannot be read"},
    {"could not find tile type definition", "the file is missing or cannot be read"},
    {"unknown child tag", "an element the game does not read here"},
    {"unknown tag", "an element the game does not read here"},
    {"unknown attribute", "an attribute the game does not read on this element"},
    {"wrong tag", "an element the game does not read here"},
    {"unknown display type", "a display type must be main screen status panel or character info"},
    {"too many", "more of these than the game holds"},
    {"ability id <", "an ability id must be 1 or more"},
    {"ability id >", "an ability id out of its range"},
    {"wrong ability ID", "an ability id out of its range"},
    {"load_character(): wrong", "a value of the saved character out of its range"},
    {"wrong parameters: target_x", "the portal leads off the map: x and y are 0..49"},
    {"wrong parameters", "a field off the map: x and y are 0..49"},
    {"wrong tile_type", "no tile type has that id: tile types are 0..499"},
    {"wrong lighting", "lighting out of its range"},
    {"not unique", "the id is given twice"},
    {"wrong monster id", "a monster id must be 1..299"},
    {"without proper id or name", "a monster needs an id and a name"},
    {"item ID too", "an item id out of its range"},
    {"wrong ID attribute", "a power id must be 1..254"},
    {"wrong id", "an id out of its range"},
    {"wrong attribute", "an attribute the game does not read on this element"},
    {"too much", "more of these than the game holds"},
    {"unknown message type", "a message type must be success, failure, wrong use or already used"},
    {"find ability", "no ability has that name"},
    {"find attribute", "no ability has that name"},
    {"cannot find power effect", "an effect_name the game does not know"},
    {"unknown animation", "an animation the game does not know"},
    {"could not find a tileset", "the map names no tileset"},
    {"cannot find tileset image", "the tileset picture is missing"},
    {"load_sprites()", "the picture is missing or does not decode whole"},
    {"wrong facing", "facing must be 0..3 (up, right, down, left)"},
    {"wrong frame", "frame must be 0 or 1"},
};

// The game's fatal message with what it means before it.
std::string in_authors_words(const std::string& said) {
    // The game's messages begin with the name of the procedure that ends it, or "Can't".
    const size_t colon = said.find(':');
    const bool game_said = colon != std::string::npos && colon > 0 &&
                           said.find_first_not_of("abcdefghijklmnopqrstuvwxyz_()", 0) >= colon;
    if (!game_said) return said;
    for (const GameWords& words : kGameWords)
        if (said.find(words.said) != std::string::npos) return std::string(words.meant) + "; the game ends with: " + said;
    return said;
}

void Checker::add(const std::string& file, int line, const std::string& said, bool warning) {
    // A tileset picture that does not decode is reported once, at the picture
    // (every picture of the tilesets is decoded whole), not at each map using it.
    if (said.find("cannot read the picture of tileset image file") != std::string::npos) return;
    const std::string text = in_authors_words(said);
    if (!reported_.insert(file + '\n' + int_to_text(line) + '\n' + text).second) return;
    result_.findings.push_back({file, line, text, warning});
    ++(warning ? result_.warnings : result_.faults);
}

// A reader's message about a name it did not find after it read the whole file.
bool names_missing(const std::string& text) { return text.find("resolve") != std::string::npos; }

// Runs one of the game's readers. Its fatal error is a fault at the place it
// was reading; cascade tells a fault that only follows from a fault reported
// before (a name of a database that could not be read whole), which is left out.
Read Checker::read_with_game(const std::string& file, const std::function<void()>& read,
                             const std::function<bool(const std::string&)>& cascade) {
    set_xml_reading_place(file, 0);
    try {
        read();
        return Read::whole;
    } catch (const FatalError& error) {
        const XmlReadingPlace& at = xml_reading_place();
        if (refused_.count(at.file)) return Read::failed;  // reported as too large to read
        if (!(cascade && cascade(error.what()))) fault(at.file, at.line, error.what());
        if (names_missing(error.what())) return Read::names_missing;
    } catch (const std::exception& error) {
        fault(file, 0, std::string("could not be read: ") + error.what());
    }
    return Read::failed;
}

ReadFile& Checker::keep(const std::string& file, const XmlFileFormat& format, Read read) {
    auto kept = std::make_unique<ReadFile>();
    kept->file = file;
    kept->format = &format;
    kept->read = read == Read::whole;
    kept->document = std::make_unique<XmlDocument>();
    if (!kept->document->load(file) || kept->document->status() != 0) {
        // A missing end tag shows only where the file ends: name the element it belongs to where it opens.
        const std::string& error = kept->document->error_text();
        if (int line = 0; error.rfind("not well-formed", 0) == 0 && (line = first_line_not_utf8(file)) > 0)
            fault(file, line,
                  "the file is not in UTF-8: this line holds a byte that is no UTF-8 character (save the file as "
                  "UTF-8, or declare its encoding, such as <?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>)");
        if (const std::string& open = kept->document->open_element();
            !open.empty() && kept->document->open_line() != kept->document->error_line() &&
            (error.rfind("mismatched tag", 0) == 0 || error.rfind("no element found", 0) == 0))
            fault(file, kept->document->open_line(),
                  "<" + open + "> opened here is not closed: the parser found no </" + open + "> for it before " +
                      kept->document->error_text());
        kept->document.reset();
    }
    files_.push_back(std::move(kept));
    return *files_.back();
}

// ---- the files ----

void Checker::screen_folders() {
    limit_file_reads(kLargestFile);
    limit_picture_side(kLargestPictureSide);
    std::set<std::string> files{kPreferences};  // which may lie in a save folder of its own
    for (const char* folder : kGameFolders)
        for (const FolderEntry& entry : list_folder(folder, "*"))
            if (entry.type == 1) files.insert(std::string(folder) + "\\" + entry.name);
    for (const std::string& file : files) {
        const long long size = file_size(file);
        if (size < 0) continue;  // not there (the preferences of a new save folder)
        if (size > kLargestFile) {
            fault(file, 0, "the file holds " + int_to_text(size >> 20) + " MB: no file of a game comes near that, "
                           "and the check reads none above " + int_to_text(kLargestFile >> 20) + " MB");
            refused_.insert(file);
        } else if (!file_within_limits(host_path(file))) {
            fault(file, 0, "a link to a file of the system, which the check does not read");
            refused_.insert(file);
        } else if (int width = 0, height = 0;
                   image_dimensions(file, width, height) &&
                   (width > kLargestPictureSide || height > kLargestPictureSide)) {
            fault(file, 0, "a picture of " + int_to_text(width) + " x " + int_to_text(height) +
                               " pixels: the check loads none above " + int_to_text(kLargestPictureSide) +
                               " pixels a side");
            refused_.insert(file);
        }
    }
}

void Checker::check_preferences() {
    // A save folder of its own starts with a copy of the shipped preferences.
    const bool shipped = !options_.save_folder.empty() && file_size(kPreferences) < 0;
    if (shipped) set_writable_folder("");
    const Read read = read_with_game(kPreferences, [] { load_preferences(g_common.preferences, kPreferences); });
    keep(kPreferences, preferences_file_format(), read);
    if (read == Read::whole) preferences_line_ = xml_reading_place().line;
    if (shipped) set_writable_folder(options_.save_folder);
}

void Checker::check_messages() {
    const Read read = read_with_game(kMessages, [] { load_message_list(kMessages); });
    keep(kMessages, messages_file_format(), read);
    if (read == Read::whole) check_message_languages();
}

// Every message the game shows in every language the file holds: a message
// missing in all of them is a fault, one missing in some a warning.
void Checker::check_message_languages() {
    if (!files_.back()->document || !files_.back()->document->root()) return;
    const XmlElement& root = *files_.back()->document->root();
    std::vector<std::string> languages;
    std::map<long long, int> line_of;
    for (const auto& message : root.children) {
        line_of.emplace(text_to_int(attribute_or(*message, "id", "0")), message->line);
        for (const auto& text : message->children)
            if (const std::string* language = text->attribute("language");
                language && std::find(languages.begin(), languages.end(), *language) == languages.end())
                languages.push_back(*language);
    }
    const std::string player_language = g_common.preferences.language;
    if (std::find(languages.begin(), languages.end(), player_language) == languages.end())
        fault(kPreferences, preferences_line_,
              "language " + quoted(player_language) + ": " + kMessages +
                  " holds no text in it, so every message shows as \"??? missing message ID n ???\"");

    // The texts of the data files' attributes are in the preferences' first language.
    const XmlAttributeFormat* language = preferences_file_format().attribute("Umbrane_Preferences", "language");
    const std::string attribute_language = language ? language->default_text : "";
    languages_ = {attribute_language};
    for (const std::string& l : languages)
        if (l != attribute_language && languages_.size() <= kMostLanguages) languages_.push_back(l);
    if (languages.size() > kMostLanguages) {
        warn(kMessages, root.line,
             "holds texts in " + int_to_text(static_cast<long long>(languages.size())) + " languages: only the first " +
                 int_to_text(kMostLanguages) + " are checked");
        languages.resize(kMostLanguages);
    }
    std::vector<int> used;
    for (int id = MESSAGE_ID_FIRST; id <= MESSAGE_ID_LAST; ++id) used.push_back(id);
    for (int id : added_message_ids()) used.push_back(id);
    std::map<int, std::vector<std::string>> missing;
    for (const std::string& language : languages) {
        g_common.preferences.language = language;
        load_message_list(kMessages);
        for (int id : used)
            if (g_common.messages[id] == missing_message_placeholder(id)) missing[id].push_back(language);
    }
    g_common.preferences.language = player_language;
    load_message_list(kMessages);
    for (int id : used) {
        const auto found = missing.find(id);
        if (!languages.empty() && found == missing.end()) continue;
        if (languages.empty() || found->second.size() == languages.size()) {
            fault(kMessages, root.line,
                  "no message " + int_to_text(id) + ": the game shows " + quoted(missing_message_placeholder(id)) +
                      " in its place");
            continue;
        }
        const auto line = line_of.find(id);
        for (const std::string& language : found->second)
            warn(kMessages, line == line_of.end() ? root.line : line->second,
                 "message " + int_to_text(id) + " has no text in " + language);
    }
}

void Checker::check_sounds() {
    for (const SoundFile& file : sound_files()) sound_names_.push_back(file.name);
    int files = 0;
    for (const FolderEntry& entry : list_folder("sound\\", "*.ogg")) {
        if (entry.type != 1) continue;
        const std::string name = remove_all_nocase(entry.name, ".ogg");
        if (++files > SOUND_ENTRY_LAST - SOUND_ENTRY_FIRST + 1) {
            unloaded_sound_names_.push_back(name);
            warn("sound\\" + entry.name, 0,
                 "the game loads the first " + int_to_text(SOUND_ENTRY_LAST) + " sound files (by name) only");
        }
    }
    for (const char* name : sound_name::all)
        if (std::find(sound_names_.begin(), sound_names_.end(), name) == sound_names_.end())
            fault("sound", 0, "no sound " + quoted(name) + " (sound\\" + name + ".ogg): the game plays it itself");
}

void Checker::check_graphics() {
    for (const SpriteFile& file : sprite_files()) {
        if (refused_.count(file.file)) continue;
        if (read_with_game(file.file, [&] { load_sprite_file(file); }) == Read::whole)
            sheets_loaded_.insert(file.number);
    }
    measure_sheets();
    // The fixed layouts the drawing relies on: the figure's eight cells, the
    // sparkles' five frames in eight colours, the effect icons up to 9 and six missiles.
    struct Layout {
        int number;
        int width, height, cells;
        const char* what;
    };
    const Layout layouts[] = {
        {sprite::character, 256, 32, 0, "the character's four facings in two steps, 32 x 32 pixels each, in a row"},
        {sprite::stars, 45, 72, 0, "five frames of 9 x 9 pixels in each of eight rows of colours"},
        {sprite::fx, 0, 0, 10, "the effect icons 0..9"},
        {sprite::missiles, 0, 0, 6, "the missiles 0..5"},
    };
    for (const Layout& layout : layouts) {
        if (!sheets_loaded_.count(layout.number)) continue;
        const int width = sprite_width(layout.number), height = sprite_height(layout.number);
        if (width >= layout.width && height >= layout.height && (width / 32) * (height / 32) >= layout.cells) continue;
        fault(sprite_file_of(layout.number).file, 0,
              "a picture of " + int_to_text(width) + " x " + int_to_text(height) + " pixels is too small for " +
                  layout.what);
    }
}

void Checker::check_databases() {
    // A name that a database cannot find while the abilities file could not
    // be read through follows from the fault reported there.
    const std::function<bool(const std::string&)> abilities_cascade = [this](const std::string& text) {
        return !abilities_whole_ && names_missing(text);
    };
    // A table is whole when its reader went through the whole file.
    auto read = [&](const std::string& file, const XmlFileFormat& format, void (*reader)(), bool& whole) {
        const Read outcome = read_with_game(file, reader, file == kAbilities ? nullptr : abilities_cascade);
        // A name not found while the abilities are not all there is no fault of this file.
        keep(file, format,
             outcome == Read::names_missing && file != kAbilities && !abilities_whole_ ? Read::whole : outcome);
        whole = outcome != Read::failed;
    };
    read(kAbilities, abilities_file_format(), [] { load_abilities_db(); }, abilities_whole_);
    read(kMonsters, monsters_file_format(), [] { load_monster_db(kMonsters); }, monsters_whole_);
    read(kPowers, powers_file_format(), [] { load_power_db(); }, powers_whole_);
    read(kItems, items_file_format(), [] { load_item_db(); }, items_whole_);
}

void Checker::check_tilesets() {
    for (const FolderEntry& entry : list_folder("tilesets\\", "*.xml")) {
        if (entry.type != 1) continue;
        const std::string file = "tilesets\\" + entry.name;
        if (refused_.count(file)) continue;
        auto tileset = std::make_unique<Tileset>();
        tileset->definition_filename = entry.name;
        const Read read = read_with_game(file, [&] { load_tile_type_definition(*tileset); });
        ReadFile& kept = keep(file, tile_type_file_format(), read);
        if (read != Read::whole) continue;
        definitions_[entry.name] = std::move(tileset);
        // Its tile type ids name tiles of the sheet of the same name.
        std::string image = entry.name.substr(0, entry.name.size() - 4) + ".png";
        kept.tileset = tileset_facts(entry.name, image);
    }
}

// The facts of a definition file (read before) with a sheet; nullptr when the
// definition file could not be read.
const TilesetFacts* Checker::tileset_facts(const std::string& definition, const std::string& image) {
    const std::string key = definition + "|" + image;
    if (auto found = tilesets_.find(key); found != tilesets_.end()) return found->second.get();
    auto read = definitions_.find(definition);
    if (read == definitions_.end()) return nullptr;
    auto facts = std::make_unique<TilesetFacts>();
    facts->definition = definition;
    facts->image = image;
    static const TileType undefined{};
    for (int id = 0; id < kTileTypeCount; ++id) {
        const TileType& type = read->second->tile_types[id];
        facts->defined[id] = !(type == undefined);
        facts->solid[id] = type.solid != 0;
        facts->names[id] = type.name;
    }
    int width = 0, height = 0;
    if (image_dimensions("tilesets\\" + image, width, height)) facts->cells = (width / 32) * (height / 32);
    return (tilesets_[key] = std::move(facts)).get();
}

void Checker::check_maps() {
    for (const char* folder : {"maps", "savegame"})
        for (const FolderEntry& entry : list_folder(folder, "*.xml")) {
            if (entry.type != 1) continue;
            const std::string file = std::string(folder) + "\\" + entry.name;
            if (file == kCharacter || refused_.count(file)) continue;
            check_map(file);
        }
}

void Checker::check_map(const std::string& file) {
    GameMap& map = g_map.map;
    const Read read = read_with_game(file, [&] { load_map(map, file, 1); });
    ReadFile& kept = keep(file, map_file_format(), read);
    if (read != Read::whole || !kept.document) return;

    auto facts = std::make_unique<MapFacts>();
    facts->file = file;
    facts->name = file_part(file);
    facts->root_line = kept.document->root()->line;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            facts->tiles[y][x] = map.fields[y][x].tile_type;
            facts->portals[y][x] = !map.fields[y][x].portal_mapfile.empty();
        }
    facts->tileset = kept.tileset = tileset_facts(map.tileset.definition_filename, map.tileset.image_filename);
    // The level exits with the lines of their elements (one without a name is none).
    for (const auto& element : kept.document->root()->children)
        if (element->name == "dungeon")
            if (const DungeonRecord record = read_dungeon_element(*element, file); !record.name.empty())
                facts->dungeons.push_back({record, element->line, element.get()});
    maps_.push_back(std::move(facts));
}

void Checker::check_character() {
    if (file_size(kCharacter) <= 0 || refused_.count(kCharacter)) return;
    CharacterRecord& character = g_character_model.character;
    const Read read = read_with_game(kCharacter, [&] { load_character(character, kCharacter); });
    ReadFile& kept = keep(kCharacter, character_file_format(), read);
    if (read != Read::whole || !kept.document) return;
    // Start-up loads the character's map from the savegame.
    const std::string map = "savegame\\" + file_part(character.map_file_name);
    if (file_size(map) <= 0) {
        fault(kCharacter, kept.document->root()->line, "load_map(): could not open map xml file: " + quoted(map));
        return;
    }
    if (const MapFacts* facts = find_map(file_part(map)); facts && facts->tileset) {
        const int tile = facts->tiles[character.y][character.x];
        if (facts->tileset->solid[tile])
            warn(kCharacter, kept.document->root()->line,
                 "the character stands at " + position(character.x, character.y) + " of " + map +
                     " on a solid tile (" + int_to_text(tile) + ")");
    }
}

// ---- what the files name in each other ----

int Checker::line_of_root(const std::string& file) const {
    for (const auto& read : files_)
        if (read->file == file && read->document && read->document->root()) return read->document->root()->line;
    return 0;
}

const MapFacts* Checker::find_map(const std::string& name) const {
    // The game takes the saved copy of a map before the one in "maps\".
    const MapFacts* found = nullptr;
    for (const auto& map : maps_)
        if (map->name == name && (!found || map->file.rfind("savegame", 0) == 0)) found = map.get();
    return found;
}

void Checker::check_names() {
    for (auto& file : files_) {
        if (!file->document || !file->document->root()) continue;
        // The events of a map: those its fields carry and those its transformations give.
        std::set<std::string> events;
        if (file->format == &map_file_format())
            for (const auto& element : file->document->root()->children) {
                if (element->name == "field") events.insert(attribute_or(*element, "event", ""));
                if (element->name == "transformation") events.insert(attribute_or(*element, "new_event", ""));
            }
        walk(*file, *file->document->root(), file->format->elements.front(), events);
    }
}

// Every value the format marks as naming something elsewhere, in the element
// and the elements it may hold.
void Checker::walk(ReadFile& file, const XmlElement& element, const XmlElementFormat& format,
                   const std::set<std::string>& events) {
    check_values(file, element, format);
    check_duplicates(file, element);
    check_translations(file, element, format);
    for (const auto& [name, value] : element.attributes)
        for (const XmlAttributeFormat& attribute : format.attributes)
            if (attribute.name == name && attribute.names)
                check_value(file, element, attribute.names, name, value, events);
    if (format.text_names) check_value(file, element, format.text_names, "", trimmed(element.text), events);
    if (file.read && file.format == &map_file_format() && element.name == "transformation")
        check_transformation(file, element);
    // The game ends when a power whose effect it does not know is used.
    if (file.read && file.format == &powers_file_format() && element.name == "power") {
        const std::string effect = attribute_or(element, "effect_name", "");
        if (!power_effect_known(effect))
            fault(file.file, element.line_of("effect_name"), "use_power(): cannot find power effect " + quoted(effect));
    }
    for (const auto& child : element.children) {
        if (std::find(format.children.begin(), format.children.end(), child->name) == format.children.end()) {
            if (!fault_at(file.file, child->line))
                warn(file.file, child->line,
                     "<" + child->name + "> is no element the game reads inside <" + element.name + ">" +
                         (format.children.empty() ? std::string(", which holds no elements")
                                                  : " (it may hold: " + join_words(format.children, ", ") + ")"));
            continue;
        }
        if (const XmlElementFormat* child_format = file.format->element(child->name))
            walk(file, *child, *child_format, events);
    }
}

void Checker::check_value(ReadFile& file, const XmlElement& element, const char* kind, const std::string& attribute,
                          const std::string& value, const std::set<std::string>& events) {
    const int line = attribute.empty() ? element.line : element.line_of(attribute);
    const std::string what = element.name + " " + (attribute.empty() ? std::string("tile") : attribute);
    // A name a reader could not resolve: its message gets the line that names it.
    if (names_kind(kind, names::ability_name)) {
        if (!abilities_whole_ || value.empty() || find_ability(value) != 0) return;
        if (relocate_reader_fault(file.file, value, line) || !file.read) return;
        fault(file.file, line, what + " " + quoted(value) + ": no ability has that name (" + kAbilities + ")");
        return;
    }
    const long long number = text_to_int(value);
    if (names_kind(kind, names::ability)) {
        if (abilities_whole_ && number != 0 && (!valid_ability_id(number) || g_db.abilities[number].name.empty()))
            fault(file.file, line, what + " " + quoted(value) + ": no ability has that id (" + kAbilities + ")");
    } else if (names_kind(kind, names::item_type)) {
        if (items_whole_ && number != 0 && !item_type_defined(static_cast<int>(number)))
            fault(file.file, line, what + " " + quoted(value) + ": no item type has that id (" + kItems + ")");
    } else if (names_kind(kind, names::monster_type)) {
        if (monsters_whole_ && number != 0 &&
            (number < 1 || number > kMaxMonsterTypeId || g_db.monster_types[number].name.empty()))
            fault(file.file, line, what + " " + quoted(value) + ": no monster type has that id (" + kMonsters + ")");
    } else if (names_kind(kind, names::power)) {
        if (powers_whole_ && number != 0 && (number < 1 || number > kMaxPowerId || g_db.powers[number].name.empty()))
            fault(file.file, line, what + " " + quoted(value) + ": no power has that id (" + kPowers + ")");
    } else if (names_kind(kind, names::tile_type)) {
        // A message's icon shows only with the message.
        if (attribute == "message_tile" && attribute_or(element, "message_line1", "").empty() &&
            attribute_or(element, "message_line2", "").empty())
            return;
        check_tile(file, line, file.tileset, what, number);
    } else if (names_kind(kind, names::level_tile_type)) {
        check_tile(file, line, tileset_facts(kLevelTileset, kLevelTilesheet), what, number);
    } else if (names_kind(kind, names::sound)) {
        if (value.empty() || std::find(sound_names_.begin(), sound_names_.end(), value) != sound_names_.end()) return;
        if (std::find(unloaded_sound_names_.begin(), unloaded_sound_names_.end(), value) !=
            unloaded_sound_names_.end())
            fault(file.file, line,
                  what + " " + quoted(value) + ": sound\\" + value + ".ogg is not loaded: the game loads the first " +
                      int_to_text(SOUND_ENTRY_LAST) + " sound files (by name) only");
        else fault(file.file, line, what + " " + quoted(value) + ": there is no sound\\" + value + ".ogg");
    } else if (names_kind(kind, names::animation)) {
        // The game ends with this when it plays the animation.
        if (!animation_known(value)) fault(file.file, line, "animation(): unknown animation: " + quoted(value));
    } else if (names_kind(kind, names::map_file)) {
        // Where a portal leads only from maps the game read without fault.
        if (value.empty() || file.format != &map_file_format() || !file.read) return;  // the character's map: check_character
        const bool bottom = element.name == "dungeon";
        auto number_of = [&](const char* name) { return static_cast<int>(text_to_int(attribute_or(element, name, "0"))); };
        links_.push_back({file.file, line, file_part(value), number_of(bottom ? "bottom_portal_target_x" : "portal_x"),
                          number_of(bottom ? "bottom_portal_target_y" : "portal_y")});
        if (!bottom) check_portal_field(file, element);
    } else if (names_kind(kind, names::ability_icon)) {
        check_cell(file, line, what, value, sprite::abilities, g_common.abilities_sheet);
    } else if (names_kind(kind, names::item_icon)) {
        if (number != -1 || attribute != "tile_equipped")  // -1: the tile
            check_cell(file, line, what, value, sprite::items, g_common.items_sheet);
    } else if (names_kind(kind, names::monster_icon)) {
        check_cell(file, line, what, value, sprite::monster, g_common.monster_sheet);
    } else if (names_kind(kind, names::power_icon)) {
        check_cell(file, line, what, value, sprite::powers, g_common.powers_sheet);
    } else if (names_kind(kind, names::event)) {
        if (file.read && !value.empty() && !events.count(value))
            fault(file.file, line,
                  "event " + quoted(value) + ": no field of the map carries it and no transformation gives it, so "
                  "this transformation never happens");
    }
}

void Checker::check_tile(const ReadFile& file, int line, const TilesetFacts* tileset, const std::string& what,
                         long long id) {
    const std::string tile = what + " " + int_to_text(id);
    if (id < 0 || id >= kTileTypeCount) {
        fault(file.file, line, tile + ": tile types are 0.." + int_to_text(kTileTypeCount - 1));
        return;
    }
    if (!tileset) return;  // its definition file has a fault of its own
    if (!tileset->defined[id])
        fault(file.file, line, tile + ": tilesets\\" + tileset->definition + " defines no tile type " + int_to_text(id));
    else if (tileset->cells == 0)
        fault(file.file, line, tile + ": tilesets\\" + tileset->image + " is smaller than one tile of 32 x 32 pixels");
    else if (tileset->cells > 0 && id >= tileset->cells)
        fault(file.file, line,
              tile + ": tilesets\\" + tileset->image + " holds the tiles 0.." + int_to_text(tileset->cells - 1) +
                  " only (32 x 32 pixels each)");
}

void Checker::check_cell(const ReadFile& file, int line, const std::string& attribute, const std::string& value,
                         int sprite_number, const SheetSize& sheet) {
    if (!sheets_loaded_.count(sprite_number)) return;  // the picture has a fault of its own
    const std::string& picture = sprite_file_of(sprite_number).file;
    const int cells = sheet.columns * sheet.rows;
    const long long cell = text_to_int(value);
    if (cell >= 0 && cell < cells) return;
    fault(file.file, line,
          attribute + " " + quoted(value) + ": " + picture +
              (cells == 0 ? std::string(" is smaller than one cell of 32 x 32 pixels")
                          : " holds the cells 0.." + int_to_text(cells - 1) + " (" + int_to_text(sheet.columns) +
                                " x " + int_to_text(sheet.rows) + " of 32 x 32 pixels)"));
}

// A transformation rewrites its field when its event fires; the game ends
// there when the field or a value is off the grid or the tile types.
void Checker::check_transformation(const ReadFile& file, const XmlElement& element) {
    try {
        const Transformation t = read_transformation_element(element, file.file);
        set_map_tile_type(g_map.map, t.x, t.y, t.tile_type);
        set_map_portal(g_map.map, t.x, t.y, t.portal_mapfile, t.portal_x, t.portal_y);
    } catch (const FatalError& error) {
        fault(file.file, element.line, error.what());
    }
}

// The character takes a portal after a step onto its field: a field no step
// reaches, or a solid one (after the transformation that makes the portal), is
// a portal no one takes.
void Checker::check_portal_field(const ReadFile& file, const XmlElement& element) {
    const int x = static_cast<int>(text_to_int(attribute_or(element, "x", "-1")));
    const int y = static_cast<int>(text_to_int(attribute_or(element, "y", "-1")));
    if (!on_map(x, y)) return;  // the reader or check_transformation says so
    if (x > kLastStepField || y > kLastStepField) {
        fault(file.file, element.line,
              "the portal's field " + position(x, y) + " is off the fields a step reaches (0.." +
                  int_to_text(kLastStepField) + "), so no one takes it");
        return;
    }
    const long long tile = text_to_int(element.name == "field" ? trimmed(element.text)
                                                               : attribute_or(element, "tile_type", "0"));
    if (file.tileset && tile >= 0 && tile < kTileTypeCount && file.tileset->solid[tile])
        fault(file.file, element.line,
              "the character cannot step onto the portal's field " + position(x, y) + ": tile type " +
                  int_to_text(tile) + " (" + file.tileset->names[tile] + ") is solid");
}

// The reader of the file ended with a message about this name after it had
// read the whole file: the message gets the line of the element that names it.
bool Checker::relocate_reader_fault(const std::string& file, const std::string& name, int line) {
    for (CheckFinding& finding : result_.findings) {
        if (finding.file != file || finding.text.find(quoted(name)) == std::string::npos || !names_missing(finding.text))
            continue;
        if (finding.line == line) return true;
        const ReadFile* read = nullptr;
        for (const auto& f : files_)
            if (f->file == file) read = f.get();
        if (!read || !read->document || finding.line != read->document->root()->line) return finding.line == line;
        finding.line = line;
        return true;
    }
    return false;
}

void Checker::check_portals() {
    for (const PortalLink& link : links_) {
        if (file_size("maps\\" + link.target) <= 0 && file_size("savegame\\" + link.target) <= 0) {
            // The game ends with this when the character takes the portal.
            fault(link.from, link.line, "load_map(): could not open map xml file: " + quoted("maps\\" + link.target));
            continue;
        }
        const MapFacts* target = find_map(link.target);
        if (!target || !target->tileset || !on_map(link.x, link.y)) continue;
        const int tile = target->tiles[link.y][link.x];
        if (target->tileset->solid[tile])
            fault(link.from, link.line,
                  "the portal leads to " + position(link.x, link.y) + " of " + link.target +
                      ", where the character cannot stand: tile type " + int_to_text(tile) + " (" +
                      target->tileset->names[tile] + ") is solid");
    }
}

// What the game itself relies on in the data.
void Checker::check_fixed_content() {
    CharacterRecord fresh;
    reset_character_record(fresh);
    const std::string start = "maps\\" + fresh.map_file_name;
    if (file_size(start) <= 0 && !refused_.count(start)) {
        fault(start, 0, "load_map(): could not open map xml file: " + quoted(start));
    } else if (const MapFacts* map = find_map(fresh.map_file_name); map && map->tileset) {
        const int tile = map->tiles[fresh.y][fresh.x];
        if (map->tileset->solid[tile])
            fault(map->file, map->root_line,
                  "a new character starts at " + position(fresh.x, fresh.y) + ", where tile type " +
                      int_to_text(tile) + " (" + map->tileset->names[tile] + ") is solid");
    }
    if (items_whole_ && !item_type_defined(STARTING_FOOD_TYPE))
        fault(kItems, line_of_root(kItems),
              "no item type " + int_to_text(STARTING_FOOD_TYPE) + ": every new character gets " +
                  int_to_text(STARTING_FOOD_PIECES) + " pieces of it");
}

// ---- dungeons ----

void Checker::check_dungeons() {
    bool any = false;
    for (const auto& map : maps_) any = any || !map->dungeons.empty();
    if (!any) return;
    if (const TilesetFacts* standard = tileset_facts(kLevelTileset, kLevelTilesheet))
        for (int tile : kLevelTiles)
            if (!standard->defined[tile])
                fault(std::string("tilesets\\") + kLevelTileset, line_of_root(std::string("tilesets\\") + kLevelTileset),
                      "no tile type " + int_to_text(tile) + ": every generated level uses it");

    // The levels are made in a scratch folder of the check's own, each dungeon once.
    const LevelScratch scratch;
    if (!scratch.made()) {
        warn("maps", 0, "no scratch folder for the level trials: the dungeons are not tried");
        return;
    }
    std::set<std::string> tried;
    for (const auto& map : maps_)
        for (const MapFacts::Dungeon& dungeon : map->dungeons) {
            const DungeonRecord& r = dungeon.record;
            std::string key = r.name + '\n' + r.map_filename + '\n' + r.bottom_portal;
            for (int v : {int(r.number_of_levels), int(r.dimension_x), int(r.dimension_y), int(r.entrance_to_level),
                          int(r.difficulty_level), int(r.lighting), int(r.default_tile), int(r.background_tile),
                          int(r.tile_outside_map), int(r.main_treasure), int(r.bottom_portal_target_x),
                          int(r.bottom_portal_target_y), int(r.bottom_portal_tile), int(r.traps_per_level),
                          int(r.bottom_monster), int(r.is_final), int(r.traps_per_level_step), int(r.way_down_far)})
                key += '\n' + int_to_text(v);
            key += '\n' + r.level_maker + '\n' + r.monster_class;
            if (check_dungeon_values(*map, dungeon) && tried.insert(key).second) try_dungeon(*map, dungeon);
        }
    reset_map(g_map.map);
}

// The way into the dungeon, then every level of it with every seed, as the
// character would find it coming from the dungeon's field.
void Checker::try_dungeon(const MapFacts& map, const MapFacts::Dungeon& dungeon) {
    const DungeonRecord& record = dungeon.record;
    const std::string name = "dungeon " + quoted(record.name);
    // The character enters on its field after a step onto it.
    if (record.xpos < 0 || record.ypos < 0 || record.xpos > kLastStepField || record.ypos > kLastStepField) {
        fault(map.file, dungeon.line,
              name + ": its field " + position(record.xpos, record.ypos) + " is off the fields a step reaches "
              "(0.." + int_to_text(kLastStepField) + "), so no one enters it");
        return;
    }
    if (map.portals[record.ypos][record.xpos]) {
        fault(map.file, dungeon.line,
              name + ": its field " + position(record.xpos, record.ypos) + " is a portal, which the character "
              "takes instead");
        return;
    }
    if (map.tileset && map.tileset->solid[map.tiles[record.ypos][record.xpos]]) {
        const int tile = map.tiles[record.ypos][record.xpos];
        fault(map.file, dungeon.line,
              name + ": the character cannot step onto its field " + position(record.xpos, record.ypos) +
                  ": tile type " + int_to_text(tile) + " (" + map.tileset->names[tile] + ") is solid");
        return;
    }
    if (record.dimension_x < 4 && record.dimension_y < 4) {
        fault(map.file, dungeon.line,
              name + ": its levels of " + int_to_text(record.dimension_x) + " x " + int_to_text(record.dimension_y) +
                  " fields leave no room for a way down (the maze needs 4 fields or more one way)");
        return;
    }
    const int levels = std::max<int>(record.entrance_to_level, record.number_of_levels) - record.entrance_to_level + 1;
    if (levels > kMostTrialLevels)
        warn(map.file, dungeon.line,
             name + ": only its levels " + int_to_text(record.entrance_to_level) + ".." +
                 int_to_text(record.entrance_to_level + kMostTrialLevels - 1) + " are tried");
    const std::string missing =
        first_level_without_a_way_on(map.name, record, options_.trial_seeds, kMostTrialLevels, items_whole_);
    if (!missing.empty()) fault(map.file, dungeon.line, missing);
}

// ---- maps no way leads to ----

void Checker::check_reachable_maps() {
    CharacterRecord fresh;
    reset_character_record(fresh);
    std::set<std::string> reached{fresh.map_file_name};
    std::vector<std::string> pending{fresh.map_file_name};
    while (!pending.empty()) {
        const std::string from = "maps\\" + pending.back();
        pending.pop_back();
        auto lead_to = [&](const std::string& target) {
            if (reached.insert(target).second) pending.push_back(target);
        };
        for (const PortalLink& link : links_)
            if (link.from == from) lead_to(link.target);
    }
    for (const auto& map : maps_)
        if (map->file.rfind("maps\\", 0) == 0 && !reached.count(map->name))
            warn(map->file, map->root_line,
                 "no portal or dungeon leads here from maps\\" + fresh.map_file_name);
}

// ---- every value, every duplicate, every placement ----

namespace {

bool same_nocase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The known name closest to a misspelt one (two letters off at most), or "".
std::string closest(const std::string& word, const std::vector<std::string>& known) {
    std::string best;
    size_t best_distance = 3;
    for (const std::string& candidate : known) {
        std::vector<size_t> row(candidate.size() + 1);
        for (size_t j = 0; j <= candidate.size(); ++j) row[j] = j;
        for (size_t i = 1; i <= word.size(); ++i) {
            size_t diagonal = row[0];
            row[0] = i;
            for (size_t j = 1; j <= candidate.size(); ++j) {
                const size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (word[i - 1] == candidate[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        if (row[candidate.size()] < best_distance) best_distance = row[candidate.size()], best = candidate;
    }
    return best;
}

// A thing a file names by id, the table that defines it and its element there.
struct IdTable {
    const char* kind;
    const char* what;
    const std::string* file;
    const char* element;
};
const IdTable kIdTables[] = {
    {names::monster_type, "monster type", &kMonsters, "monster"},
    {names::item_type, "item type", &kItems, "item"},
    {names::ability, "ability", &kAbilities, "ability"},
    {names::power, "power", &kPowers, "power"},
};

// The languages texts of the element may be given in: a field's text in the
// attribute, and a child element of the same name (for a power's messages:
// <message type="success"> for success_message) per language.
struct TranslatedText {
    std::string child;  // element name
    std::string type;   // its type attribute, or ""
};
bool translated_text(const XmlFileFormat& format, const XmlElementFormat& element, const std::string& attribute,
                     TranslatedText& out) {
    auto language_child = [&](const std::string& name) {
        if (std::find(element.children.begin(), element.children.end(), name) == element.children.end()) return false;
        const XmlElementFormat* child = format.element(name);
        return child && child->text == XmlText::text && !child->attributes.empty() &&
               child->attributes.front().name == "language";
    };
    if (language_child(attribute)) {
        out = {attribute, ""};
        return true;
    }
    const std::string suffix = "_message";
    if (attribute.size() > suffix.size() && attribute.compare(attribute.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        language_child("message")) {
        out = {"message", replace_all(attribute.substr(0, attribute.size() - suffix.size()), "_", " ")};
        return true;
    }
    return false;
}

}  // namespace

bool Checker::fault_at(const std::string& file, int line) const {
    return std::any_of(result_.findings.begin(), result_.findings.end(),
                       [&](const CheckFinding& f) { return !f.warning && f.file == file && f.line == line; });
}

const ReadFile* Checker::kept_file(const std::string& file) const {
    for (const auto& read : files_)
        if (read->file == file) return read.get();
    return nullptr;
}

// The id of the entry of that name in the table the kind names ("" when none has it).
std::string Checker::id_named(const char* kind, const std::string& name) const {
    for (const IdTable& table : kIdTables) {
        if (!names_kind(kind, table.kind)) continue;
        const ReadFile* read = kept_file(*table.file);
        if (!read || !read->document || !read->document->root()) return "";
        for (const auto& entry : read->document->root()->children)
            if (entry->name == table.element && entry->attribute("name") && same_nocase(*entry->attribute("name"), name))
                return attribute_or(*entry, "id", "");
    }
    return "";
}

// Each attribute against what the reader accepts and what the value means.
void Checker::check_values(const ReadFile& file, const XmlElement& element, const XmlElementFormat& format) {
    for (const auto& [name, value] : element.attributes) {
        const XmlAttributeFormat* attribute = nullptr;
        for (const XmlAttributeFormat& a : format.attributes)
            if (a.name == name) attribute = &a;
        const std::string what = "<" + element.name + "> " + name;
        const int line = element.line_of(name);
        if (!attribute) {
            if (fault_at(file.file, element.line) || fault_at(file.file, line)) continue;  // the reader's message says so
            std::vector<std::string> known;
            for (const XmlAttributeFormat& a : format.attributes) known.push_back(a.name);
            const std::string near = closest(name, known);
            fault(file.file, line,
                  "<" + element.name + "> has no attribute " + quoted(name) +
                      (near.empty() ? std::string(" (docs/formats.md lists the attributes it may have)")
                                    : ": did you mean " + quoted(near) + "?"));
            continue;
        }
        if (attribute->kind == FieldKind::flag || attribute->kind == FieldKind::yes_no) {
            if (value != "yes" && value != "no")
                fault(file.file, line,
                      what + " " + quoted(value) + ": a flag is on only when written \"yes\", so the game takes this "
                      "as off (write \"yes\" or \"no\")");
        } else if (attribute->kind == FieldKind::number) {
            check_number(file, line, *attribute, what, value);
        } else if (!attribute->words.empty() && !value.empty() &&
                   std::find(attribute->words.begin(), attribute->words.end(), value) == attribute->words.end() &&
                   !fault_at(file.file, element.line)) {
            fault(file.file, line,
                  what + " " + quoted(value) + ": the game knows only " + join_words(attribute->words, ", "));
        }
    }
    if (format.text == XmlText::number) {
        long long number = 0;
        const std::string text = trimmed(element.text);
        if (!whole_number(text, number)) {
            std::string named;
            if (names_kind(format.text_names, names::tile_type) && file.tileset)
                for (int id = 0; id < kTileTypeCount && named.empty(); ++id)
                    if (file.tileset->defined[id] && same_nocase(file.tileset->names[id], text))
                        named = ": tile type " + int_to_text(id) + " has that name; write its id";
            fault(file.file, element.line,
                  "<" + element.name + "> " + quoted(text) + ": the text must be a number" +
                      (format.text_names ? std::string(" (") + format.text_names + ")" : std::string()) + named +
                      "; the game reads it as " + int_to_text(text_to_int(text)));
        }
    }
}

void Checker::check_number(const ReadFile& file, int line, const XmlAttributeFormat& attribute,
                           const std::string& what, const std::string& value) {
    if (std::find(attribute.words.begin(), attribute.words.end(), value) != attribute.words.end()) return;
    long long number = 0;
    if (!whole_number(value, number)) {
        std::string id;
        for (const IdTable& table : kIdTables)
            if (names_kind(attribute.names, table.kind) && !(id = id_named(table.kind, value)).empty()) {
                fault(file.file, line,
                      what + " " + quoted(value) + ": a name where a " + table.what + " id is wanted; the " +
                          table.what + " of that name has the id " + id);
                return;
            }
        fault(file.file, line,
              what + " " + quoted(value) + ": not a number" +
                  (attribute.words.empty() ? std::string() : " nor one of " + join_words(attribute.words, ", ")) +
                  (attribute.names ? std::string(" (") + attribute.names + " is wanted)" : std::string()) +
                  "; the game reads it as " + int_to_text(text_to_int(value)));
        return;
    }
    if (attribute.least <= attribute.most && (number < attribute.least || number > attribute.most))
        fault(file.file, line,
              what + " " + value + ": out of range " + int_to_text(attribute.least) + ".." +
                  int_to_text(attribute.most) + "; the game keeps the low bits and reads another number");
}

// Entries given twice: ids in every table (a fault), names of the abilities
// (a fault: they are named by them) and of the other tables, fields of a map
// and texts in one language (warnings).
void Checker::check_duplicates(const ReadFile& file, const XmlElement& element) {
    std::map<std::string, int> first;
    const bool table = !element.parent && (file.file == kAbilities || file.file == kMonsters || file.file == kPowers ||
                                           file.file == kItems);
    for (const auto& child : element.children) {
        std::vector<std::pair<std::string, bool>> keys;  // what must be unique, and whether twice is a fault
        const XmlAttributeFormat* id_format = file.format->attribute(child->name, "id");
        if (const std::string* id = child->attribute("id"); id && id_format && id_format->kind == FieldKind::number)
            keys.push_back({"id " + int_to_text(text_to_int(*id)), true});
        if (const std::string* name = child->attribute("name"); table && name && !name->empty())
            keys.push_back({"name " + quoted(*name), file.file == kAbilities});
        if (child->name == "field" && file.format == &map_file_format())
            keys.push_back({"field " + position(static_cast<int>(text_to_int(attribute_or(*child, "x", "-1"))),
                                                static_cast<int>(text_to_int(attribute_or(*child, "y", "-1")))),
                            false});
        const XmlElementFormat* child_format = file.format->element(child->name);
        if (const std::string* language = child->attribute("language");
            language && element.parent && child_format && child_format->text == XmlText::text)
            keys.push_back({"text in " + *language + (child->attribute("type") ? " of type " + quoted(*child->attribute("type")) : ""),
                            false});
        for (const auto& [key, is_fault] : keys) {
            const auto [at, added] = first.emplace(child->name + " " + key, child->line);
            if (added) continue;
            const std::string text = "<" + child->name + "> " + key + " is given twice (first at line " +
                                     int_to_text(at->second) + ")" +
                                     (is_fault ? "" : "; the game takes one of them");
            if (is_fault) fault(file.file, child->line, text);
            else warn(file.file, child->line, text);
        }
    }
}

// Every text the player sees in every language of the messages file: a text
// written in the attribute without its translation is a warning.
void Checker::check_translations(const ReadFile& file, const XmlElement& element, const XmlElementFormat& format) {
    if (languages_.size() < 2 || file.format == &map_file_format() || file.format == &character_file_format()) return;
    for (const auto& [name, value] : element.attributes) {
        TranslatedText text;
        if (value.empty() || !translated_text(*file.format, format, name, text)) continue;
        for (size_t l = 1; l < languages_.size(); ++l) {
            const std::string& language = languages_[l];
            const bool given = std::any_of(element.children.begin(), element.children.end(), [&](const auto& child) {
                return child->name == text.child && attribute_or(*child, "language", "") == language &&
                       attribute_or(*child, "type", "") == text.type;
            });
            if (given) continue;
            const std::string* entry = element.attribute("name");
            warn(file.file, element.line,
                 "<" + element.name + ">" + (entry ? " " + quoted(*entry) : std::string()) + ": its " + name +
                     " has no text in " + language + " (<" + text.child + " language=\"" + language + "\"" +
                     (text.type.empty() ? "" : " type=\"" + text.type + "\"") + ">)");
        }
    }
}

// Monsters and items on the fields a step reaches and on fields the character
// can enter.
void Checker::check_placements() {
    for (const auto& map : maps_) {
        const ReadFile* read = kept_file(map->file);
        if (!read || !read->document || !map->tileset) continue;
        std::map<std::pair<int, int>, int> monsters;  // field -> line
        for (const auto& element : read->document->root()->children) {
            const bool monster = element->name == "monster";
            if (!monster && element->name != "item") continue;
            const int x = static_cast<int>(text_to_int(attribute_or(*element, "xpos", "0")));
            const int y = static_cast<int>(text_to_int(attribute_or(*element, "ypos", "0")));
            const std::string what = monster ? "the monster at " : "the item at ";
            if (x < 0 || y < 0 || x > kLastStepField || y > kLastStepField) {
                fault(map->file, element->line,
                      what + position(x, y) + " is off the fields a step reaches (0.." + int_to_text(kLastStepField) +
                          " each way)");
                continue;
            }
            const int tile = map->tiles[y][x];
            if (map->tileset->solid[tile])
                fault(map->file, element->line,
                      what + position(x, y) + " is on tile type " + int_to_text(tile) + " (" +
                          map->tileset->names[tile] + "), which is solid: " +
                          (monster ? "it is stuck there" : "no one can pick it up"));
            if (monster && !monsters.emplace(std::pair{x, y}, element->line).second)
                warn(map->file, element->line,
                     "a second monster at " + position(x, y) + " (the first at line " +
                         int_to_text(monsters[{x, y}]) + ")");
        }
    }
}

// What the level maker needs of a dungeon's values; false when a level
// cannot be made from them (its trials would only repeat it).
bool Checker::check_dungeon_values(const MapFacts& map, const MapFacts::Dungeon& dungeon) {
    const XmlElement& element = *dungeon.element;
    const DungeonRecord& record = dungeon.record;
    bool sound = true;
    auto number_of = [&](const char* name, long long& value) { return whole_number(attribute_or(element, name, ""), value); };
    long long value = 0;
    if (number_of("number_of_levels", value) && value < 1) {
        fault(map.file, element.line_of("number_of_levels"),
              "<dungeon> number_of_levels " + int_to_text(value) + ": a dungeon has 1 level or more");
        sound = false;
    }
    for (const char* side : {"dimension_x", "dimension_y"})
        if (number_of(side, value) && (value < 1 || value > kLastStepField)) {
            fault(map.file, element.line_of(side),
                  "<dungeon> " + std::string(side) + " " + int_to_text(value) + ": a level's maze is 1.." +
                      int_to_text(kLastStepField) + " fields a side (the map has " + int_to_text(kMapSize) +
                      " x " + int_to_text(kMapSize) + " fields)");
            sound = false;
        }
    if (monsters_whole_ && !record.monster_class.empty()) {
        // The first level's monsters are drawn of its class up to its level cap.
        const int cap = record.entrance_to_level + record.difficulty_level - 1;
        if (level_monster_types(cap, record.monster_class).empty())
            warn(map.file, element.line_of("monster_class"),
                 "<dungeon> monster_class " + quoted(record.monster_class) + ": no monster type of level " +
                     int_to_text(cap) + " or below has that class word (" + kMonsters + "), so its first level has no monsters");
    }
    if (record.is_final && record.bottom_monster == 0)
        fault(map.file, element.line_of("final"),
              "<dungeon> final: without a bottom_monster no foe falls, so the game is never won there");
    const TilesetFacts* standard = tileset_facts(kLevelTileset, kLevelTilesheet);
    const std::pair<const char*, int> tiles[] = {{"default_tile", record.default_tile},
                                                 {"background_tile", record.background_tile},
                                                 {"tile_outside_map", record.tile_outside_map}};
    for (const auto& [name, tile] : tiles)
        if (!element.attribute(name))
            warn(map.file, dungeon.line,
                 "<dungeon> leaves out " + std::string(name) + ": its levels use tile type " + int_to_text(tile) +
                     (standard && tile >= 0 && tile < kTileTypeCount ? " (" + standard->names[tile] + ")" : "") +
                     " for it");
    return sound;
}

// Every sound and every picture of the tilesets decoded whole.
void Checker::check_media_files() {
    for (const FolderEntry& entry : list_folder("sound\\", "*.ogg")) {
        const std::string file = "sound\\" + entry.name;
        if (entry.type != 1 || refused_.count(file)) continue;
        std::vector<int16_t> samples;
        if (!decode_ogg_file(host_path(file), samples))
            fault(file, 0, "the sound does not decode (it is no Ogg Vorbis sound, or it is cut or damaged): the "
                           "game plays nothing in its place");
    }
    for (const FolderEntry& entry : list_folder("tilesets\\", "*")) {
        const std::string file = "tilesets\\" + entry.name;
        const std::string lower = lower_case(entry.name);
        const bool picture = lower.ends_with(".png") || lower.ends_with(".jpg") || lower.ends_with(".jpeg");
        if (entry.type != 1 || !picture || refused_.count(file)) continue;
        Surface surface;
        if (!decode_image_file(host_path(file), surface))
            fault(file, 0, "the picture does not decode whole (it is cut or damaged): the game cannot load it");
    }
}

// The checks a fault of a file kept from being made, named at that file.
void Checker::name_unmade_checks() {
    auto unmade = [&](const std::string& file, const std::string& what) {
        if (const ReadFile* read = kept_file(file); read && !read->read && !refused_.count(file))
            warn(file, 0,
                 std::string("not checked, since the game could not read this file through (") +
                     (std::any_of(result_.findings.begin(), result_.findings.end(),
                                  [&](const CheckFinding& f) { return f.file == file && !f.warning; })
                          ? "see its fault"
                          : "a file it needs has a fault") +
                     "): " + what);
    };
    if (!abilities_whole_) unmade(kAbilities, "the ability ids and names the other data files and the character name");
    if (!monsters_whole_) unmade(kMonsters, "the monster types the maps name");
    if (!items_whole_) unmade(kItems, "the item types the maps, the dungeons and the character name, and the starting food");
    if (!powers_whole_) unmade(kPowers, "the powers the character names");
    for (const auto& read : files_) {
        if (read->read || refused_.count(read->file)) continue;
        if (read->format == &tile_type_file_format())
            unmade(read->file, "the tile types of the maps that use it, and the portals, monsters and items on them");
        else if (read->format == &map_file_format())
            unmade(read->file, "its tile types, portals, dungeons and transformations, where its monsters and items "
                               "stand, and the portals that lead here");
    }
    for (const SpriteFile& sheet : sprite_files())
        if (!sheets_loaded_.count(sheet.number) && !refused_.count(sheet.file) && file_size(sheet.file) > 0)
            warn(sheet.file, 0, "not checked, since the game could not load this picture (see its fault): the cells of it that the data files name");
}

CheckResult Checker::run() {
    set_game_folder(folder_);
    set_writable_folder(options_.save_folder);
    reset_game_state();
    screen_folders();
    check_preferences();
    check_messages();
    check_sounds();
    check_graphics();
    check_databases();
    check_tilesets();
    check_maps();
    check_character();
    check_media_files();
    check_names();
    check_placements();
    check_portals();
    check_fixed_content();
    check_dungeons();
    check_reachable_maps();
    name_unmade_checks();
    limit_file_reads(0);
    limit_picture_side(0);
    return std::move(result_);
}

}  // namespace

CheckResult check_game(const std::string& folder, const CheckOptions& options) {
    return Checker(folder, options).run();
}

std::string finding_text(const CheckFinding& finding) {
    return host_path(finding.file) + ":" + int_to_text(finding.line) + ": " + (finding.warning ? "warning: " : "") +
           finding.text;
}

bool whole_number(const std::string& text, long long& value) {
    const std::string t = trimmed(text);
    size_t i = t.size() > 0 && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    int base = 10;
    if (i < t.size() && (t[i] == '$' || t[i] == '%')) base = t[i++] == '$' ? 16 : 2;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99;
        if (digit >= base) return false;
    }
    value = text_to_int(t);
    return true;
}
