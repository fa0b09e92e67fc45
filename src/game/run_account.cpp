#include "game/run_account.h"

#include <algorithm>
#include <optional>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "items/inventory.h"
#include "items/items_state.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {

std::optional<FameEntry> g_ended_run;

CharacterRecord& hero() { return g_character_model.character; }

std::string number(long long v) { return std::to_string(v); }

}  // namespace

void note_level_exit(int x, int y) {
    const DungeonRecord* found = nullptr;
    for (const DungeonRecord& exit : g_map.level_exits)
        if (exit.xpos == x && exit.ypos == y) found = &exit;  // the last one counts, as for the level change
    if (!found) return;
    CharacterRecord& c = hero();
    // A dungeon whose bottom monster ends the game names it whichever level is entered.
    if (found->is_final && found->bottom_monster > 0) c.final_foe = found->bottom_monster;
    if (found->entrance_to_level <= c.deepest_level) return;
    c.deepest_level = found->entrance_to_level;
    c.deepest_dungeon = found->name;
    c.dungeon_levels = found->number_of_levels;
    // Where a foe guards the bottom, its treasure is a find, not the end of the run.
    c.dungeon_treasure = found->bottom_monster > 0 || found->is_final ? 0 : found->main_treasure;
}

void count_turn() { ++hero().turns; }

bool note_treasure_found() {
    CharacterRecord& c = hero();
    if (c.won || c.dungeon_treasure <= 0 || c.deepest_level < c.dungeon_levels) return false;
    bool carried = false;
    for (const InventoryEntry& entry : g_items.inventory)
        if (entry.type == c.dungeon_treasure) carried = true;
    if (!carried) return false;
    c.won = 1;
    show_status_message(message_text(msg::RUN_WON_MESSAGE), "", WHITE, -1, 0, 4000);
    record_run_end(message_with(msg::RUN_WON, {{"[dungeon]", c.deepest_dungeon}}), true);
    return true;
}

const std::string* note_final_foe_fallen() {
    std::vector<int16_t> fallen;
    fallen.swap(g_map.fallen);
    CharacterRecord& c = hero();
    if (c.final_foe <= 0 || c.final_foe > kMaxMonsterTypeId ||
        std::find(fallen.begin(), fallen.end(), c.final_foe) == fallen.end())
        return nullptr;
    static std::string foe;
    foe = g_db.monster_types[c.final_foe].name;
    c.final_foe = 0;
    c.won = 1;
    show_status_message(message_with(msg::ending_band, {{"[monster]", foe}}), "", WHITE, -1, 0, 4000);
    record_run_end(message_with(msg::ending_cause, {{"[monster]", foe}}), true);
    return &foe;
}

FameEntry current_run(const std::string& cause, bool won) {
    const CharacterRecord& c = hero();
    FameEntry run;
    run.cause = cause;
    run.map = g_map.map.name;
    run.turns = c.turns;
    run.kills = c.kills;
    run.deepest_level = c.deepest_level;
    run.dungeon = c.deepest_dungeon;
    run.won = won ? 1 : 0;
    return run;
}

std::vector<std::string> run_summary_lines(const FameEntry& run) {
    std::vector<std::string> lines;
    lines.push_back(message_with(msg::RUN_MAP, {{"[map]", run.map}}));
    lines.push_back(message_with(msg::RUN_TURNS, {{"[value]", number(run.turns)}}));
    lines.push_back(message_with(msg::RUN_KILLS, {{"[value]", number(run.kills)}}));
    lines.push_back(run.deepest_level > 0 ? message_with(msg::RUN_DEEPEST, {{"[value]", number(run.deepest_level)},
                                                                           {"[dungeon]", run.dungeon}})
                                          : message_text(msg::RUN_NO_DEPTH));
    return lines;
}

std::string run_account_text(const FameEntry& run) {
    std::string text = message_text(msg::ACCOUNT_TITLE) + " " + number(run.run) + "\n\n" + run.cause + "\n";
    for (const std::string& line : run_summary_lines(run)) text += line + "\n";

    text += "\n" + message_text(msg::ACCOUNT_ABILITIES) + "\n";
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        if (ability.name.empty()) continue;
        const int16_t a = static_cast<int16_t>(id);
        const int16_t now = attribute_current_val(a, Cap::apply, PowerAdjustment::add, ItemBonus::add);
        const int16_t most = attribute_max_val(a, Cap::apply, PowerAdjustment::add, ItemBonus::add);
        const std::string& name = ability.display_name.empty() ? ability.name : ability.display_name;
        text += "  " + name + ": " + number(now);
        if (ability.depletable) text += " / " + number(most);
        text += "\n";
    }

    text += "\n" + message_text(msg::ACCOUNT_INVENTORY) + "\n";
    for (const InventoryEntry& entry : g_items.inventory) {
        const ItemType& kind = item_type_of(entry.type);
        text += "  " + number(std::max<int>(entry.amount, 1)) + " x " + kind.name;
        if (kind.artefact) text += " + " + number(entry.magic_bonus);
        if (entry.equipped) text += " (" + message_text(msg::ITEM_EQUIPPED) + ")";
        text += "\n";
    }

    text += "\n" + message_text(msg::ACCOUNT_MESSAGES) + "\n";
    const auto& shown = g_common.message_history.texts;
    const size_t first = shown.size() > ACCOUNT_MESSAGES ? shown.size() - ACCOUNT_MESSAGES : 0;
    for (size_t k = first; k < shown.size(); ++k) text += "  " + history_line(shown[k]) + "\n";
    return text;
}

void record_run_end(const std::string& cause, bool won) {
    // A character that found the treasure is in the hall already: its death
    // afterwards is told on the death screen, not entered a second time.
    if (hero().won && !won) {
        g_ended_run = current_run(cause, false);
        return;
    }
    const FameEntry run = enter_hall_of_fame(current_run(cause, won));
    write_file_atomically(std::string(HALL_OF_FAME_FOLDER) + "\\run_" + number(run.run) + ".txt",
                          run_account_text(run));
    g_ended_run = run;
}

const FameEntry* last_ended_run() { return g_ended_run ? &*g_ended_run : nullptr; }

void forget_ended_run() { g_ended_run.reset(); }
