// The README's paragraph of keys agrees with the table of commands: every key
// of a command of the game (and H of the menu) is named there, and every key
// named there serves some command.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "common/commands.h"
#include "support/build_paths.h"

namespace {

// From "Keys:" to the first empty line.
std::string keys_paragraph() {
    std::ifstream in(std::string(UMBRANE_SOURCE_DIR) + "/README.md");
    std::string line, paragraph;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind("Keys:", 0) == 0) inside = true;
        if (inside && line.empty()) break;
        if (inside) paragraph += line + " ";
    }
    return paragraph;
}

// The words that name keys: a capital letter or digit alone, F1..F12, an Alt
// chord, and "?", "<", ">" standing alone.
std::set<std::string> named_keys(const std::string& paragraph) {
    std::set<std::string> names;
    static const std::regex key_word(R"((?:^|[\s(])((?:Alt\+)?(?:[A-Z0-9]|F[0-9]{1,2}|Return|Escape|Space)|\?|<|>)(?=[\s,;.)]))");
    for (auto it = std::sregex_iterator(paragraph.begin(), paragraph.end(), key_word); it != std::sregex_iterator();
         ++it)
        names.insert((*it)[1]);
    return names;
}

}  // namespace

TEST(ReadmeKeys, TheParagraphOfKeysAndTheTableOfCommandsAgree) {
    reset_command_keys();
    const std::string paragraph = keys_paragraph();
    ASSERT_FALSE(paragraph.empty());
    const std::set<std::string> named = named_keys(paragraph);
    std::set<std::string> served;
    for (const CommandInfo& info : command_table())
        for (const KeyChord& chord : info.default_keys) served.insert(key_name(chord));
    // Every key of the game's commands, and H of the menu; walking is "the arrow keys".
    for (const CommandInfo& info : command_table()) {
        if (info.context == CommandContext::screen && info.command != Command::hall_of_fame) continue;
        if (info.command >= Command::walk_up && info.command <= Command::walk_right) continue;
        for (const KeyChord& chord : info.default_keys) {
            const std::string name = key_name(chord);
            // "?" has two keys (US and German), and "<" two ("," and the 102nd key): named once.
            EXPECT_TRUE(named.count(name)) << info.name << ": " << name << " is not in the README's keys";
        }
    }
    EXPECT_NE(paragraph.find("the arrow keys walk"), std::string::npos);
    for (const std::string& name : named) EXPECT_TRUE(served.count(name)) << name << " serves no command";
}
