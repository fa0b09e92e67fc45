#include "common/message_list.h"

#include "common/common_state.h"
#include "common/player_language.h"
#include "common/raise_error.h"
#include "common/version_field.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

struct MessagesRoot {};
const XmlField<MessagesRoot> kRootFields[] = {version_field<MessagesRoot>()};

struct MessageElement {
    long long id = 0;  // a message without id counts as id 0
};
const XmlField<MessageElement> kMessageFields[] = {{"id", &MessageElement::id}};

[[noreturn]] void unknown_tag(const std::string& name, const std::string& file_name) {
    raise_error("load_message_list(): unknown tag " + quoted(name) + " in messages xml file " + quoted(file_name));
}

auto unknown_attribute(const std::string& where, const std::string& file_name) {
    return [&where, &file_name](const std::string& name) {
        raise_error("load_message_list(): unknown attribute " + quoted(name) + where + "messages xml file " +
                    quoted(file_name));
    };
}

void read_message(const XmlElement& message, const std::string& file_name) {
    MessageElement element;
    read_fields<MessageElement>(kMessageFields, element, message, file_name,
                                unknown_attribute(" in message tag in ", file_name));
    if (!valid_message_id(element.id))
        raise_error("load_message_list(): wrong id " + quoted(int_to_text(element.id)) +
                    " in message tag in messages xml file " + quoted(file_name));

    for (const XmlElement& text : children_of(message)) {
        if (text.name != "text") unknown_tag(text.name, file_name);
        read_language_text(text, g_common.messages[element.id], unknown_attribute(" in text tag in ", file_name));
    }
}

}  // namespace

std::string missing_message_placeholder(int id) { return "??? missing message ID " + int_to_text(id) + " ???"; }

void load_message_list(const std::string& file_name) {
    for (std::string& text : g_common.messages) text.clear();
    for (int id = 0; id < MESSAGE_TABLE_SIZE; ++id)
        if (valid_message_id(id)) g_common.messages[id] = missing_message_placeholder(id);

    XmlDocument document;
    if (!document.load(file_name))
        raise_error("load_message_list(): could not open message xml file: " + quoted(file_name));
    if (document.status() != 0 || !document.root())
        raise_error("load_message_list(): error in xml structure of message file: " + document.error_text());

    const XmlElement& root = *document.root();
    MessagesRoot ignored;
    read_fields<MessagesRoot>(kRootFields, ignored, root, file_name, unknown_attribute(" in ", file_name));

    for (const XmlElement& message : children_of(root)) {
        if (message.name != "message") unknown_tag(message.name, file_name);
        read_message(message, file_name);
    }
}

const XmlFileFormat& messages_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "messages";
        f.title = "The message texts";
        f.files = "data\\messages.xml";
        f.about =
            "Every fixed text the game shows, by id: ids 1..53 and the ids of the texts added since (100..499, 600..639). "
            "The text in the language of the preferences is used; a missing one shows as \"??? missing message "
            "ID n ???\". Bracketed words such as [value] are filled in by the game.";
        f.elements = {
            {.name = "Umbrane_Messages",
             .about = "The messages (the game does not test the root element's name).",
             .attributes = describe_fields<MessagesRoot>(kRootFields, false),
             .children = {"message"}},
            {.name = "message",
             .about = "One message; its id is 1..53, 100..499 or 600..639.",
             .attributes = describe_fields<MessageElement>(kMessageFields, false),
             .children = {"text"}},
            language_text_format("text", "The message in one language (a later text of the same language wins)."),
        };
        return f;
    }();
    return format;
}
