// Strings, lists, files and XML documents of the media layer.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/files.h"
#include "platform/game_list.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "support/test_game.h"

TEST(Strings, TextToIntegerReadsDecimalHexadecimalAndBinary) {
    EXPECT_EQ(text_to_int("42"), 42);
    EXPECT_EQ(text_to_int("-17"), -17);
    EXPECT_EQ(text_to_int("$ff"), 255);
    EXPECT_EQ(text_to_int("$1A"), 26);
    EXPECT_EQ(text_to_int("%1011"), 11);
    EXPECT_EQ(text_to_int("-$10"), -16);
    EXPECT_EQ(text_to_int("yes"), 0);
    EXPECT_EQ(text_to_int(""), 0);
    EXPECT_EQ(text_to_int("12ab"), 12);
    EXPECT_EQ(text_to_int("%102"), 2);  // binary stops at the first digit that is no bit
    EXPECT_EQ(text_to_int("99999999999999999999999"), 0x7FFFFFFFFFFFll);  // saturates instead of overflowing
}

TEST(Strings, GameValuesWrapAtSixteenAndEightBits) {
    EXPECT_EQ(wrap16(32767 + 1), -32768);
    EXPECT_EQ(wrap16(70000), 4464);
    EXPECT_EQ(wrap16(-32769), 32767);
    EXPECT_EQ(wrap8(200), -56);
    EXPECT_EQ(wrap8(-129), 127);
}

TEST(Strings, PiecesOfTexts) {
    EXPECT_EQ(file_part("savegame\\level_1.xml"), "level_1.xml");
    EXPECT_EQ(file_part("maps/sub\\x.xml"), "x.xml");
    EXPECT_EQ(file_part("plain.xml"), "plain.xml");
    EXPECT_EQ(file_part("folder/"), "");
    EXPECT_EQ(replace_all("a [value] b [value]", "[value]", "7"), "a 7 b 7");
    EXPECT_EQ(replace_all_nocase("Hit for [VALUE]!", "[value]", "3"), "Hit for 3!");
    EXPECT_EQ(remove_all_nocase("bang.OGG", ".ogg"), "bang");
    EXPECT_EQ(remove_all_nocase("x.ogg.Ogg", ".ogg"), "x");
    EXPECT_EQ(left_part("abcdef", 3), "abc");
    EXPECT_EQ(left_part("ab", 5), "ab");
    EXPECT_EQ(middle_part("abcdef", 2, 2), "cd");
    EXPECT_EQ(middle_part("abc", 7, 2), "");
    EXPECT_EQ(find_text("a b c", " "), 1);
    EXPECT_EQ(find_text("a b c", " ", 2), 3);
    EXPECT_EQ(find_text("abc", "z"), -1);
    EXPECT_EQ(float_to_text(2.456, 2), "2.46");
    EXPECT_EQ(truncate_float(-2.9), -2);
    EXPECT_EQ(truncate_float(1e12), 2147483647);
}

TEST(GameList, AddsAfterTheCurrentElementAndWalks) {
    GameList<int> list;
    EXPECT_EQ(list.index(), -1);
    list.add() = 1;  // [1]
    list.add() = 3;  // [1 3]
    list.reset();
    list.next();     // current 1
    list.add() = 2;  // [1 2 3], current 2
    EXPECT_EQ(list.index(), 1);
    auto remembered = list.remember();
    std::vector<int> seen;
    list.reset();
    while (list.next()) seen.push_back(list.current());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(list.next());
    list.restore(remembered);
    EXPECT_EQ(list.current(), 2);
    list.reset();
    list.add() = 0;  // before the first: inserted at the front
    EXPECT_EQ(*list.begin(), 0);
    EXPECT_TRUE(list.select(3));
    EXPECT_EQ(list.current(), 3);
    EXPECT_FALSE(list.select(4));
    list.remove_current();
    EXPECT_EQ(list.current(), 2);
    EXPECT_EQ(list.count(), 3);

    // A copy walks and grows on its own, from the same current place.
    GameList<int> copy = list;  // [0 1 2], current 2
    copy.add() = 9;
    EXPECT_EQ(std::vector<int>(copy.begin(), copy.end()), (std::vector<int>{0, 1, 2, 9}));
    EXPECT_EQ(std::vector<int>(list.begin(), list.end()), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.current(), 2);
    GameList<int> moved = std::move(copy);
    EXPECT_EQ(moved.current(), 9);
    EXPECT_EQ(moved.index(), 3);

    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.next());
}

TEST(Random, StaysInRangeAndFollowsAScript) {
    seed_random(7);
    bool saw_low = false, saw_high = false;
    for (int i = 0; i < 2000; ++i) {
        int r = Random(99);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 99);
        saw_low |= r == 0;
        saw_high |= r == 99;
    }
    EXPECT_TRUE(saw_low && saw_high);  // both ends are inclusive
    script_random({39, 500});
    EXPECT_EQ(Random(99), 39);
    EXPECT_EQ(Random(99), 99);  // a scripted draw is kept within 0..n
    EXPECT_EQ(Random(0), 0);
}

