// The attributes of an XML element described once per record, in one table
// used both to read and to write it: each entry names an attribute, the field
// it fills and how its text is read and written. Every loader and writer of
// the game's files describes its records this way.
//
// Reading takes the element's attributes in document order; an attribute the
// table does not know is handed to the caller, which ends the program with its
// own exact message. Writing puts the fields in table order, leaving out what
// the format leaves out.
#pragma once
#include <cstdint>
#include <limits>
#include <utility>
#include <span>
#include <string>
#include <variant>

#include "platform/strings.h"
#include "platform/xml.h"

enum class FieldKind : uint8_t {
    number,  // decimal text ("$" hexadecimal, "%" binary); kept in the field's width, the low bits
    flag,    // set exactly by "yes"; written as "yes", and only when set
    yes_no,  // set exactly by "yes"; always written, as "yes" or "no"
    text,    // as written
};

enum class WriteRule : uint8_t {
    always,          // every time
    unless_default,  // only when the field differs from a default-made record's
    never,           // read only (accepted and ignored, or kept elsewhere)
};

// The field an attribute fills; std::monostate for an attribute that is only
// accepted, or that its read rule handles on its own.
template <typename Record>
using FieldMember = std::variant<std::monostate, std::string Record::*, int16_t Record::*, int8_t Record::*,
                                 uint8_t Record::*, int32_t Record::*, long long Record::*, bool Record::*>;

template <typename Record>
struct XmlField {
    const char* name;
    FieldMember<Record> member = std::monostate{};
    FieldKind kind = FieldKind::number;
    WriteRule write = WriteRule::always;
    // The record's own rule for reading this attribute, in place of the plain
    // conversion: a range test with its exact message (file names the file in
    // it), a word that stands for a number. It runs when the attribute is read,
    // so the order of the file's faults decides which one is reported.
    void (*read)(Record& record, const std::string& value, const std::string& file) = nullptr;
    // Written only while this holds (attributes that go together, a field that
    // only some records carry).
    bool (*write_if)(const Record& record) = nullptr;
    // The text written, when it is not the field's own (a value kept elsewhere).
    std::string (*written)(const Record& record) = nullptr;
    // What the value names elsewhere (an ability, a sound, a map file, a cell of a
    // picture: the kinds in common/names.h); nullptr for a value of its own. The
    // content check looks each one up, and the format reference shows it.
    const char* names = nullptr;
    // For the format reference: when write_if lets the attribute be written.
    const char* written_when = nullptr;
    // The words the value may be, "|"-separated (for a number: the words it may
    // be instead of a number), when its read rule takes words.
    const char* words = nullptr;
};

template <typename Record>
using FieldTable = std::span<const XmlField<Record>>;

// GCC looks at every alternative of the member on its own and warns that a
// member pointer of a type the record does not have would reach past it; the
// alternative held always names a real field of the record.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"

