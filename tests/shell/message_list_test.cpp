#include <cctype>
#include <map>
#include <set>

#include "platform/strings.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "shell/shell_fixtures.h"
#include "common/common_state.h"
#include "common/message_ids.h"

namespace {

const std::string kFile = "data\\messages.xml";

void write_messages(const TempGameFolder& folder, const std::string& body,
                    const std::string& root_attributes = "Umbrane_version=\"0.1.0\"") {
    folder.write(kFile, "<?xml version=\"1.0\"?>\n<messages " + root_attributes + ">\n" + body + "</messages>\n");
}

std::string placeholder(int id) { return "??? missing message ID " + int_to_text(id) + " ???"; }

}  // namespace

TEST(MessageList, UnknownLanguageLeavesEveryPlaceholder) {
    TempGameFolder folder;
    g_common.preferences.language = "Klingon";
    write_messages(folder,
                   "<message id=\"1\"><text language=\"English\">Character</text></message>\n"
                   "<message id=\"53\"><text language=\"German\">Widersteht</text></message>\n");
    load_message_list(kFile);
    for (int id = 1; id <= 53; ++id) EXPECT_EQ(g_common.messages[id], placeholder(id));
    EXPECT_EQ(g_common.messages[7], "??? missing message ID 7 ???");
    EXPECT_EQ(g_common.messages[0], "");
    EXPECT_EQ(g_common.messages[54], "");
    EXPECT_EQ(g_common.messages[55], "");
    EXPECT_EQ(g_common.messages[99], "");
    EXPECT_EQ(g_common.messages[100], placeholder(100));
    EXPECT_EQ(g_common.messages[499], placeholder(499));
    EXPECT_EQ(g_common.messages[639], placeholder(639));
    EXPECT_EQ(message_text(640), "");
    EXPECT_EQ(message_text(-1), "");
}

TEST(MessageList, ChosenLanguageWinsAndLaterTextReplacesEarlier) {
    TempGameFolder folder;
    write_messages(folder,
                   "<message id=\"29\">"
                   "<text language=\"English\">New game</text>"
                   "<text language=\"German\">Neues Spiel</text>"
                   "</message>\n"
                   "<message id=\"30\">"
                   "<text language=\"English\">Go on</text>"
                   "<text language=\"English\">Continue</text>"
                   "<text language=\"english\">lower case is another language</text>"
                   "<text>no language: skipped</text>"
                   "</message>\n"
                   "<message id=\"28\"><text language=\"English\">You enter [dungeon_name], level "
                   "[dungeon_level].</text></message>\n"
                   "<message id=\"31\"><text language=\"English\">  spaced &amp; escaped  </text></message>\n"
                   "<message id=\"30\"><text language=\"German\">Weiter</text></message>\n");

    g_common.preferences.language = "English";
    load_message_list(kFile);
    EXPECT_EQ(g_common.messages[29], "New game");
    EXPECT_EQ(g_common.messages[30], "Continue");
    // The list does no replacement of its own.
    EXPECT_EQ(g_common.messages[28], "You enter [dungeon_name], level [dungeon_level].");
    EXPECT_EQ(g_common.messages[31], "  spaced & escaped  ");
    EXPECT_EQ(g_common.messages[1], placeholder(1));

    g_common.preferences.language = "German";
    load_message_list(kFile);
    EXPECT_EQ(g_common.messages[29], "Neues Spiel");
    // A later message element with the same id only replaces for its own language.
    EXPECT_EQ(g_common.messages[30], "Weiter");
    // Texts of the earlier load do not survive a new load.
    EXPECT_EQ(g_common.messages[28], placeholder(28));
    EXPECT_EQ(g_common.messages[31], placeholder(31));
}

