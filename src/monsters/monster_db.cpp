#include "monsters/monster_db.h"

#include <memory>
#include <new>

#include "character/abilities_db.h"
#include "common/database.h"
#include "common/names.h"
#include "common/player_language.h"
#include "common/raise_error.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

[[noreturn]] void unknown_tag(const std::string& tag, const std::string& file) {
    raise_error("load_monster_db(): unknown tag " + quoted(tag) + " in monster xml file " + quoted(file));
}

// The handler of an attribute a table does not know; where names the element
// and the kind of file in the message.
auto unknown_attribute(const std::string& where, const std::string& file) {
    return [&where, &file](const std::string& name) {
        raise_error("load_monster_db(): unknown attribute " + quoted(name) + where + quoted(file));
    };
}

// A "monster" element: the monster type and its id (0 while the element gives none).
struct MonsterElement : MonsterType {
    long long id = 0;
};
const XmlField<MonsterElement> kMonsterFields[] = {
    // Range and uniqueness are tested the moment the id is read, before any later attribute.
    {.name = "id",
     .member = &MonsterElement::id,
     .read = [](MonsterElement& monster, const std::string& value, const std::string& file) {
         long long id = text_to_int(value);
         if (id < 1 || id > kMaxMonsterTypeId)
             raise_error("load_monster_db(): wrong monster id " + quoted(value) + " in monster file " + quoted(file));
         if (!g_db.monster_types[id].name.empty())
             raise_error("load_monster_db(): monster id " + quoted(value) + " not unique in monster file " +
                         quoted(file));
         monster.id = id;
     }},
    {"name", &MonsterElement::name, FieldKind::text},
    {"class", &MonsterElement::cls, FieldKind::text},
    {.name = "tile", .member = &MonsterElement::tile, .names = names::monster_icon},
    {"attack", &MonsterElement::attack},
    {"defense", &MonsterElement::defense},
    {"strength", &MonsterElement::strength},
    {"hitpoints", &MonsterElement::hitpoints},
    {"armor", &MonsterElement::armor},
    {"level", &MonsterElement::level},
    {"speed", &MonsterElement::speed},
    {"flying", &MonsterElement::flying, FieldKind::flag},
    {"regeneration", &MonsterElement::regeneration},
    {"resistance", &MonsterElement::resistance, FieldKind::text},
    {"immune", &MonsterElement::immune, FieldKind::text},
    {"vulnerable", &MonsterElement::vulnerable, FieldKind::text},
};

// An "affliction" element.
const XmlField<MonsterAffliction> kAfflictionFields[] = {
    {"class", &MonsterAffliction::cls, FieldKind::text},
    {"chance", &MonsterAffliction::chance},
    {.name = "attribute", .member = &MonsterAffliction::attribute, .names = names::ability},
    {.name = "attribute_name",
     .member = &MonsterAffliction::attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"value", &MonsterAffliction::value},
    {"randomized", &MonsterAffliction::randomized, FieldKind::flag},
    {"animation", &MonsterAffliction::animation, FieldKind::text},
    {"sound", &MonsterAffliction::sound, FieldKind::text},
    {"message", &MonsterAffliction::message, FieldKind::text},
};

void read_affliction(MonsterType& type, int& count, const XmlElement& element, const std::string& file) {
    MonsterAffliction affliction;
    read_fields<MonsterAffliction>(kAfflictionFields, affliction, element, file,
                                   unknown_attribute(" in affliction tag in monster xml file ", file));
    // A sixth affliction is refused whether or not it carries attributes, so
    // nothing is ever written past the last slot.
    if (count >= kMonsterAfflictionSlots)
        raise_error("load_monster_db(): too much afflictions for one monster type in monster xml file " +
                    quoted(file));
    MonsterAffliction& slot = type.afflictions[count];
    if (!element.attributes.empty()) slot = affliction;
    for (const XmlElement& child : children_of(element)) {
        if (child.name != "message") unknown_tag(child.name, file);
        read_language_text(child, slot.message, unknown_attribute(" in message tag in monster xml file ", file));
    }
    ++count;
}

void read_monster(const XmlElement& element, const std::string& file) {
    if (element.attributes.empty()) return;
    MonsterElement type;
    read_fields<MonsterElement>(kMonsterFields, type, element, file,
                                unknown_attribute(" in monster tag in file ", file));
    if (type.id == 0 || type.name.empty())
        raise_error("load_monster_db(): monster tag without proper id or name in file " + quoted(file));

    MonsterType& record = g_db.monster_types[type.id];
    record = type;
    int afflictions = 0;
    for (const XmlElement& child : children_of(element)) {
        if (child.name == "name")
            read_language_text(child, record.name, unknown_attribute(" in name tag in monster xml file ", file));
        else if (child.name == "affliction") read_affliction(record, afflictions, child, file);
        else unknown_tag(child.name, file);
    }
}

}  // namespace

void load_monster_db(const std::string& file) {
    for (int id = 0; id <= kMaxMonsterTypeId; ++id) g_db.monster_types[id] = MonsterType{};

    std::unique_ptr<XmlDocument> document(new (std::nothrow) XmlDocument);
    if (!document) raise_error("load_monster_db(): could not create xml structure in memory!");
    if (!document->load(file)) raise_error("load_monster_db(): could not open monster xml file: " + quoted(file));
    if (document->status() != 0)
        raise_error("load_monster_db(): error in xml structure of monster file " + quoted(file) + ": " +
                    document->error_text());

    if (const XmlElement* root = document->root()) {
        for (const XmlElement& child : children_of(*root)) {
            if (child.name != "monster") unknown_tag(child.name, file);
            read_monster(child, file);
        }
    }
    document.reset();
    resolve_monster_type_db_names(file);
}

void resolve_monster_type_db_names(const std::string& file) {
    for (int id = 0; id <= kMaxMonsterTypeId; ++id) {
        for (MonsterAffliction& affliction : g_db.monster_types[id].afflictions) {
            if (!resolve_ability_name(affliction.attribute, affliction.attribute_name))
                raise_error("resolve_monster_type_db_names(): cannot find attribute " +
                            quoted(affliction.attribute_name) + " in monster xml file " + quoted(file));
        }
    }
}

const XmlFileFormat& monsters_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "monster";
        f.title = "The monster database";
        f.files = "data\\monster.xml";
        f.about = "Every monster type. Maps place monsters by type id; levels and spawning pick them by level.";
        f.elements = {
            {.name = "monsters",
             .about = "The monster types (the game does not test the root element's name).",
             .children = {"monster"}},
            {.name = "monster",
             .about = "One monster type; id 1..299, unique; a name is required (one without any attribute is "
                      "skipped).",
             .attributes = describe_fields<MonsterElement>(kMonsterFields, false),
             .children = {"name", "affliction"}},
            language_text_format("name", "The monster's name in one language."),
            {.name = "affliction",
             .about = "What a wound by this monster may do to an ability of the character (at most five).",
             .attributes = describe_fields<MonsterAffliction>(kAfflictionFields, false),
             .children = {"message"}},
            language_text_format("message", "The affliction's message in one language."),
        };
        return f;
    }();
    return format;
}