namespace xml_fields_detail {

// These three are not inlined, so the warning stays silenced where it arises.
template <typename Record>
[[gnu::noinline]] void convert(const XmlField<Record>& field, Record& record, const std::string& value) {
    std::visit(
        [&](auto member) {
            using Member = decltype(member);
            if constexpr (!std::is_same_v<Member, std::monostate>) {
                auto& target = record.*member;
                using Field = std::remove_reference_t<decltype(target)>;
                if constexpr (std::is_same_v<Field, std::string>) {
                    target = value;
                } else if (field.kind == FieldKind::flag || field.kind == FieldKind::yes_no) {
                    target = static_cast<Field>(value == "yes" ? 1 : 0);
                } else if constexpr (std::is_same_v<Field, int16_t>) {
                    target = wrap16(text_to_int(value));
                } else if constexpr (std::is_same_v<Field, int8_t>) {
                    target = wrap8(text_to_int(value));
                } else if constexpr (std::is_same_v<Field, uint8_t>) {
                    target = static_cast<uint8_t>(text_to_int(value) & 0xFF);
                } else if constexpr (std::is_same_v<Field, int32_t>) {
                    target = static_cast<int32_t>(static_cast<uint32_t>(text_to_int(value) & 0xFFFFFFFF));
                } else if constexpr (std::is_same_v<Field, long long>) {
                    target = text_to_int(value);
                } else {
                    target = value == "yes";
                }
            }
        },
        field.member);
}

// The field's value as the file writes it; false when there is nothing to write.
template <typename Record>
[[gnu::noinline]] bool text_of(const XmlField<Record>& field, const Record& record, std::string& text) {
    if (field.written) {
        text = field.written(record);
        return true;
    }
    bool present = false;
    std::visit(
        [&](auto member) {
            using Member = decltype(member);
            if constexpr (!std::is_same_v<Member, std::monostate>) {
                const auto& value = record.*member;
                using Field = std::remove_cv_t<std::remove_reference_t<decltype(value)>>;
                if constexpr (std::is_same_v<Field, std::string>) {
                    text = value;
                } else if (field.kind == FieldKind::yes_no) {
                    text = value ? "yes" : "no";
                } else if (field.kind == FieldKind::flag) {
                    if (!value) return;
                    text = "yes";
                } else {
                    text = int_to_text(static_cast<long long>(value));
                }
                present = true;
            }
        },
        field.member);
    return present;
}

template <typename Record>
[[gnu::noinline]] bool equals_default(const XmlField<Record>& field, const Record& record) {
    static const Record defaults{};
    return std::visit(
        [&](auto member) {
            using Member = decltype(member);
            if constexpr (std::is_same_v<Member, std::monostate>) return true;
            else return record.*member == defaults.*member;
        },
        field.member);
}

// The values the field's width holds (least > most: a text, or no bound).
template <typename Record>
[[gnu::noinline]] std::pair<long long, long long> range_of(const XmlField<Record>& field) {
    std::pair<long long, long long> range{0, -1};
    std::visit(
        [&](auto member) {
            using Member = decltype(member);
            if constexpr (!std::is_same_v<Member, std::monostate>) {
                using Field = std::remove_reference_t<decltype(std::declval<Record&>().*member)>;
                if constexpr (std::is_integral_v<Field> && !std::is_same_v<Field, bool> &&
                              !std::is_same_v<Field, long long>)
                    range = {std::numeric_limits<Field>::min(), std::numeric_limits<Field>::max()};
            }
        },
        field.member);
    return range;
}

}  // namespace xml_fields_detail

#pragma GCC diagnostic pop

// One attribute into the record; false when the table has no such name.
template <typename Record>
bool read_field(FieldTable<Record> table, Record& record, const std::string& name, const std::string& value,
                const std::string& file) {
    for (const XmlField<Record>& field : table) {
        if (name != field.name) continue;
        if (field.read) field.read(record, value, file);
        else xml_fields_detail::convert(field, record, value);
        return true;
    }
    return false;
}

// Every attribute of the element in document order. unknown(name) is called
// for a name the table does not know; it ends the program with the caller's message.
template <typename Record, typename Unknown>
void read_fields(FieldTable<Record> table, Record& record, const XmlElement& element, const std::string& file,
                 Unknown&& unknown) {
    take_in_hand(element);
    for (const auto& [name, value] : element.attributes)
        if (!read_field(table, record, name, value, file)) unknown(name);
}

// The fields in table order under their write rules.
template <typename Record>
void write_fields(FieldTable<Record> table, const Record& record, XmlElement& element) {
    for (const XmlField<Record>& field : table) {
        if (field.write == WriteRule::never) continue;
        if (field.write_if && !field.write_if(record)) continue;
        if (field.write == WriteRule::unless_default && !field.written &&
            xml_fields_detail::equals_default(field, record))
            continue;
        std::string text;
        if (xml_fields_detail::text_of(field, record, text)) element.set_attribute(field.name, text);
    }
}

// Every field the table names, from one record into another; what the table
// does not name stays as it was.
template <typename Record>
void copy_fields(FieldTable<Record> table, const Record& from, Record& to) {
    for (const XmlField<Record>& field : table)
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) to.*member = from.*member;
            },
            field.member);
}
