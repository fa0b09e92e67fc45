#include <filesystem>

#include "platform/files.h"
#include "platform/xml.h"
#include "shell/preferences.h"
#include "shell/shell_fixtures.h"

namespace {

const std::string kFile = "config\\preferences.xml";

Preferences loaded(const TempGameFolder& folder, const std::string& attributes) {
    write_preferences(folder, attributes);
    Preferences preferences;
    load_preferences(preferences, kFile);
    return preferences;
}

}  // namespace

TEST(Preferences, OnlyFullscreenGivesDefaultsForTheRest) {
    TempGameFolder folder;
    Preferences preferences = loaded(folder, "fullscreen=\"yes\"");
    EXPECT_EQ(preferences.fullscreen, 1);
    EXPECT_EQ(preferences.fade_effect, 1);
    EXPECT_EQ(preferences.DDD_effects, 0);
    EXPECT_EQ(preferences.message_delay, 0);
    EXPECT_EQ(preferences.language, "English");
}

TEST(Preferences, DefaultsReplaceWhateverTheRecordHeldBefore) {
    TempGameFolder folder;
    write_preferences(folder, "Umbrane_version=\"0.1.0\"");
    Preferences preferences;
    preferences.fullscreen = 1;
    preferences.fade_effect = 0;
    preferences.DDD_effects = 1;
    preferences.message_delay = 77;
    preferences.language = "German";
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.fullscreen, 0);
    EXPECT_EQ(preferences.fade_effect, 1);
    EXPECT_EQ(preferences.DDD_effects, 0);
    EXPECT_EQ(preferences.message_delay, 0);
    EXPECT_EQ(preferences.language, "English");
}

TEST(Preferences, FlagsAreOnOnlyForLowerCaseYes) {
    TempGameFolder folder;
    Preferences preferences = loaded(folder, "fullscreen=\"YES\" fade_effect=\"no\" DDD_effects=\"yes\"");
    EXPECT_EQ(preferences.fullscreen, 0);
    EXPECT_EQ(preferences.fade_effect, 0);
    EXPECT_EQ(preferences.DDD_effects, 1);

    preferences = loaded(folder, "fullscreen=\"Yes\" fade_effect=\"1\" DDD_effects=\"true\"");
    EXPECT_EQ(preferences.fullscreen, 0);
    EXPECT_EQ(preferences.fade_effect, 0);
    EXPECT_EQ(preferences.DDD_effects, 0);

    preferences = loaded(folder, "fade_effect=\"yes\" fullscreen=\"yes\"");
    EXPECT_EQ(preferences.fullscreen, 1);
    EXPECT_EQ(preferences.fade_effect, 1);
}

TEST(Preferences, MessageDelayAndLanguageAreReadAsWritten) {
    TempGameFolder folder;
    Preferences preferences = loaded(folder, "message_delay=\"1500\" language=\"German\"");
    EXPECT_EQ(preferences.message_delay, 1500);
    EXPECT_EQ(preferences.language, "German");

    preferences = loaded(folder, "message_delay=\"soon\" language=\"\"");
    EXPECT_EQ(preferences.message_delay, 0);
    EXPECT_EQ(preferences.language, "");

    preferences = loaded(folder, "message_delay=\"-40\" language=\"english\"");
    EXPECT_EQ(preferences.message_delay, -40);
    EXPECT_EQ(preferences.language, "english");
}

TEST(Preferences, RootNameAndChildElementsAreNotTested) {
    TempGameFolder folder;
    folder.write(kFile,
                 "<settings fullscreen=\"yes\" language=\"German\">"
                 "<anything volume=\"3\"/><more/></settings>");
    Preferences preferences;
    load_preferences(preferences, kFile);
    EXPECT_EQ(preferences.fullscreen, 1);
    EXPECT_EQ(preferences.language, "German");
}

