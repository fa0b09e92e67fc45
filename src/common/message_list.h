// The message list: every fixed text the game shows, by id, in the language
// chosen in the preferences ("data\messages.xml").
#pragma once
#include <string>

#include "platform/xml_format.h"

// "??? missing message ID " + id + " ???"
std::string missing_message_placeholder(int id);
// Fills the message table from the file; ids without a text in the chosen
// language keep their placeholder.
void load_message_list(const std::string& file_name);

// The messages file's elements and attributes, from the reader's tables.
const XmlFileFormat& messages_file_format();
