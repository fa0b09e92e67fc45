// The reference of every file format the game reads and writes, made from
// the descriptions the readers give of their files (so from the very tables
// they read and write them with): a Markdown text (umbrane --formats, kept as
// docs/formats.md) and an XML Schema per file (umbrane --schema NAME, kept as
// docs/schema/NAME.xsd) that an XML editor checks a file with as it is typed.
#pragma once
#include <string>
#include <vector>

#include "platform/xml_format.h"

// Every file format, in the order the game reads them at start-up.
const std::vector<const XmlFileFormat*>& file_formats();
// The format of that short name ("map", "items", ...), or nullptr.
const XmlFileFormat* find_file_format(const std::string& name);

// The whole reference as Markdown.
std::string formats_reference();
// The XML Schema of one format.
std::string format_schema(const XmlFileFormat& format);
