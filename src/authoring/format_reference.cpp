#include "authoring/format_reference.h"

#include "character/abilities_db.h"
#include "character/character_record.h"
#include "map/map_state.h"
#include "platform/strings.h"
#include "items/item_db.h"
#include "map/map_file.h"
#include "map/tileset.h"
#include "monsters/monster_db.h"
#include "platform/xml.h"
#include "powers/power_db.h"
#include "game/character_savegame.h"
#include "game/hall_of_fame.h"
#include "common/message_list.h"
#include "common/preferences.h"

namespace {

std::string kind_name(const XmlAttributeFormat& a) {
    if (!a.words.empty()) {
        std::string words;
        for (size_t i = 0; i < a.words.size(); ++i)
            words += (i == 0 ? "" : i + 1 == a.words.size() ? " or " : ", ") + ("`" + a.words[i] + "`");
        return a.kind == FieldKind::number ? "number or " + words : words;
    }
    switch (a.kind) {
        case FieldKind::number:
            return a.least <= a.most ? "number " + int_to_text(a.least) + ".." + int_to_text(a.most) : "number";
        case FieldKind::text: return "text";
        default: return "flag";
    }
}

// A cell of a Markdown table: the bars of the text would end the cell.
std::string cell(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '|') out += "\\|";
        else out += c;
    }
    return out;
}

std::string default_cell(const XmlAttributeFormat& a) {
    if (!a.stored) return "-";
    if (a.default_text.empty()) return "(empty)";
    return "`" + cell(a.default_text) + "`";
}

std::string element_reference(const XmlFileFormat& format, const XmlElementFormat& e) {
    std::string out = "### `<" + e.name + ">`\n\n" + e.about + "\n\n";
    if (e.text != XmlText::none) {
        out += "Its text: " + e.text_about + " (" + (e.text == XmlText::number ? "a number" : "a text");
        if (e.text_names) out += "; names " + std::string(e.text_names);
        out += ").\n\n";
    }
    if (!e.children.empty()) {
        out += "Holds, in any number and order:";
        for (size_t i = 0; i < e.children.size(); ++i) out += (i ? ", `<" : " `<") + e.children[i] + ">`";
        out += ".\n\n";
    }
    if (e.attributes.empty()) return out + "No attributes.\n\n";
    out += format.written ? "| attribute | kind | default | written | names |\n| --- | --- | --- | --- | --- |\n"
                          : "| attribute | kind | default | names |\n| --- | --- | --- | --- |\n";
    for (const XmlAttributeFormat& a : e.attributes) {
        out += "| `" + a.name + "` | " + kind_name(a) + " | " + default_cell(a) + " | ";
        if (format.written) out += cell(a.written) + " | ";
        out += (a.names ? cell(a.names) : std::string()) + " |\n";
    }
    return out + "\n";
}

// Simple types every schema declares; element types are named after their element.
constexpr const char* kNumberType = "number-value";
constexpr const char* kFlagType = "flag-value";
constexpr const char* kTextType = "text-value";

const char* schema_type(FieldKind kind) {
    switch (kind) {
        case FieldKind::number: return kNumberType;
        case FieldKind::text: return kTextType;
        default: return kFlagType;
    }
}

// The words an attribute may be, as a simple type at that indent.
std::string schema_words(const std::vector<std::string>& words, const std::string& indent) {
    std::string out = indent + "<xs:simpleType>\n" + indent + "  <xs:restriction base=\"xs:string\">\n";
    for (const std::string& word : words) out += indent + "    <xs:enumeration value=\"" + xml_escaped(word, true) + "\"/>\n";
    return out + indent + "  </xs:restriction>\n" + indent + "</xs:simpleType>\n";
}

std::string schema_attributes(const XmlElementFormat& e, const std::string& indent) {
    std::string out;
    for (const XmlAttributeFormat& a : e.attributes) {
        if (a.words.empty()) {
            out += indent + "<xs:attribute name=\"" + a.name + "\" type=\"" + schema_type(a.kind) + "\"/>\n";
            continue;
        }
        // One of the words; for a number, a number or one of them.
        out += indent + "<xs:attribute name=\"" + a.name + "\">\n";
        if (a.kind == FieldKind::number) {
            out += indent + "  <xs:simpleType>\n" + indent + "    <xs:union memberTypes=\"" + kNumberType + "\">\n";
            out += schema_words(a.words, indent + "      ");
            out += indent + "    </xs:union>\n" + indent + "  </xs:simpleType>\n";
        } else {
            out += schema_words(a.words, indent + "  ");
        }
        out += indent + "</xs:attribute>\n";
    }
    return out;
}

