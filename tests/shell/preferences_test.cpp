#include <filesystem>

#include "platform/files.h"
#include "platform/xml.h"
#include "common/preferences.h"
#include "shell/shell_fixtures.h"
#include "common/common_state.h"

namespace {

const std::string kFile = "config\\preferences.xml";

Preferences loaded(const TempGameFolder& folder, const std::string& attributes) {
    write_preferences(folder, attributes);
    Preferences preferences;
    preferences.fade_effect = 0;  // whatever the record held is replaced by the defaults
    preferences.message_delay = 77;
    preferences.language = "Klingon";
    load_preferences(preferences, kFile);
    return preferences;
}

}  // namespace

TEST(Preferences, DefaultsFlagsAndValues) {
    TempGameFolder folder;
    Preferences preferences = loaded(folder, "fullscreen=\"yes\"");
    EXPECT_EQ(preferences.fullscreen, 1);
    EXPECT_EQ(preferences.fade_effect, 1);
    EXPECT_EQ(preferences.DDD_effects, 0);
    EXPECT_EQ(preferences.message_delay, 0);
    EXPECT_EQ(preferences.language, "English");

    // Only "yes" in lower case switches a flag on.
    preferences = loaded(folder, "fullscreen=\"YES\" fade_effect=\"no\" DDD_effects=\"yes\" message_delay=\"-40\" "
                                 "language=\"German\"");
    EXPECT_EQ(preferences.fullscreen, 0);
    EXPECT_EQ(preferences.fade_effect, 0);
    EXPECT_EQ(preferences.DDD_effects, 1);
    EXPECT_EQ(preferences.message_delay, -40);
    EXPECT_EQ(preferences.language, "German");

    preferences = loaded(folder, "fade_effect=\"1\" message_delay=\"soon\"");
    EXPECT_EQ(preferences.fade_effect, 0);
    EXPECT_EQ(preferences.message_delay, 0);

    // The root's name is not tested and child elements are ignored.
    folder.write(kFile, "<settings language=\"German\"><anything volume=\"3\"/></settings>");
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.language, "German");
}

TEST(Preferences, KeyBindingsAreBuiltIn) {
    TempGameFolder folder;
    for (KeyBinding& binding : g_common.key_bindings) binding = {"junk", 99};
    loaded(folder, "");
    const std::pair<const char*, int> expected[KEY_BINDING_COUNT] = {
        {"test", 20}, {"", 0}, {"escape", 1}, {"move up", 200}, {"move down", 208}, {"move left", 203},
        {"move right", 205}, {"", 0}, {"", 0}, {"", 0}, {"", 0}};
    for (int entry = 0; entry < KEY_BINDING_COUNT; ++entry) {
        EXPECT_EQ(g_common.key_bindings[entry].name, expected[entry].first) << "entry " << entry;
        EXPECT_EQ(g_common.key_bindings[entry].code, expected[entry].second) << "entry " << entry;
    }
}

TEST(Preferences, ReadingFailuresAreFatal) {
    TempGameFolder folder;
    Preferences preferences;
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): could not open preferences xml file: \"config\\preferences.xml\"");
    folder.write(kFile, "<Umbrane_Preferences fullscreen=\"no\">\n</settings>\n");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): error in xml structure of map file: mismatched tag at line 2");
    write_preferences(folder, "fullscreen=\"no\" volume=\"80\" language=\"English\"");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"volume\" in preferences xml file "
                 "\"config\\preferences.xml\"");
    write_preferences(folder, "Fullscreen=\"no\"");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"Fullscreen\" in preferences xml file "
                 "\"config\\preferences.xml\"");
}

TEST(Preferences, SavedInOrderAndReadBackUnchanged) {
    TempGameFolder folder;
    Preferences written;
    written.fullscreen = 1;
    written.message_delay = 123456;
    written.DDD_effects = 1;
    written.fade_effect = 0;
    written.language = "Deutsch & \"mehr\"";
    save_preferences(written, kFile);

    XmlDocument document;
    ASSERT_TRUE(document.load(kFile));
    EXPECT_EQ(document.root()->name, "Umbrane_Preferences");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Umbrane_version", "0.1.0"}, {"fullscreen", "yes"}, {"message_delay", "123456"},
        {"DDD_effects", "yes"},       {"fade_effect", "no"}, {"language", "Deutsch & \"mehr\""}};
    EXPECT_EQ(document.root()->attributes, expected);

    Preferences read;
    load_preferences(read, kFile);
    EXPECT_EQ(read.fullscreen, 1);
    EXPECT_EQ(read.message_delay, 123456);
    EXPECT_EQ(read.DDD_effects, 1);
    EXPECT_EQ(read.fade_effect, 0);
    EXPECT_EQ(read.language, written.language);

    // A folder in the place of the file cannot be replaced by the file.
    std::filesystem::remove(host_path(kFile));
    std::filesystem::create_directories(host_path(kFile) + "/blocked");
    EXPECT_FATAL(save_preferences(written, kFile),
                 "save_preferences: could not save data into preferences xml file: \"config\\preferences.xml\"");
}

TEST(Preferences, ShippedFileIsWindowedWithFadeInEnglish) {
    TempGameFolder folder;
    folder.copy_shipped("config");
    Preferences preferences;
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.fullscreen, 0);
    EXPECT_EQ(preferences.fade_effect, 1);
    EXPECT_EQ(preferences.language, "English");
}
