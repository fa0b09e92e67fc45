// The preferences' entries of the options screen: the sound, the commands'
// keys and the gamepad's commands survive a save and a read; a file without
// them (the shipped one, an old one) reads exactly as before, and a file
// written without changes is the file as it always was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/preferences.h"
#include "platform/gamepad.h"
#include "platform/media.h"
#include "support/test_game.h"

namespace {

const std::string kFile = "config\\preferences.xml";

std::string file_text(const TempGameFolder& folder) {
    std::ifstream in(folder.path() + "/config/preferences.xml", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Everything the options screen changes, at its defaults.
void expect_defaults_in_force() {
    for (const CommandInfo& info : command_table()) EXPECT_EQ(command_keys(info.command), info.default_keys) << info.name;
    EXPECT_EQ(gamepad_mapping().keys, default_gamepad_mapping().keys);
    EXPECT_EQ(sound_master_volume(), 100);
}

class PreferencesOptions : public ::testing::Test {
protected:
    void TearDown() override {
        reset_command_keys();
        reset_gamepad_commands();
        apply_preferences(Preferences{});
    }
    TempGameFolder folder;
};

}  // namespace

TEST_F(PreferencesOptions, TheShippedFileAndAnOldOneReadAsBeforeAndWriteBackUnchanged) {
    folder.copy_shipped("config");
    const std::string shipped = file_text(folder);
    // Changes of an earlier session do not carry into a read of a file without entries.
    ASSERT_TRUE(bind_command(Command::wait, {{key::space, false}}));
    set_gamepad_command(PadControl::a, Command::wait);
    sound_set_master_volume(10);
    Preferences preferences;
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.language, "English");
    EXPECT_EQ(preferences.sound_volume, 100);
    EXPECT_EQ(preferences.sound_mute, 0);
    expect_defaults_in_force();
    save_preferences(preferences, kFile);
    EXPECT_EQ(file_text(folder), shipped);

    // An old file: a few attributes and children of other names, which stay skipped.
    folder.write(kFile, "<prefs fullscreen=\"yes\" language=\"German\"><keys wait=\"30\"/><anything/></prefs>");
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.fullscreen, 1);
    EXPECT_EQ(preferences.language, "German");
    EXPECT_EQ(preferences.fade_effect, 1);
    expect_defaults_in_force();
    // An attribute volume is unknown as it always was; the sound's is sound_volume.
    folder.write(kFile, "<Umbrane_Preferences volume=\"3\"/>");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"volume\" in preferences xml file \"config\\preferences.xml\"");
}

TEST_F(PreferencesOptions, SoundKeysAndGamepadSurviveASaveAndARead) {
    Preferences preferences;
    preferences.sound_volume = 30;
    preferences.sound_mute = 1;
    preferences.window_scale = 2;
    // Wait and rest swapped (one change: neither alone could take the other's key),
    // quit on Alt+Q besides, the gamepad's X waits and its B serves nothing.
    ASSERT_TRUE(bind_commands({{Command::wait, {{key::r, false}}},
                               {Command::rest, {{key::e, false}}},
                               {Command::quit, {{key::x, true}, {16, true}}}}));
    set_gamepad_command(PadControl::x, Command::wait);
    set_gamepad_command(PadControl::b, Command::none);
    save_preferences(preferences, kFile);
    const std::string text = file_text(folder);
    EXPECT_NE(text.find("sound_volume=\"30\" sound_mute=\"yes\""), std::string::npos) << text;
    EXPECT_NE(text.find("<key_binding command=\"quit\" keys=\"alt+45 alt+16\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("<gamepad_button control=\"b\" command=\"\"/>"), std::string::npos) << text;
    EXPECT_EQ(text.find("command=\"move up\""), std::string::npos) << "only what differs is written";

    reset_command_keys();
    reset_gamepad_commands();
    Preferences read;
    load_preferences(read, kFile);
    EXPECT_EQ(read.sound_volume, 30);
    EXPECT_EQ(read.sound_mute, 1);
    EXPECT_EQ(read.window_scale, 2);
    EXPECT_EQ(sound_master_volume(), 0);  // muted
    EXPECT_EQ(command_keys(Command::wait), (std::vector<KeyChord>{{key::r, false}}));
    EXPECT_EQ(command_keys(Command::rest), (std::vector<KeyChord>{{key::e, false}}));
    EXPECT_EQ(command_key_names(Command::quit), "Alt+X / Alt+Q");
    EXPECT_EQ(gamepad_command(PadControl::x), Command::wait);
    EXPECT_EQ(gamepad_command(PadControl::b), Command::none);
    // The gamepad acts as the first key of each command: X as R (wait now), B as nothing.
    EXPECT_EQ(gamepad_mapping()[PadControl::x], key::r);
    EXPECT_EQ(gamepad_mapping()[PadControl::b], 0);
    // Written again, the same file.
    save_preferences(read, kFile);
    EXPECT_EQ(file_text(folder), text);

    // A volume beyond 0..100 in the file is the nearer end.
    folder.write(kFile, "<Umbrane_Preferences sound_volume=\"250\"/>");
    load_preferences(read, kFile);
    EXPECT_EQ(read.sound_volume, 100);
    folder.write(kFile, "<Umbrane_Preferences sound_volume=\"-5\"/>");
    load_preferences(read, kFile);
    EXPECT_EQ(read.sound_volume, 0);

    // Unmuted at half volume.
    read.sound_mute = 0;
    read.sound_volume = 50;
    apply_preferences(read);
    EXPECT_EQ(sound_master_volume(), 50);
}

TEST_F(PreferencesOptions, EntriesThatDoNotFitAreSkippedAndUnknownAttributesAreFatal) {
    const struct {
        const char* children;
        Command command;
        std::vector<KeyChord> keys;  // the command's keys after the read
    } cases[] = {
        // A command of a later version, keys that do not read: skipped, the others taken.
        {"<key_binding command=\"dance\" keys=\"30\"/><key_binding command=\"wait\" keys=\"31\"/>", Command::wait,
         {{31, false}}},
        {"<key_binding command=\"wait\" keys=\"E 256 alt+\"/>", Command::wait, {{key::e, false}}},
        // No key at all: the command has none.
        {"<key_binding command=\"look\" keys=\"\"/>", Command::look, {}},
        // A key given to two commands of one context: every command keeps its defaults.
        {"<key_binding command=\"rest\" keys=\"31\"/><key_binding command=\"wait\" keys=\"31\"/>", Command::rest,
         {{key::r, false}}},
        // The same key in the other context is free.
        {"<key_binding command=\"wait\" keys=\"57\"/>", Command::wait, {{key::space, false}}},
    };
    Preferences preferences;
    for (const auto& c : cases) {
        folder.write(kFile, std::string("<Umbrane_Preferences>") + c.children + "</Umbrane_Preferences>");
        load_preferences(preferences, kFile);
        EXPECT_EQ(command_keys(c.command), c.keys) << c.children;
    }
    folder.write(kFile, "<p><key_binding command=\"wait\" key=\"30\"/></p>");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"key\" in key_binding tag in preferences xml file "
                 "\"config\\preferences.xml\"");
}