TEST(Preferences, KeyBindingsAreBuiltIn) {
    TempGameFolder folder;
    write_preferences(folder, "");
    // Whatever the table held before, loading the preferences sets the built-in bindings.
    for (KeyBinding& binding : g_shell.key_bindings) binding = {"junk", 99};
    Preferences preferences;
    load_preferences(preferences, kFile);

    const std::pair<const char*, int> expected[KEY_BINDING_COUNT] = {
        {"test", 20},      {"", 0},          {"escape", 1}, {"move up", 200}, {"move down", 208}, {"move left", 203},
        {"move right", 205}, {"", 0}, {"", 0}, {"", 0},    {"", 0}};
    for (int entry = 0; entry < KEY_BINDING_COUNT; ++entry) {
        EXPECT_EQ(g_shell.key_bindings[entry].name, expected[entry].first) << "entry " << entry;
        EXPECT_EQ(g_shell.key_bindings[entry].code, expected[entry].second) << "entry " << entry;
    }
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_MOVE_UP].code, 200);
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_MOVE_DOWN].code, 208);
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_MOVE_LEFT].code, 203);
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_MOVE_RIGHT].code, 205);
}

TEST(Preferences, ReadingFailuresAreFatal) {
    TempGameFolder folder;
    Preferences preferences;
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): could not open preferences xml file: \"config\\preferences.xml\"");
    // The key bindings are set before the file is even opened.
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_ESCAPE].name, "escape");

    folder.write(kFile, "<Umbrane_Preferences fullscreen=\"no\">\n</settings>\n");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): error in xml structure of map file: mismatched tag at line 2");

    folder.write(kFile, "");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): error in xml structure of map file: no element found at line 1");

    write_preferences(folder, "fullscreen=\"no\" volume=\"80\" language=\"English\"");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"volume\" in preferences xml file "
                 "\"config\\preferences.xml\"");

    // Names are compared exactly.
    write_preferences(folder, "Fullscreen=\"no\"");
    EXPECT_FATAL(load_preferences(preferences, kFile),
                 "load_preferences(): unknown attribute \"Fullscreen\" in preferences xml file "
                 "\"config\\preferences.xml\"");
}

TEST(Preferences, SavedFileHasTheRootAndTheAttributesInOrder) {
    TempGameFolder folder;
    Preferences preferences;
    preferences.fullscreen = 1;
    preferences.message_delay = 250;
    preferences.DDD_effects = 0;
    preferences.fade_effect = 0;
    preferences.language = "Deutsch & \"mehr\"";
    save_preferences(preferences, kFile);

    XmlDocument document;
    ASSERT_TRUE(document.load(kFile));
    ASSERT_EQ(document.status(), 0);
    EXPECT_EQ(document.root()->name, "Umbrane_Preferences");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Umbrane_version", "0.1.0"}, {"fullscreen", "yes"}, {"message_delay", "250"},
        {"DDD_effects", "no"},        {"fade_effect", "no"}, {"language", "Deutsch & \"mehr\""}};
    EXPECT_EQ(document.root()->attributes, expected);
}

TEST(Preferences, SavingAndReadingAgainKeepsEveryField) {
    TempGameFolder folder;
    for (int variant = 0; variant < 2; ++variant) {
        Preferences written;
        written.fullscreen = variant == 0 ? 1 : 0;
        written.message_delay = variant == 0 ? 123456 : -5;
        written.DDD_effects = variant == 0 ? 1 : 0;
        written.fade_effect = variant == 0 ? 0 : 1;
        written.language = variant == 0 ? "German" : "Fran\xC3\xA7" "ais";
        save_preferences(written, kFile);

        Preferences read;
        load_preferences(read, kFile);
        EXPECT_EQ(read.fullscreen, written.fullscreen);
        EXPECT_EQ(read.message_delay, written.message_delay);
        EXPECT_EQ(read.DDD_effects, written.DDD_effects);
        EXPECT_EQ(read.fade_effect, written.fade_effect);
        EXPECT_EQ(read.language, written.language);
    }
}

TEST(Preferences, SavingFailureIsFatal) {
    TempGameFolder folder;
    // A folder in the place of the file cannot be replaced by the file.
    std::filesystem::create_directories(host_path(kFile) + "/blocked");
    Preferences preferences;
    EXPECT_FATAL(save_preferences(preferences, kFile),
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
