// The description of a file format, for the people who write the files and
// for the programs that check them: every element with its attributes (made
// from the attribute table the reader reads them with), its own text and the
// elements it may hold. Each reader describes its file beside its tables; the
// format reference, the XML schemas and the content check are made from these
// descriptions.
#pragma once
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/xml_fields.h"

struct XmlAttributeFormat {
    std::string name = {};
    FieldKind kind = FieldKind::number;
    bool stored = false;            // it fills a field of the record (not only accepted, or kept elsewhere)
    std::string default_text = {};  // what that field holds when the attribute is missing
    std::string written = {};       // when the game writes it; empty in a file the game only reads
    const char* names = nullptr;  // what the value names elsewhere (common/names.h), or nullptr
    std::vector<std::string> words = {};  // the words it may be (beside a number, for a number)
    // For a number: the values its field holds as written (least > most: no bound);
    // a value beyond them is kept by its low bits, as another number.
    long long least = 0, most = -1;
};

// The text directly inside an element.
enum class XmlText : uint8_t { none, number, text };

struct XmlElementFormat {
    std::string name = {};
    std::string about = {};  // what the element is, one sentence
    std::vector<XmlAttributeFormat> attributes = {};
    XmlText text = XmlText::none;
    std::string text_about = {};        // what its text is
    const char* text_names = nullptr;   // what the text names elsewhere, or nullptr
    std::vector<std::string> children = {};  // names of the elements it may hold, any number in any order
};

struct XmlFileFormat {
    std::string name;   // short name, also the schema's file name (name + ".xsd")
    std::string title;  // "Map files"
    std::string files;  // where the files lie ("maps\*.xml, savegame\*.xml")
    std::string about;
    bool written = false;  // the game writes such files too
    std::vector<XmlElementFormat> elements;  // the root element first

    // The element of that name, or nullptr.
    const XmlElementFormat* element(const std::string& element_name) const {
        for (const XmlElementFormat& e : elements)
            if (e.name == element_name) return &e;
        return nullptr;
    }
    // The description of one attribute of an element, or nullptr.
    const XmlAttributeFormat* attribute(const std::string& element_name, const std::string& attribute_name) const {
        if (const XmlElementFormat* e = element(element_name))
            for (const XmlAttributeFormat& a : e->attributes)
                if (a.name == attribute_name) return &a;
        return nullptr;
    }
};

// The attributes of a table, with the defaults of the record a reader starts
// from (a default-made one when none is given); written tells whether the game
// writes such files (then each says when).
template <typename Record>
std::vector<XmlAttributeFormat> describe_fields(FieldTable<Record> table, bool written,
                                                const Record* reader_defaults = nullptr) {
    // Some records are large (a map holds its grid): a default-made one lives on the heap for a moment.
    std::unique_ptr<Record> made;
    if (!reader_defaults) made = std::make_unique<Record>();
    const Record& defaults = reader_defaults ? *reader_defaults : *made;
    std::vector<XmlAttributeFormat> out;
    for (const XmlField<Record>& field : table) {
        XmlAttributeFormat a;
        a.name = field.name;
        a.kind = field.kind;
        a.names = field.names;
        for (const char* w = field.words; w && *w;) {
            const char* bar = w;
            while (*bar && *bar != '|') ++bar;
            a.words.emplace_back(w, bar);
            w = *bar ? bar + 1 : bar;
        }
        std::string text;
        a.stored = !std::holds_alternative<std::monostate>(field.member);
        if (a.stored && field.kind == FieldKind::number)
            std::tie(a.least, a.most) = xml_fields_detail::range_of(field);
        if (a.stored) {
            const XmlField<Record> plain{.name = field.name, .member = field.member, .kind = field.kind};
            if (xml_fields_detail::text_of(plain, defaults, text)) a.default_text = text;
            else a.default_text = "no";  // a flag that is not set
        }
        if (written) {
            if (field.write == WriteRule::never) a.written = "never (read only)";
            else if (field.write_if) a.written = field.written_when ? field.written_when : "sometimes";
            else if (field.write == WriteRule::unless_default)
                a.written = a.default_text.empty() ? "when not empty" : "when not " + a.default_text;
            else if (field.kind == FieldKind::flag) a.written = "when set";
            else a.written = "always";
        }
        out.push_back(a);
    }
    return out;
}

// An element that holds a text in one language: its only attribute is "language".
inline XmlElementFormat language_text_format(const std::string& name, const std::string& about) {
    XmlElementFormat e;
    e.name = name;
    e.about = about;
    e.attributes.push_back({.name = "language", .kind = FieldKind::text});
    e.text = XmlText::text;
    e.text_about = "the text in that language";
    return e;
}