std::string schema_element_type(const XmlElementFormat& e) {
    std::string out = "  <xs:complexType name=\"" + e.name + "-element\">\n";
    out += "    <xs:annotation><xs:documentation>" + xml_escaped(e.about, true) + "</xs:documentation></xs:annotation>\n";
    if (e.text != XmlText::none) {
        out += "    <xs:simpleContent>\n      <xs:extension base=\"";
        out += e.text == XmlText::number ? kNumberType : kTextType;
        out += "\">\n" + schema_attributes(e, "        ") + "      </xs:extension>\n    </xs:simpleContent>\n";
    } else {
        if (!e.children.empty()) {
            out += "    <xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">\n";
            for (const std::string& child : e.children)
                out += "      <xs:element name=\"" + child + "\" type=\"" + child + "-element\"/>\n";
            out += "    </xs:choice>\n";
        }
        out += schema_attributes(e, "    ");
    }
    return out + "  </xs:complexType>\n";
}

// What the game fixes and the tables above do not say: sizes, units, the
// layouts of the picture sheets, the placeholders of the texts.
std::string fixed_facts() {
    CharacterRecord fresh;
    reset_character_record(fresh);
    const std::string size = int_to_text(kMapSize), last = int_to_text(kMapSize - 1);
    std::string out =
        "## Fixed facts\n\n"
        "- Every map has " + size + " x " + size + " fields, x and y 0.." + last + " (x to the right, y down); "
        "a step never enters the last row or column, so what the character must reach (a portal, a dungeon's "
        "field, a monster or an item) lies at 0.." + int_to_text(kMapSize - 2) + ".\n"
        "- A new game starts on `maps\\" + fresh.map_file_name + "` at the field " + int_to_text(fresh.x) + ", " +
        int_to_text(fresh.y) + ", which must not be solid.\n"
        "- Tile type ids are 0.." + int_to_text(kTileTypeCount - 1) + "; a tileset's picture holds its tiles of 32 x 32 "
        "pixels row by row from the top left, tile n in column n % columns and row n / columns.\n"
        "- Every picture sheet of `graphics\\` (abilities, items, monsters, powers) is read the same way: cells of "
        "32 x 32 pixels numbered row by row from the top left; a `tile` value names a cell. `characters.png` holds "
        "the character's four facings in two steps, 32 x 32 pixels each, in one row (256 x 32 pixels); "
        "`starsprites.png` five frames of 9 x 9 pixels in each of eight rows of colours (45 x 72 pixels); `fx.png` "
        "the effect icons 0..9 and `missiles.png` the missiles 0..5, in cells of 32 x 32 pixels.\n"
        "- An item's `weight` is in tenths of the unit the game shows (30 is shown as 3.0).\n"
        "- A generated level is made on the standard tileset (`tilesets\\tiles_standard.xml`): a dungeon's "
        "`default_tile` is the rock of its maze and `background_tile` its floor. Left out they are 1 and 4, the "
        "standard tileset's floor and wall, so that the maze's walls are floor and its floor wall, and no way "
        "leads down: always write both (the shipped Old Cave has `default_tile=\"4\" background_tile=\"1\"`). "
        "`dimension_x` and `dimension_y` are 1.." + int_to_text(kMapSize - 2) + " (4 or more at least one way); "
        "`number_of_levels` is 1 or more.\n"
        "- Texts hold placeholders in square brackets that the game fills in as it shows them; keep each one a "
        "text has in every language. In `data\\messages.xml`: `[name]` (the monster or thing the message is "
        "about), `[damage]` (a blow's damage), `[power]`, `[field]`, `[item]`, `[item_class]`, "
        "`[attribute_name]` (names), `[value]`, `[limit]`, `[cooldown]`, `[speed]` (numbers), `[title]`, "
        "`[dungeon_name]` and `[dungeon_level]`; in an ability's display texts `[value]` (its value), in an "
        "item's texts `[fuel]` (the fuel left) and in a power's texts `[power_strength]`. Message "
        "ids: 1..53 are the game's own texts (1..10 the character sheet and advancement, 11 and 12 the "
        "status panel's adjustment labels, 13..24 and 32..34 the inventory and pick-up screens, 25 and 28 "
        "level creation and change, 26 and 27 field effects, 29..31 the main menu, 35..41 and 46..49 using "
        "a power, 42 and 43 sneaking, 44 and 45 melee, 50 regeneration, 51..53 power effects), "
        "100..199 what happens in play, 200..299 finding the way (help, key hints, history, map, resting, "
        "the hall of fame), 300..349 recorded games, 350..399 start-up and installation, 450..469 saving "
        "and saved files that do not read, 480..499 the names of keys, 600..639 the options screen. In the texts of the help and the key "
        "hints a command's name in brackets (`[wait]`, `[confirm]`, `[cancel]`, `[page up]`; `[walk]`, "
        "`[arrows]` and `[up/down]` for the arrows) becomes the names of its keys. A message the chosen "
        "language lacks shows as `??? missing message ID n ???`.\n\n";
    return out;
}

}  // namespace

