#include "shell/message_list.h"

#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace {


[[noreturn]] void unknown_tag(const std::string& name, const std::string& file_name) {
    raise_error("load_message_list(): unknown tag " + quoted(name) + " in messages xml file " + quoted(file_name));
}

[[noreturn]] void unknown_attribute(const std::string& name, const std::string& where, const std::string& file_name) {
    raise_error("load_message_list(): unknown attribute " + quoted(name) + where + "messages xml file " +
                quoted(file_name));
}

void read_message(const XmlElement& message, const std::string& file_name) {
    long long id = 0;
    for (const auto& [name, value] : message.attributes) {
        if (name == "id") id = text_to_int(value);
        else unknown_attribute(name, " in message tag in ", file_name);
    }
    if (id < MESSAGE_ID_FIRST || id > MESSAGE_ID_LAST)
        raise_error("load_message_list(): wrong id " + quoted(int_to_text(id)) +
                    " in message tag in messages xml file " + quoted(file_name));

    for (XmlElement* text = message.first_child(); text; text = text->next_sibling()) {
        if (text->name != "text") unknown_tag(text->name, file_name);
        for (const auto& [name, value] : text->attributes) {
            if (name == "language") {
                if (value == g_common.preferences.language) g_common.messages[id] = text->text;
            } else {
                unknown_attribute(name, " in text tag in ", file_name);
            }
        }
    }
}

}  // namespace

std::string missing_message_placeholder(int id) { return "??? missing message ID " + int_to_text(id) + " ???"; }

void load_message_list(const std::string& file_name) {
    for (std::string& text : g_common.messages) text.clear();
    for (int id = MESSAGE_ID_FIRST; id <= MESSAGE_ID_LAST; ++id) g_common.messages[id] = missing_message_placeholder(id);

    XmlDocument document;
    if (!document.load(file_name))
        raise_error("load_message_list(): could not open message xml file: " + quoted(file_name));
    if (document.status() != 0 || !document.root())
        raise_error("load_message_list(): error in xml structure of message file: " + document.error_text());

    const XmlElement& root = *document.root();
    for (const auto& attribute : root.attributes)
        if (attribute.first != "Umbrane_version") unknown_attribute(attribute.first, " in ", file_name);

    for (XmlElement* message = root.first_child(); message; message = message->next_sibling()) {
        if (message->name != "message") unknown_tag(message->name, file_name);
        read_message(*message, file_name);
    }
}