TEST(MessageList, IdsOutsideOneToFiftyThreeAreFatal) {
    TempGameFolder folder;
    const std::string tail = "\" in message tag in messages xml file \"data\\messages.xml\"";
    write_messages(folder, "<message id=\"54\"><text language=\"English\">x</text></message>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"54" + tail);
    write_messages(folder, "<message id=\"0\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"0" + tail);
    write_messages(folder, "<message><text language=\"English\">x</text></message>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"0" + tail);
    write_messages(folder, "<message id=\"-3\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"-3" + tail);
    write_messages(folder, "<message id=\"first\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"0" + tail);
    // The added texts have ids 100..639; the gap between stays wrong.
    write_messages(folder, "<message id=\"99\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"99" + tail);
    write_messages(folder, "<message id=\"640\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): wrong id \"640" + tail);

    // The edges themselves are valid.
    write_messages(folder,
                   "<message id=\"1\"><text language=\"English\">one</text></message>"
                   "<message id=\"53\"><text language=\"English\">last</text></message>"
                   "<message id=\"100\"><text language=\"English\">added</text></message>"
                   "<message id=\"639\"><text language=\"English\">end</text></message>\n");
    load_message_list(kFile);
    EXPECT_EQ(g_common.messages[1], "one");
    EXPECT_EQ(g_common.messages[53], "last");
    EXPECT_EQ(g_common.messages[100], "added");
    EXPECT_EQ(g_common.messages[639], "end");
}

TEST(MessageList, UnknownTagsAndAttributesAreFatal) {
    TempGameFolder folder;
    const std::string file = "\"data\\messages.xml\"";

    write_messages(folder, "", "Umbrane_version=\"0.1.0\" author=\"me\"");
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): unknown attribute \"author\" in messages xml file " + file);

    write_messages(folder, "<msg id=\"1\"/>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): unknown tag \"msg\" in messages xml file " + file);

    write_messages(folder, "<message id=\"1\"><txt language=\"English\">x</txt></message>\n");
    EXPECT_FATAL(load_message_list(kFile), "load_message_list(): unknown tag \"txt\" in messages xml file " + file);

    write_messages(folder, "<message id=\"1\" name=\"title\"/>\n");
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): unknown attribute \"name\" in message tag in messages xml file " + file);

    write_messages(folder, "<message id=\"1\"><text language=\"English\" lang=\"en\">x</text></message>\n");
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): unknown attribute \"lang\" in text tag in messages xml file " + file);

    // A wrong id is found after all attributes of the message tag were read.
    write_messages(folder, "<message id=\"60\" colour=\"red\"/>\n");
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): unknown attribute \"colour\" in message tag in messages xml file " + file);
}

TEST(MessageList, FileFailuresAreFatal) {
    TempGameFolder folder;
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): could not open message xml file: \"data\\messages.xml\"");
    // The placeholders are in place before the file is opened.
    EXPECT_EQ(g_common.messages[12], placeholder(12));

    folder.write(kFile, "<messages>\n<message id=\"1\">\n</messages>\n");
    EXPECT_FATAL(load_message_list(kFile),
                 "load_message_list(): error in xml structure of message file: mismatched tag at line 3");
}

namespace {

// The bracketed words each caller fills in its message.
const std::map<int, std::set<std::string>>& placeholders_by_id() {
    static const std::map<int, std::set<std::string>> table = {
        {20, {"[limit]", "[item_class]"}}, {28, {"[dungeon_name]", "[dungeon_level]"}},
        {45, {"[damage]"}},                {46, {"[attribute_name]"}},
        {48, {"[cooldown]"}},              {49, {"[cooldown]"}},
        {50, {"[value]"}},
    };
    return table;
}

std::set<std::string> bracketed_words(const std::string& text) {
    std::set<std::string> words;
    for (size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
        size_t close = text.find(']', open);
        if (close == std::string::npos) break;
        words.insert(text.substr(open, close - open + 1));
    }
    return words;
}

}  // namespace

TEST(MessageList, ShippedMessagesAreCompleteInEveryLanguage) {
    TempGameFolder folder;
    folder.copy_shipped("config");
    folder.copy_shipped("data");
    load_preferences(g_common.preferences, "config\\preferences.xml");
    std::map<int, std::set<std::string>> english_words;
    for (const char* language : {"English", "German"}) {
        SCOPED_TRACE(language);
        g_common.preferences.language = language;
        load_message_list(kFile);
        std::vector<int> ids;
        for (int id = 1; id <= 53; ++id) ids.push_back(id);
        for (int id : added_message_ids()) ids.push_back(id);
        for (int id : ids) {
            const std::string& text = g_common.messages[id];
            EXPECT_NE(text, placeholder(id)) << "message " << id;
            EXPECT_FALSE(text.empty()) << "message " << id;
            EXPECT_FALSE(!text.empty() && (isspace(static_cast<unsigned char>(text.front())) ||
                                           isspace(static_cast<unsigned char>(text.back()))))
                << "message " << id << " has surrounding blanks";
            if (id > MESSAGE_ID_LAST) {
                // An added text fills the same placeholders in every language.
                auto english = english_words.emplace(id, bracketed_words(text)).first;
                EXPECT_EQ(bracketed_words(text), english->second) << "message " << id << ": " << text;
                continue;
            }
            auto expected = placeholders_by_id().find(id);
            std::set<std::string> wanted =
                expected == placeholders_by_id().end() ? std::set<std::string>{} : expected->second;
            EXPECT_EQ(bracketed_words(text), wanted) << "message " << id << ": " << text;
        }
        // The main menu tells its entries apart by their texts.
        EXPECT_NE(g_common.messages[29], g_common.messages[30]);
        EXPECT_NE(g_common.messages[29], g_common.messages[31]);
        EXPECT_NE(g_common.messages[30], g_common.messages[31]);
    }
}
