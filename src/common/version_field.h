// The attribute "Umbrane_version" that every saved file carries: readers
// accept and ignore it, writers put the game's version.
#pragma once

#include "common/common_state.h"
#include "platform/xml_fields.h"

template <typename Record>
constexpr XmlField<Record> version_field() {
    return {.name = "Umbrane_version",
            .kind = FieldKind::text,
            .written = [](const Record&) { return g_common.version; }};
}
