// Table-driven checks of a loader's attributes: each case names an attribute,
// how the game stores it and the field it must fill. Every case is loaded on
// its own, so an attribute that fills another field (or none), a misspelt name
// (fatal as unknown) or a field of another width fails its case.
#pragma once
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "common/raise_error.h"

enum class Stored { text, flag, int8, int16 };

template <typename Record>
struct AttributeCase {
    const char* attribute;
    Stored stored;
    std::function<std::string(const Record&)> field;  // the field as text
};

template <typename Record, typename Field>
std::function<std::string(const Record&)> field_of(Field Record::*member) {
    return [member](const Record& record) {
        if constexpr (std::is_same_v<Field, std::string>) return record.*member;
        else return std::to_string(static_cast<long long>(record.*member));
    };
}

// The text written for a case. 100000 keeps its low 16 bits as -31072 and its
// low 8 bits as -96; an unsigned or wider field reads otherwise.
inline std::string attribute_case_input(const char* attribute, Stored stored) {
    switch (stored) {
        case Stored::text: return std::string(attribute) + " text";
        case Stored::flag: return "yes";
        default: return "100000";
    }
}

inline std::string attribute_case_expected(const char* attribute, Stored stored) {
    switch (stored) {
        case Stored::text: return attribute_case_input(attribute, stored);
        case Stored::flag: return "1";
        case Stored::int8: return "-96";
        default: return "-31072";
    }
}

// Each case on its own: load(element) reads a file that holds only the element
// <tag id="1" attribute="input"/> and returns the record of id 1, whose field
// must then hold the expected text. A fatal error fails the case; the next one runs.
template <typename Record>
void check_attribute_cases(const std::vector<AttributeCase<Record>>& cases, const std::string& tag,
                           const std::function<const Record&(const std::string& element)>& load) {
    for (const AttributeCase<Record>& c : cases) {
        const std::string element =
            "<" + tag + " id=\"1\" " + c.attribute + "=\"" + attribute_case_input(c.attribute, c.stored) + "\"/>";
        try {
            EXPECT_EQ(c.field(load(element)), attribute_case_expected(c.attribute, c.stored)) << c.attribute;
        } catch (const FatalError& error) {
            ADD_FAILURE() << c.attribute << ": " << error.what();
        }
    }
}