const std::vector<const XmlFileFormat*>& file_formats() {
    static const std::vector<const XmlFileFormat*> formats = {
        &preferences_file_format(), &messages_file_format(), &abilities_file_format(),
        &monsters_file_format(),    &powers_file_format(),   &items_file_format(),
        &tile_type_file_format(),   &map_file_format(),      &character_file_format(),
        &hall_of_fame_file_format(),
    };
    return formats;
}

const XmlFileFormat* find_file_format(const std::string& name) {
    for (const XmlFileFormat* format : file_formats())
        if (format->name == name) return format;
    return nullptr;
}

std::string formats_reference() {
    std::string out =
        "# The file formats of Umbrane\n\n"
        "Made by `umbrane --formats` from the very tables the game reads (and writes) its files with; "
        "`docs/formats.md` is its output, and a test fails when the two differ. `docs/schema/NAME.xsd` "
        "(made by `umbrane --schema NAME`) says the same as an XML Schema, for an XML editor to check a "
        "file as it is typed, or `xmllint --noout --schema docs/schema/map.xsd maps/*.xml`. "
        "`umbrane --check [GAME_FOLDER]` checks a whole game, every file and what they name in each other.\n\n"
        "Every file is XML; the data lies in attributes. Kinds of values:\n\n"
        "- number: a decimal integer (a leading `$` reads hexadecimal, `%` binary); the game reads the digits at "
        "its start and ignores the rest (`12abc` reads as 12, `seven` as 0). Each is kept in the width of its field "
        "as written, keeping the low bits: the kind column gives the values a field holds. `--check` reports a "
        "value that is no whole number or does not fit.\n"
        "- flag: on exactly when the value is `yes` (`Yes`, `true` or `1` leave it off); the game writes `yes` "
        "(and `no` where it always writes the flag).\n"
        "- text: as written.\n\n"
        "An element or attribute the game does not know ends the game with a message naming it, as does every "
        "fault the tables below mention (an id out of range, too many entries). A text shown to the player may "
        "be given again per language in a child element whose `language` is the language of the preferences. "
        "The game names files by paths such as `maps\\map_start.xml`, below the game folder; a file named by "
        "data counts by its file part alone. Default: what a record holds when the attribute is left out. "
        "Names: what the value names elsewhere, which `--check` looks up.\n\n";
    for (const XmlFileFormat* format : file_formats()) {
        out += "## " + format->title + "\n\n";
        out += "Files: " + format->files + ". Schema: `schema/" + format->name + ".xsd`. ";
        out += format->written ? "The game reads and writes such files; the written column says when it writes an "
                                 "attribute.\n\n"
                               : "The game only reads this file.\n\n";
        out += format->about + "\n\n";
        for (const XmlElementFormat& e : format->elements) out += element_reference(*format, e);
    }
    return out + fixed_facts();
}

std::string format_schema(const XmlFileFormat& format) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n";
    out += "  <xs:annotation><xs:documentation>" + xml_escaped(format.title, true) + " of Umbrane: " +
           xml_escaped(format.files, true) + ". Made by umbrane --schema " + format.name +
           " from the tables the game reads the files with (docs/formats.md says more). The game does not test "
           "the root element's name.</xs:documentation></xs:annotation>\n";
    const XmlElementFormat& root = format.elements.front();
    out += "  <xs:element name=\"" + root.name + "\" type=\"" + root.name + "-element\"/>\n";
    for (const XmlElementFormat& e : format.elements) out += schema_element_type(e);
    out +=
        "  <xs:simpleType name=\"number-value\">\n"
        "    <xs:annotation><xs:documentation>A decimal integer; $ before hexadecimal, % before binary digits."
        "</xs:documentation></xs:annotation>\n"
        "    <xs:restriction base=\"xs:string\">\n"
        "      <xs:pattern value=\"[ \\t]*[+\\-]?([0-9]+|$[0-9A-Fa-f]+|%[01]+)\"/>\n"
        "    </xs:restriction>\n"
        "  </xs:simpleType>\n"
        "  <xs:simpleType name=\"flag-value\">\n"
        "    <xs:annotation><xs:documentation>On exactly when yes.</xs:documentation></xs:annotation>\n"
        "    <xs:restriction base=\"xs:string\">\n"
        "      <xs:enumeration value=\"yes\"/>\n"
        "      <xs:enumeration value=\"no\"/>\n"
        "    </xs:restriction>\n"
        "  </xs:simpleType>\n"
        "  <xs:simpleType name=\"text-value\">\n"
        "    <xs:restriction base=\"xs:string\"/>\n"
        "  </xs:simpleType>\n"
        "</xs:schema>\n";
    return out;
}
