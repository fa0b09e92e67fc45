#include "game/hall_of_fame.h"

#include <algorithm>

#include "common/version_field.h"
#include "platform/files.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

// The root element: how many runs were recorded.
const XmlField<HallOfFame> kHallFields[] = {
    version_field<HallOfFame>(),
    {"runs", &HallOfFame::runs},
};

// A "run" element: one of the best runs.
const XmlField<FameEntry> kRunFields[] = {
    {"run", &FameEntry::run},
    {"cause", &FameEntry::cause, FieldKind::text},
    {"map", &FameEntry::map, FieldKind::text},
    {"turns", &FameEntry::turns},
    {"kills", &FameEntry::kills},
    {"deepest_level", &FameEntry::deepest_level},
    {"dungeon", &FameEntry::dungeon, FieldKind::text, WriteRule::unless_default},
    {"won", &FameEntry::won, FieldKind::flag},
};

void save_hall_of_fame(const HallOfFame& hall) {
    XmlDocument document;
    XmlElement* root = document.create_root("hall_of_fame");
    write_fields<HallOfFame>(kHallFields, hall, *root);
    for (const FameEntry& entry : hall.entries) write_fields<FameEntry>(kRunFields, entry, *root->add_child("run"));
    document.save(HALL_OF_FAME_FILE);
}

}  // namespace

HallOfFame load_hall_of_fame() {
    HallOfFame hall;
    XmlDocument document;
    if (!document.load(HALL_OF_FAME_FILE) || document.status() != 0 || !document.root()) return hall;
    bool sound = true;
    auto unknown = [&sound](const std::string&) { sound = false; };
    read_fields<HallOfFame>(kHallFields, hall, *document.root(), HALL_OF_FAME_FILE, unknown);
    for (const XmlElement& child : children_of(*document.root())) {
        if (child.name != "run") {
            sound = false;
            continue;
        }
        FameEntry entry;
        read_fields<FameEntry>(kRunFields, entry, child, HALL_OF_FAME_FILE, unknown);
        hall.entries.push_back(entry);
    }
    if (!sound) return {};
    std::stable_sort(hall.entries.begin(), hall.entries.end(), better_run);
    if (hall.entries.size() > HALL_OF_FAME_PLACES) hall.entries.resize(HALL_OF_FAME_PLACES);
    return hall;
}

bool better_run(const FameEntry& a, const FameEntry& b) {
    if (a.deepest_level != b.deepest_level) return a.deepest_level > b.deepest_level;
    if (a.won != b.won) return a.won > b.won;
    if (a.turns != b.turns) return a.turns < b.turns;
    return a.run < b.run;
}

FameEntry enter_hall_of_fame(FameEntry entry, int* place) {
    HallOfFame hall = load_hall_of_fame();
    hall.runs = std::max(hall.runs, 0) + 1;
    entry.run = hall.runs;
    hall.entries.push_back(entry);
    std::stable_sort(hall.entries.begin(), hall.entries.end(), better_run);
    if (hall.entries.size() > HALL_OF_FAME_PLACES) hall.entries.resize(HALL_OF_FAME_PLACES);
    if (place) {
        *place = 0;
        for (size_t k = 0; k < hall.entries.size(); ++k)
            if (hall.entries[k].run == entry.run) *place = static_cast<int>(k) + 1;
    }
    save_hall_of_fame(hall);
    return entry;
}

const XmlFileFormat& hall_of_fame_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "hall_of_fame";
        f.title = "The hall of fame";
        f.files = "savegame\\hall_of_fame\\hall_of_fame.xml";
        f.about = "The ten best runs that ended, by death or by the treasure at the bottom of a dungeon found, best "
                  "first. The game writes it when a run ends and never deletes it; a damaged file counts as none.";
        f.written = true;
        f.elements = {
            {.name = "hall_of_fame",
             .about = "The hall (the game does not test the root element's name).",
             .attributes = describe_fields<HallOfFame>(kHallFields, true),
             .children = {"run"}},
            {.name = "run",
             .about = "One of the best runs.",
             .attributes = describe_fields<FameEntry>(kRunFields, true)},
        };
        return f;
    }();
    return format;
}