TEST(Files, SizesListingsAndDeletion) {
    TempGameFolder game;
    game.write("savegame\\a.xml", "12345");
    game.write("savegame\\B.XML", "");
    game.write("savegame\\screenshot.jpg", "x");
    game.write("savegame\\sub\\c.xml", "x");
    EXPECT_EQ(file_size("savegame\\a.xml"), 5);
    EXPECT_EQ(file_size("savegame\\B.XML"), 0);
    EXPECT_LT(file_size("savegame\\missing.xml"), 0);
    EXPECT_LT(file_size("savegame\\sub"), 0);  // a folder is no file

    auto entries = list_folder("savegame\\", "*.xml");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "B.XML");
    EXPECT_EQ(entries[0].type, 1);
    EXPECT_EQ(entries[1].name, "a.xml");
    EXPECT_EQ(list_folder("savegame", "*").size(), 4u);
    EXPECT_TRUE(list_folder("nowhere", "*").empty());

    EXPECT_TRUE(delete_file("savegame\\a.xml"));
    EXPECT_LT(file_size("savegame\\a.xml"), 0);
    EXPECT_FALSE(delete_file("savegame\\a.xml"));

    EXPECT_TRUE(wildcard_match("level_?.xml", "LEVEL_3.xml"));
    EXPECT_FALSE(wildcard_match("level_?.xml", "level_12.xml"));
    EXPECT_TRUE(wildcard_match("*a*b", "xxaYYb"));

    EXPECT_TRUE(write_file_atomically("new\\folder\\file.txt", std::string("content")));
    std::string content;
    EXPECT_TRUE(read_whole_file("new\\folder\\file.txt", content));
    EXPECT_EQ(content, "content");
    EXPECT_EQ(list_folder("new\\folder", "*").size(), 1u);  // no temporary file left behind
}

// A save of several files is one step: nothing is renamed before the commit
// (files of other folders are written at once); a batch closed without one (an
// error on the way) leaves the old files; start-up finishes the renames a kill
// interrupted and removes the temporaries of saves killed before their commit.
TEST(Files, SaveBatchRenamesEverythingAtItsCommitOrNothing) {
    TempGameFolder game;
    auto savegame = [](const char* pattern = "*") {
        std::string seen, content;
        for (const FolderEntry& entry : list_folder("savegame", pattern))
            seen += entry.name + "=" + (read_whole_file("savegame\\" + entry.name, content) ? content : "") + " ";
        return seen;
    };
    write_file_atomically("savegame\\map.xml", std::string("old map"));
    {
        SaveBatch save("savegame");
        write_file_atomically("savegame\\map.xml", std::string("new map"));
        write_file_atomically("config\\preferences.xml", std::string("at once"));
        SaveBatch inner("savegame");  // joins the open one
        write_file_atomically("savegame\\character.xml", std::string("new character"));
        EXPECT_TRUE(inner.commit());
        // On disk the old file stays; the save step itself reads what it wrote.
        EXPECT_EQ(savegame("*.xml"), "map.xml=new map ");
        std::ifstream on_disk(host_path("savegame\\map.xml"));
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(on_disk), {}), "old map");
        EXPECT_EQ(file_size("savegame\\character.xml"), 13);
        EXPECT_EQ(file_size("config\\preferences.xml"), 7);
        EXPECT_TRUE(save.commit());
    }
    // With the list of the files the game saved there (the only ones a new game or a death clears).
    EXPECT_EQ(savegame(), "character.xml=new character map.xml=new map saved_files.list=map.xml\ncharacter.xml\n ");
    {
        SaveBatch save("savegame");
        write_file_atomically("savegame\\map.xml", std::string("never saved"));
    }
    EXPECT_EQ(savegame("*.xml"), "character.xml=new character map.xml=new map ");

    // Killed after the map's rename: the list and the character's temporary remain.
    // A step that replaced the saved game removes the old game's files first.
    game.write("savegame\\renames.pending",
               "\told_level.xml\n\t../outside.xml\nmap.xml.tmp-7\tmap.xml\ncharacter.xml.tmp-7\tcharacter.xml\n"
               "x.xml.tmp-7\t../x.xml\n");
    game.write("savegame\\old_level.xml", "of the old game");
    game.write("outside.xml", "stays");
    game.write("savegame\\map.xml", "killed map");
    game.write("savegame\\character.xml.tmp-7", "killed character");
    game.write("savegame\\x.xml.tmp-7", "not outside");
    game.write("savegame\\level.xml.tmp-12", "killed before its commit");
    game.write("savegame\\notes.tmp-x.xml", "no temporary");
    finish_interrupted_save("savegame");
    EXPECT_EQ(savegame("*.xml"), "character.xml=killed character map.xml=killed map notes.tmp-x.xml=no temporary ");
    EXPECT_EQ(file_size("x.xml"), -1);
    EXPECT_EQ(file_size("outside.xml"), 5);
}

TEST(Xml, WritesEscapedTextAndReadsItBack) {
    TempGameFolder game;
    XmlDocument out;
    XmlElement* root = out.create_root("character");
    root->set_attribute("Umbrane_version", "0.1.0");
    root->set_attribute("name", "Tom \"the <Brave>\" & Co");
    root->set_attribute("name", "Tom \"the <Brave>\" & Co.");  // replaces, keeps the order
    XmlElement* ability = root->add_child("ability");
    ability->set_attribute("id", "3");
    XmlElement* text = root->add_child("text");
    text->text = "Grüße & <more>";
    XmlElement* lines = root->add_child("lines");
    lines->set_attribute("death", "first\nsecond\tthird\r\nend");
    lines->text = "one\r\ntwo\tthree";
    ASSERT_TRUE(out.save("savegame\\character.xml"));

    XmlDocument in;
    ASSERT_TRUE(in.load("savegame\\character.xml"));
    ASSERT_EQ(in.status(), 0);
    XmlElement* r = in.root();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, "character");
    ASSERT_EQ(r->attributes.size(), 2u);
    EXPECT_EQ(r->attributes[0].first, "Umbrane_version");
    EXPECT_EQ(r->attributes[1].second, "Tom \"the <Brave>\" & Co.");
    XmlElement* first = r->first_child();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "ability");
    EXPECT_EQ(*first->attribute("id"), "3");
    EXPECT_EQ(first->attribute("missing"), nullptr);
    XmlElement* second = first->next_sibling();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text, "Grüße & <more>");
    // Line breaks and tabs come back as written, in attributes and in text.
    XmlElement* third = second->next_sibling();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(*third->attribute("death"), "first\nsecond\tthird\r\nend");
    EXPECT_EQ(third->text, "one\r\ntwo\tthree");
    EXPECT_EQ(third->next_sibling(), nullptr);

    // A file declared in another encoding is read in it; texts come out as UTF-8.
    game.write("data\\latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                    "<r name=\"Gr\xFC\xDF" "e\">M\xE4" "rz</r>\n");
    ASSERT_TRUE(in.load("data\\latin1.xml"));
    ASSERT_EQ(in.status(), 0) << in.error_text();
    EXPECT_EQ(*in.root()->attribute("name"), "Grüße");
    EXPECT_EQ(in.root()->text, "März");
}

TEST(Xml, ReportsMissingFilesAndParserErrorsWithTheLine) {
    TempGameFolder game;
    XmlDocument doc;
    EXPECT_FALSE(doc.load("data\\missing.xml"));

    game.write("data\\broken.xml", "<root>\n<a>\n</b>\n</root>\n");
    ASSERT_TRUE(doc.load("data\\broken.xml"));
    EXPECT_NE(doc.status(), 0);
    EXPECT_EQ(doc.error_text(), "mismatched tag at line 3");
    EXPECT_EQ(doc.root(), nullptr);

    game.write("data\\empty.xml", "");
    ASSERT_TRUE(doc.load("data\\empty.xml"));
    EXPECT_NE(doc.status(), 0);
    EXPECT_EQ(doc.error_text(), "no element found at line 1");

    // Nesting far deeper than any stack is read and freed without a crash.
    std::string deep;
    for (int i = 0; i < 300000; ++i) deep += "<a>";
    for (int i = 0; i < 300000; ++i) deep += "</a>";
    ASSERT_TRUE(doc.parse_text(deep));
    EXPECT_EQ(doc.status(), 0);

    game.write("data\\fine.xml", "<r a='1'><!-- note --><b>x</b></r>");
    ASSERT_TRUE(doc.load("data\\fine.xml"));
    EXPECT_EQ(doc.status(), 0);
    EXPECT_EQ(doc.root()->first_child()->text, "x");
}

// Every element knows its line; a reader's walk leaves the place of what it
// looked at last: the child a loop reached, and the parent once the loop is done.
TEST(Xml, ElementsKeepTheirLinesAndReadersLeaveTheirPlace) {
    TempGameFolder game;
    game.write("data\\lines.xml", "<?xml version=\"1.0\"?>\n<root a=\"1\">\n  <one/>\n\n  <two\n    b=\"2\">\n"
                                  "    <three/>\n  </two>\n</root>\n");
    XmlDocument doc;
    ASSERT_TRUE(doc.load("data\\lines.xml"));
    EXPECT_EQ(xml_reading_place().file, "data\\lines.xml");
    EXPECT_EQ(xml_reading_place().line, 2);  // the root
    const XmlElement& root = *doc.root();
    std::vector<int> lines;
    for (const XmlElement& child : children_of(root)) {
        lines.push_back(child.line);
        EXPECT_EQ(xml_reading_place().line, child.line);
        for (const XmlElement& grandchild : children_of(child)) lines.push_back(grandchild.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(xml_reading_place().line, 2);  // the loop over the root's children is done

    game.write("data\\broken.xml", "<root>\n<a>\n</b>\n</root>\n");
    ASSERT_TRUE(doc.load("data\\broken.xml"));
    EXPECT_EQ(doc.error_line(), 3);
    EXPECT_EQ(xml_reading_place().line, 3);
    EXPECT_FALSE(doc.load("data\\missing.xml"));
    EXPECT_EQ(xml_reading_place().file, "data\\missing.xml");
    EXPECT_EQ(xml_reading_place().line, 0);
}
