// The player program. The game runs its own loops; whenever it waits for input
// with nothing scripted (the headless idle hook), the bot looks at what the
// screen shows and schedules the keys of its next action: a step, a blow, a
// rest, or a walk through the inventory, pick-up, power or advancement screen.
#include "bot/bot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <queue>
#include <vector>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "presentation/view.h"
#include "map/vision.h"
#include "game/travel.h"
#include "common/word_lists.h"
#include "items/items_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "powers/use_power.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

constexpr int N = kMapSize;
constexpr int REACH = 6;       // the view shows six fields on every side of the character
constexpr int GRID = 6;        // the item and power screens show 6 x 6 cells
constexpr int MAX_CARRIED = 30;  // stacks; the inventory grid then never scrolls
constexpr int FAR = INT_MAX / 2;
constexpr int EXPLORE_DOWN_KEY = 0x34;  // ">"
constexpr uint32_t KEY_GAP_MS = 100, KEY_HOLD_MS = 40;

struct Cell {
    int x = -1, y = -1;
    bool operator==(const Cell&) const = default;
};
constexpr Cell DIRECTIONS[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

enum class Phase { menu, picks, play, leaving };

// What the bot has seen of one map: tile types (-1 unseen), the value of the
// best item it wants on a field (-1 none) and fields where it last saw a monster.
struct Memory {
    int16_t tile[N][N];
    int item[N][N];
    bool monster[N][N] = {};
    Memory() {
        for (auto& row : tile) std::fill(std::begin(row), std::end(row), int16_t{-1});
        for (auto& row : item) std::fill(std::begin(row), std::end(row), -1);
    }
};

struct Bot {
    Phase phase = Phase::menu;
    int turn_limit = 0;
    bool trace = false;
    bool careless = false;
    bool explore = false;
    int fruitless = 0;  // actions in a row that showed nothing new
    int last_progress = -1;
    std::string last_map;
    int picks_left = 0, pick_cursor = 0, picks_made = 0;
    std::map<std::string, Memory> memory;  // by map file
    uint32_t key_time = 0;
    bool stepped = false;      // the last action was a step (its turn is counted afterwards)
    bool expect_pick = false;  // the last step went onto stairs down: a new level gives a pick
    Cell exit;
    std::string exit_map;
    Cell way_out;    // a portal field the bot means to take (the bottom portal), else none
    Cell foe_at;     // where the foe of the bottom level was last seen, till it is found gone
    Cell exploring;  // the field at the edge of the unseen the bot walks to
    std::string exploring_map;
    // The dungeons as the town's entrances name them, in their order: the
    // route goes down each to its foe and out by its bottom portal.
    struct Dungeon {
        std::string name;
        int levels = 0, foe = 0, portal_tile = 0;
        Cell entrance;
        bool bottom = false, done = false;
    };
    std::vector<Dungeon> dungeons;
    int rescues = 0;   // screens left with Escape because they waited for keys the bot did not give
    Monster bolted;    // the monster the last bolt flew at, as it was
    std::map<int, int> bolts_wasted;  // by monster type: bolts in a row that did it no harm
    BotResult result;
    int dist[N][N];
    Cell prev[N][N];
};

Bot bot;

CharacterRecord& hero() { return g_character_model.character; }
Cell here() { return {hero().x, hero().y}; }
int current(int id) { return id > 0 ? attribute_current_val(int16_t(id), Cap::apply, PowerAdjustment::add, ItemBonus::add) : 0; }
int maximum(int id) { return id > 0 ? attribute_max_val(int16_t(id), Cap::apply, PowerAdjustment::add, ItemBonus::add) : 0; }
int id_of(const char* name) { return find_ability(name); }
const TileType& tile(int t) { return g_map.map.tileset.tile_types[t]; }
bool has_word(const std::string& list, const char* word) { return lists_share_entry(list, word, "|") == 1; }
Memory& seen() { return bot.memory[g_map.map.filename]; }
int distance(Cell a, Cell b) { return std::abs(a.x - b.x) + std::abs(a.y - b.y); }

// ---- keys ----

void press(int code) {
    if (bot.trace) std::printf(" %d", code);
    headless::key_tap(bot.key_time, code, KEY_HOLD_MS);
    bot.key_time += KEY_GAP_MS;
}

// A click on the field (x, y) of the map view, which lies within REACH of the character.
void click_field(int x, int y) {
    const int px = (VIEW_CENTRE + x - hero().x) * 32 + 16, py = (VIEW_CENTRE + y - hero().y) * 32 + 16;
    if (bot.trace) std::printf(" click (%d, %d)", x, y);
    headless::mouse_move(bot.key_time, px, py);
    headless::mouse_button(bot.key_time + 1, true);
    headless::mouse_button(bot.key_time + 1 + KEY_HOLD_MS, false);
    bot.key_time += KEY_GAP_MS;
}

int arrow(int dx, int dy) { return dx > 0 ? key::right : dx < 0 ? key::left : dy > 0 ? key::down : key::up; }

// Arrow presses that take a grid cursor from (x, y) to (to_x, to_y).
void move_cursor(int x, int y, int to_x, int to_y) {
    for (; x != to_x; x += to_x > x ? 1 : -1) press(arrow(to_x - x, 0));
    for (; y != to_y; y += to_y > y ? 1 : -1) press(arrow(0, to_y - y));
}

// ---- reading the pictures of the fields ----

bool blocks(int t) { return t < 0 || t >= kTileTypeCount || tile(t).solid; }
// The way up and magic portals lead away from the dungeon.
bool leads_away(int t) { return t == 3 || has_word(tile(t).cls, "portal"); }
bool leads_down(int t) { return t == 2 || has_word(tile(t).cls, "entrance"); }

// +1: entering the field heals, -1: it hurts, 0: neither.
int field_effect(int t) {
    const int hp = id_of("hit_points"), poisoned = id_of("poisoned");
    int effect = 0;
    for (const TileModifyAttribute& slot : tile(t).modify_attribute) {
        if (slot.attribute == hp && (slot.amount > 0 || slot.replenish)) effect = std::max(effect, 1);
        if ((slot.attribute == hp && slot.amount < 0) || (slot.attribute == poisoned && slot.amount > 0)) return -1;
    }
    return effect;
}

// ---- the inventory ----

std::vector<InventoryEntry*> carried() {
    std::vector<InventoryEntry*> entries;
    for (InventoryEntry& entry : g_items.inventory) entries.push_back(&entry);
    return entries;
}

const ItemType& type_of(int type) { return g_db.item_types[type]; }
bool usable(const InventoryEntry& e) {
    const ItemType& t = type_of(e.type);
    return !t.use_name.empty() && !(t.fuel_consumed_per_use > 0 && e.fuel < 1);
}
bool equippable(const InventoryEntry& e) {
    const ItemType& t = type_of(e.type);
    return t.can_be_equipped && !(t.fuel > 0 && e.fuel == 0);
}
int use_bonus(const InventoryEntry& e, int ability) {
    int sum = 0;
    for (const ItemAbilityBonus& slot : type_of(e.type).ability_bonus)
        if (slot.attribute == ability) sum += slot.value;
    return sum;
}

// How much an equipped piece is worth to a fighter.
double worth(const InventoryEntry& e) {
    static const std::map<std::string, double> weights = {
        {"damage", 3}, {"damage_random", 1.5}, {"melee_attack", 0.6}, {"defense", 0.6}, {"armour", 3},
        {"hit_points", 0.7}, {"strength", 3}, {"agility", 3}, {"intelligence", 1}, {"critical_hit", 1},
        {"regeneration", 8}, {"life_drain", 4}, {"movement", 10}, {"mana", 0.2}, {"magic_skill", 0.1}};
    double sum = 0;
    for (const ItemAbilityBonus& slot : type_of(e.type).ability_bonus) {
        if (slot.attribute <= 0 || slot.attribute > kMaxAbilityId) continue;
        const std::string& name = g_db.abilities[slot.attribute].name;
        const int value = slot.value + (slot.magic_bonus_multiplier > 0 ? e.magic_bonus * slot.magic_bonus_multiplier : 0);
        if (name == "light_radius") sum += g_map.map.lighting < 7 ? 2.0 * value : 0;  // light matters only in the dark
        else if (weights.count(name)) sum += weights.at(name) * value;
    }
    return sum;
}

// I, the cursor onto the entry, Return: its menu is open.
void open_item_menu(int index) {
    press(key::i);
    move_cursor(hero().inventory_cursor_x, hero().inventory_cursor_y, index % GRID, index / GRID);
    press(key::ret);
}

void use_item(int index) {
    const ItemType& type = type_of(carried()[index]->type);
    open_item_menu(index);
    press(key::ret);  // the use entry comes first
    if (type.turn_ends_after_use) ++bot.result.turns;  // and the screen closes
    else press(key::escape);
}

// The carried entry that serves best: score(entry) above 0, highest wins; -1 when none.
int best_entry(auto score) {
    int best = -1;
    double best_score = 0;
    const auto entries = carried();
    for (int i = 0; i < static_cast<int>(entries.size()) && i < GRID * GRID; ++i) {
        const double s = score(*entries[i]);
        if (s > best_score) {
            best = i;
            best_score = s;
        }
    }
    return best;
}

// What equipping the piece would add, less what it would put away; 0 when its class is full.
double equip_gain(const InventoryEntry& e) {
    const ItemType& type = type_of(e.type);
    double gain = worth(e);
    int of_class = 0;
    for (const InventoryEntry* other : carried()) {
        if (!other->equipped || other == &e) continue;
        const std::string& cls = type_of(other->type).item_class;
        if (cls == type.item_class) ++of_class;
        for (const std::string& put_away : type.unequip)
            if (!put_away.empty() && put_away == cls) gain -= worth(*other);
    }
    return type.equipment_limit > 0 && of_class >= type.equipment_limit ? 0 : gain;
}

int burning_lights() {
    int count = 0;
    for (const InventoryEntry* e : carried())
        if (type_of(e->type).fuel > 0 && type_of(e->type).can_be_equipped && e->fuel > 0) ++count;
    return count;
}

// What a fighter carries: what can be used, artefacts, a few lights with fuel,
// and equipment better than what it wears.
bool wanted(const InventoryEntry& e) {
    const ItemType& t = type_of(e.type);
    if (e.type <= 0 || t.name.empty()) return false;
    if (t.artefact || !t.use_name.empty()) return true;
    if (!equippable(e)) return false;
    if (t.fuel > 0) return burning_lights() < 3;
    return equip_gain(e) > 0.5;
}
bool wanted(const MapItem& item) {
    InventoryEntry piece;
    piece.type = item.type;
    piece.fuel = item.fuel;
    piece.magic_bonus = item.magic_bonus;
    return wanted(piece);
}

// A draught that makes the character stronger for good is drunk at once.
bool try_boost() {
    const int index = best_entry([](const InventoryEntry& e) -> double {
        if (!usable(e)) return 0;
        return use_bonus(e, id_of("strength")) + use_bonus(e, id_of("agility")) + use_bonus(e, id_of("intelligence"));
    });
    if (index < 0) return false;
    use_item(index);
    return true;
}

bool try_equip() {
    const auto entries = carried();
    const int index = best_entry([&](const InventoryEntry& e) -> double {
        if (e.equipped || !equippable(e)) return 0;
        const double gain = equip_gain(e);
        return gain > 0.5 ? gain : 0;
    });
    if (index < 0) return false;
    open_item_menu(index);
    if (usable(*entries[index])) press(key::down);
    press(key::ret);
    press(key::escape);
    ++bot.result.turns;
    return true;
}

// The menu's last entry drops the piece (no turn used).
void drop(int index) {
    open_item_menu(index);
    if (usable(*carried()[index])) press(key::down);
    if (equippable(*carried()[index])) press(key::down);
    press(key::ret);
    press(key::escape);
}

// With the pack nearly full, a piece that serves no more is left behind (no turn used).
bool try_drop_junk() {
    if (carried().size() < MAX_CARRIED - 2) return false;
    const int index = best_entry([](const InventoryEntry& e) -> double {
        return !e.equipped && !usable(e) && !type_of(e.type).artefact && !wanted(e) ? 1 : 0;
    });
    if (index < 0) return false;
    drop(index);
    return true;
}

// What a find is worth to the bot: an artefact above all, else its price.
int value(int type) { return type_of(type).artefact ? 30000 : type_of(type).price; }

// The carried piece that would go first to make room: the cheapest one not worn
// and no artefact; -1 when there is none.
int cheapest_carried() {
    return best_entry([](const InventoryEntry& e) -> double {
        return e.equipped || type_of(e.type).artefact ? 0 : 40000 - value(e.type);
    });
}

// P, Space on the wanted items of the field, the best first while the pack has
// room (the cursor starts on the inventory's cell), Return.
void pick_up() {
    std::vector<std::pair<int, int>> finds;  // value, place on the pick-up screen
    int i = 0;
    for (const MapItem& item : g_map.items) {
        if (item.x != hero().x || item.y != hero().y) continue;
        if (wanted(item) && i < GRID * GRID) finds.push_back({value(item.type), i});
        ++i;
    }
    std::stable_sort(finds.begin(), finds.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    finds.resize(std::min<size_t>(finds.size(), MAX_CARRIED - carried().size()));
    std::sort(finds.begin(), finds.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    press(key::p);
    int x = hero().inventory_cursor_x, y = hero().inventory_cursor_y;
    for (const auto& [worth, place] : finds) {
        move_cursor(x, y, place % GRID, place / GRID);
        x = place % GRID;
        y = place / GRID;
        press(key::space);
    }
    press(key::ret);
    ++bot.result.turns;
}

// ---- what the screen shows ----

// The darkness of light level L (0..6) starts 22 + 30 L pixels from the
// character's centre and thickens over a band; fields well inside are seen.
bool in_sight(int x, int y) {
    const int dx = x - hero().x, dy = y - hero().y;
    if (x < 0 || y < 0 || x >= N || y >= N || std::abs(dx) > REACH || std::abs(dy) > REACH) return false;
    const int level = light_level();
    if (level >= 7) return true;
    return 32 * std::hypot(dx, dy) < 22 + 30 * level + (18 + 4 * (level + 1)) / 2.0;
}

// The value of the best item a field shows that the bot would take, -1 when
// none (items in a chest are not shown).
int best_find_on(int x, int y) {
    if (tile(read_map_tile_type(g_map.map, x, y)).container) return -1;
    int best = -1;
    for (const MapItem& item : g_map.items)
        if (item.x == x && item.y == y && wanted(item)) best = std::max(best, value(item.type));
    return best;
}

void observe() {
    Memory& m = seen();
    for (int y = hero().y - REACH; y <= hero().y + REACH; ++y)
        for (int x = hero().x - REACH; x <= hero().x + REACH; ++x) {
            if (!in_sight(x, y)) continue;
            // A hidden field looks like the floor around it.
            m.tile[y][x] = read_map_hidden(g_map.map, x, y) ? g_map.map.background_tile : read_map_tile_type(g_map.map, x, y);
            m.item[y][x] = best_find_on(x, y);
            m.monster[y][x] = monster_at(x, y);
        }
}

// The map as the bot knows it: # blocks, . floor, ? unseen, > down, ^ hurts, $ items, M monsters, @ the character.
void dump_memory() {
    const Memory& m = seen();
    for (int y = 0; y < N; ++y) {
        std::string line;
        for (int x = 0; x < N; ++x) {
            const int t = m.tile[y][x];
            char c = t < 0 ? '?' : blocks(t) ? '#' : leads_down(t) ? '>' : field_effect(t) < 0 ? '^' : m.item[y][x] >= 0 ? '$' : '.';
            for (const Monster& monster : g_map.monsters)
                if (monster.x == x && monster.y == y) c = 'M';
            if (x == hero().x && y == hero().y) c = '@';
            line += c;
        }
        std::printf("\n%s", line.c_str());
    }
}

std::vector<const Monster*> monsters_in_sight() {
    std::vector<const Monster*> seen_monsters;
    for (const Monster& monster : g_map.monsters)
        if (in_sight(monster.x, monster.y)) seen_monsters.push_back(&monster);
    return seen_monsters;
}

// The number at the end of the map's name ("The Old Cave level 3"); 0 for the town.
int map_level() {
    const std::string& name = g_map.map.name;
    size_t end = name.size(), start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1]))) --start;
    return start < end ? std::atoi(name.c_str() + start) : 0;
}

// The dungeon of the level the character is on (its name begins the level's); -1 elsewhere.
int dungeon_here() {
    if (map_level() == 0) return -1;
    for (size_t k = 0; k < bot.dungeons.size(); ++k)
        if (g_map.map.name.rfind(bot.dungeons[k].name + " ", 0) == 0) return static_cast<int>(k);
    return -1;
}

// The level counted down through the dungeons in their order.
int world_level() {
    const int k = dungeon_here();
    int depth = map_level();
    for (int before = 0; before < k; ++before) depth += bot.dungeons[before].levels;
    return k < 0 ? 0 : depth;
}

// The first dungeon whose foe still stands; -1 when none does.
int next_dungeon() {
    for (size_t k = 0; k < bot.dungeons.size(); ++k)
        if (!bot.dungeons[k].done) return static_cast<int>(k);
    return -1;
}

// The town's entrances, once: the dungeons' names, depths, foes and portals.
void learn_route() {
    if (!bot.dungeons.empty() || map_level() != 0 || g_map.level_exits.empty()) return;
    for (const DungeonRecord& exit : g_map.level_exits)
        bot.dungeons.push_back({exit.name, exit.number_of_levels, exit.bottom_monster, exit.bottom_portal_tile,
                                {exit.xpos, exit.ypos}});
}

// ---- paths over the fields seen ----

// Cheapest walks from the character over the fields seen: traps and lava are
// a last resort, a monster in the way costs a fight.
void find_paths() {
    const Memory& m = seen();
    for (auto& row : bot.dist) std::fill(std::begin(row), std::end(row), FAR);
    using Entry = std::pair<int, int>;  // distance, y * N + x
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    bot.dist[hero().y][hero().x] = 0;
    open.push({0, hero().y * N + hero().x});
    while (!open.empty()) {
        const auto [d, at] = open.top();
        open.pop();
        const int x = at % N, y = at / N;
        if (d > bot.dist[y][x]) continue;
        for (const Cell& dir : DIRECTIONS) {
            const int nx = x + dir.x, ny = y + dir.y;
            if (nx < 0 || ny < 0 || nx > 48 || ny > 48) continue;  // a step never enters row or column 49
            const int t = m.tile[ny][nx];
            if (blocks(t)) continue;
            if (leads_away(t) && !(Cell{nx, ny} == bot.way_out)) continue;
            const int cost = 1 + (field_effect(t) < 0 ? 40 : 0) + (m.monster[ny][nx] ? 6 : 0);
            if (d + cost < bot.dist[ny][nx]) {
                bot.dist[ny][nx] = d + cost;
                bot.prev[ny][nx] = {x, y};
                open.push({d + cost, ny * N + nx});
            }
        }
    }
}

// The nearest reachable field that passes the test.
Cell nearest(auto test, int within = FAR) {
    Cell best;
    int best_dist = within + 1;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (bot.dist[y][x] < FAR && bot.dist[y][x] < best_dist && !(Cell{x, y} == here()) && test(x, y)) {
                best = {x, y};
                best_dist = bot.dist[y][x];
            }
    return best;
}

bool frontier(int x, int y) {
    for (const Cell& dir : DIRECTIONS) {
        const int nx = x + dir.x, ny = y + dir.y;
        if (nx >= 0 && ny >= 0 && nx <= 48 && ny <= 48 && seen().tile[ny][nx] < 0) return true;
    }
    return false;
}

void step_towards(Cell target) {
    if (bot.trace) std::printf(" to (%d, %d)", target.x, target.y);
    Cell next = target;
    while (!(bot.prev[next.y][next.x] == here())) next = bot.prev[next.y][next.x];
    if (seen().tile[next.y][next.x] == 2) {
        bot.expect_pick = true;
        bot.exit = next;
        bot.exit_map = g_map.map.filename;
    }
    press(arrow(next.x - hero().x, next.y - hero().y));
    bot.stepped = true;
}

// ---- powers ----

// The power grid's cells as the power screen will show them (0: an empty cell).
std::vector<int> usable_powers() { return power_grid_cells(GRID * GRID); }

bool power_ready(int id) {
    const Power& p = g_db.powers[id];
    return current(p.cost_attribute) >= p.cost && hero().cooldown[id] == 0;
}

// The first ready power that passes the test, as its cell index on the power screen; -1 when none.
int ready_power(auto test) {
    const std::vector<int> ids = usable_powers();
    for (int i = 0; i < static_cast<int>(ids.size()) && i < GRID * GRID; ++i)
        if (ids[i] > 0 && test(g_db.powers[ids[i]]) && power_ready(ids[i])) return i;
    return -1;
}

void use_power_in_cell(int index) {
    press(key::u);
    move_cursor(0, 0, index % GRID, index / GRID);
    press(key::ret);
}

bool heal_power(const Power& p) { return p.effect_name == "modify attribute" && p.modify_attribute == id_of("hit_points"); }

bool try_heal(int missing) {
    const int power = ready_power(heal_power);
    if (power >= 0) {
        use_power_in_cell(power);
        ++bot.result.turns;
        return true;
    }
    // The draught that fits the wound best; a ward against the next blows counts too.
    const int hp = id_of("hit_points"), shield = id_of("magic_shield");
    const int index = best_entry([&](const InventoryEntry& e) -> double {
        const int gain = usable(e) ? use_bonus(e, hp) + use_bonus(e, shield) : 0;
        return gain > 0 ? std::min(gain, missing) - 0.1 * gain + 1 : 0;
    });
    if (index < 0) return false;
    use_item(index);
    return true;
}

bool try_cure() {
    const int poisoned = id_of("poisoned");
    const int power = ready_power([&](const Power& p) { return p.effect_name == "deplete attribute" && p.deplete_attribute_id == poisoned; });
    if (power >= 0) {
        use_power_in_cell(power);
        ++bot.result.turns;
        return true;
    }
    const int index = best_entry([&](const InventoryEntry& e) -> double { return usable(e) ? -use_bonus(e, poisoned) : 0; });
    if (index < 0) return false;
    use_item(index);
    return true;
}

// The damage a bolt did shows on its target: a monster that three bolts in a
// row left unharmed (missed, resisted) is fought with the weapon from then on.
void judge_last_bolt() {
    const Monster& before = bot.bolted;
    if (before.type == 0) return;
    for (const Monster& monster : g_map.monsters)
        if (monster.x == before.x && monster.y == before.y && monster.type == before.type)
            bot.bolts_wasted[before.type] = monster.hitpoints < before.hitpoints ? 0 : bot.bolts_wasted[before.type] + 1;
    bot.bolted = Monster{};
}

// A bolt at a monster a few fields away, keeping mana for a heal.
bool try_bolt(const std::vector<const Monster*>& monsters) {
    const Monster* target = nullptr;
    for (const Monster* monster : monsters) {
        const int d = distance({monster->x, monster->y}, here());
        if (d >= 2 && d <= 5 && bot.dist[monster->y][monster->x] <= 10 && bot.bolts_wasted[monster->type] < 3 &&
            (!target || d < distance({target->x, target->y}, here())))
            target = monster;
    }
    if (!target) return false;
    int reserve = 0;
    for (int id : usable_powers())
        if (id > 0 && heal_power(g_db.powers[id])) reserve = g_db.powers[id].cost;
    const int mana = id_of("mana");
    const int power = ready_power([&](const Power& p) { return p.effect_name == "attack" && current(mana) - p.cost >= reserve; });
    if (power < 0) return false;
    use_power_in_cell(power);
    move_cursor(VIEW_CENTRE, VIEW_CENTRE, VIEW_CENTRE + target->x - hero().x, VIEW_CENTRE + target->y - hero().y);
    press(key::ret);
    bot.bolted = *target;
    ++bot.result.turns;
    return true;
}

// ---- the screens of a new game and a new level ----

void make_pick() {
    std::vector<int> list;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (!g_db.abilities[id].name.empty() && g_db.abilities[id].xp) list.push_back(id);
    // A fighter: strength and agility by turns, intelligence when both are capped.
    const char* wishes[] = {bot.picks_made % 2 ? "agility" : "strength", bot.picks_made % 2 ? "strength" : "agility",
                            "intelligence"};
    int choice = 0;
    for (const char* wish : wishes) {
        const int id = id_of(wish);
        if (id > 0 && ability_available(int16_t(id)) && !ability_capped(int16_t(id), 0)) {
            choice = id;
            break;
        }
    }
    const int index = std::max<int>(0, std::find(list.begin(), list.end(), choice) - list.begin());
    for (; bot.pick_cursor < index; ++bot.pick_cursor) press(key::down);
    for (; bot.pick_cursor > index; --bot.pick_cursor) press(key::up);
    press(key::ret);
    ++bot.picks_made;
}

// ---- one decision in the game ----

void leave(const std::string& failure) {
    if (bot.trace) dump_memory();
    bot.result.failure = failure;
    bot.phase = Phase::leaving;
    press(key::escape);  // saves and returns to the menu; Escape there ends the program
}

// Moving on by the game's travelling: to a monster near by to fight it, to a
// find in the view by a click, down by ">" once the game knows a way down,
// else X; when X finds nothing left, to the nearest monster in sight that
// stands in the way, or by arrows past what exploring goes round. Progress
// is a field seen, a kill, a find or another map; without it for long: stuck.
void travel_on(const std::vector<const Monster*>& monsters, auto worth_taking) {
    int fields_seen = 0;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) fields_seen += read_map_seen(g_map.map, x, y);
    const int progress = fields_seen + 1000 * hero().kills + 100000 * static_cast<int>(carried().size());
    const bool unchanged = progress == bot.last_progress && g_map.map.filename == bot.last_map;
    bot.fruitless = unchanged ? bot.fruitless + 1 : 0;
    bot.last_progress = progress;
    bot.last_map = g_map.map.filename;
    if (bot.fruitless >= 200) return leave("stuck");
    const Monster* foe = nullptr;
    for (const Monster* monster : monsters)
        if (bot.dist[monster->y][monster->x] < FAR && (!foe || bot.dist[monster->y][monster->x] < bot.dist[foe->y][foe->x]))
            foe = monster;
    if (foe && bot.dist[foe->y][foe->x] <= REACH) return step_towards({foe->x, foe->y});
    const Memory& m = seen();
    const Cell find = nearest([&](int x, int y) {
        return worth_taking(x, y) && field_effect(m.tile[y][x]) >= 0 && std::abs(x - hero().x) <= REACH &&
               std::abs(y - hero().y) <= REACH;
    });
    if (find.x >= 0 && !travel_path(TravelGoal::field, {find.x, find.y}).empty()) return click_field(find.x, find.y);
    const std::vector<MapPoint> down = travel_path(TravelGoal::way_down, {});
    if (!down.empty() && bot.fruitless < 2) {
        const MapPoint& stairs = down.back();
        if (m.tile[stairs.y][stairs.x] == 2) {
            bot.expect_pick = true;
            bot.exit = {stairs.x, stairs.y};
            bot.exit_map = g_map.map.filename;
        }
        return press(EXPLORE_DOWN_KEY);
    }
    if (bot.fruitless == 0) return press(key::x);
    // Exploring refuses to cross a found trap or hurting ground: the bot's own walk does, by arrows.
    const Cell frontier_field = nearest([&](int x, int y) { return frontier(x, y); });
    const Cell stairs = nearest([&](int x, int y) { return leads_down(m.tile[y][x]) && !leads_away(m.tile[y][x]); });
    // The field chosen stays the goal while it still is one: no going back and forth.
    const Cell& last = bot.exploring;
    const bool keep = bot.exploring_map == g_map.map.filename && last.x >= 0 && !(last == here()) &&
                      bot.dist[last.y][last.x] < FAR && (frontier(last.x, last.y) || leads_down(m.tile[last.y][last.x]) || worth_taking(last.x, last.y));
    const Cell far_find = nearest([&](int x, int y) { return worth_taking(x, y) && field_effect(m.tile[y][x]) >= 0; });
    const Cell target = keep ? last : stairs.x >= 0 ? stairs : far_find.x >= 0 ? far_find : frontier_field;
    if (target.x < 0) return leave("stuck");
    bot.exploring = target;
    bot.exploring_map = g_map.map.filename;
    ++bot.result.arrow_walks;
    step_towards(target);
}

void play() {
    if (bot.expect_pick) {
        bot.expect_pick = false;
        // Still on the stairs of the old level: the advancement screen is up.
        if (here() == bot.exit && g_map.map.filename == bot.exit_map) {
            bot.pick_cursor = 0;
            make_pick();
            return;
        }
    }
    const int movement = id_of("movement");
    if (bot.stepped && current(movement) >= maximum(movement)) ++bot.result.turns;
    bot.stepped = false;
    // Travelling takes many turns a key: the game's own count.
    if (bot.explore) bot.result.turns = hero().turns;

    observe();
    learn_route();
    bot.result.deepest = std::max(bot.result.deepest, world_level());
    const int dungeon = dungeon_here();
    const bool at_bottom = dungeon >= 0 && map_level() >= bot.dungeons[dungeon].levels;
    if (at_bottom && !bot.dungeons[dungeon].bottom) {
        bot.dungeons[dungeon].bottom = true;
        ++bot.result.bottoms;
        if (dungeon == 0) bot.result.bottom = true;
    }
    if (hero().won) {  // the last foe fell (the ending screen is up: Escape leaves it)
        bot.result.won = true;
        leave("");
        return;
    }
    if (bot.explore && bot.result.bottom) return leave("");
    // The foe of a bottom level is gone once no monster of its type is left there.
    if (at_bottom && !bot.dungeons[dungeon].done &&
        std::none_of(g_map.monsters.begin(), g_map.monsters.end(),
                     [&](const Monster& m) { return m.type == bot.dungeons[dungeon].foe; }))
        bot.dungeons[dungeon].done = true;
    bot.way_out = Cell{};
    if (dungeon >= 0 && dungeon != next_dungeon() && !at_bottom) bot.way_out = {1, 1};  // not due: back up
    if (at_bottom && bot.dungeons[dungeon].done)  // out by the bottom portal, once it has been seen
        for (int y = 0; y < N && bot.way_out.x < 0; ++y)
            for (int x = 0; x < N; ++x)
                if (seen().tile[y][x] == bot.dungeons[dungeon].portal_tile && !(Cell{x, y} == Cell{1, 1})) {
                    bot.way_out = {x, y};
                    break;
                }
    if (bot.result.turns >= bot.turn_limit) return leave("time out");

    judge_last_bolt();
    const std::vector<const Monster*> monsters = monsters_in_sight();
    find_paths();
    const int hp = id_of("hit_points");
    const int life = current(hp), life_max = maximum(hp);
    // A careless player never heals, cures or rests.
    const bool careful = !bot.careless;
    if (careful && (life * 5 <= life_max * 2 || life <= 6) && try_heal(life_max - life)) return;
    const int poison = current(id_of("poisoned"));
    if (careful && poison > 0 && (poison >= 4 || life <= 2 * poison) && try_cure()) return;

    // A monster on a neighbour field: strike it.
    for (const Cell& dir : DIRECTIONS)
        for (const Monster* monster : monsters)
            if (monster->x == hero().x + dir.x && monster->y == hero().y + dir.y) {
                press(arrow(dir.x, dir.y));
                ++bot.result.turns;
                return;
            }
    if (try_equip() || try_boost() || try_bolt(monsters)) return;

    if (try_drop_junk()) return;
    Memory& m = seen();
    // A find is worth the walk while the pack has room, or when it beats what would go to make room.
    const bool room = carried().size() < MAX_CARRIED;
    const int cheapest = room ? -1 : cheapest_carried();
    const int cheapest_value = cheapest < 0 ? INT_MAX : value(carried()[cheapest]->type);
    const auto worth_taking = [&](int x, int y) { return m.item[y][x] >= 0 && (room || m.item[y][x] > cheapest_value); };
    if (worth_taking(hero().x, hero().y)) {
        if (room) return pick_up();
        return drop(cheapest);
    }

    // Hurt and nothing in sight: to a healing field near by, or rest.
    if (careful && life * 10 < life_max * 7 && monsters.empty()) {
        const Cell spring = nearest([&](int x, int y) { return field_effect(m.tile[y][x]) > 0; }, 20);
        if (spring.x >= 0 && life * 2 < life_max) return step_towards(spring);
        press(key::e);
        ++bot.result.turns;
        return;
    }

    if (bot.explore) return travel_on(monsters, worth_taking);
    // The route: in a dungeon done (its foe fallen) straight out by its bottom
    // portal; else the finds near by first; in the town to the entrance of the
    // next dungeon; else down.
    Cell target;
    if (bot.way_out.x >= 0 && bot.dist[bot.way_out.y][bot.way_out.x] < FAR) target = bot.way_out;
    // The bottom's foe, once seen, is sought where it was last seen (no turning
    // back and forth as it steps in and out of the light).
    if (!at_bottom || bot.dungeons[dungeon].done || here() == bot.foe_at) bot.foe_at = Cell{};
    if (at_bottom && !bot.dungeons[dungeon].done)
        for (const Monster* monster : monsters)
            if (monster->type == bot.dungeons[dungeon].foe) bot.foe_at = {monster->x, monster->y};
    if (target.x < 0 && bot.foe_at.x >= 0 && bot.dist[bot.foe_at.y][bot.foe_at.x] < FAR) target = bot.foe_at;
    if (target.x < 0)
        target = nearest([&](int x, int y) { return worth_taking(x, y) && field_effect(m.tile[y][x]) >= 0; }, 12);
    const int next = next_dungeon();
    if (target.x < 0 && dungeon < 0 && next >= 0) {
        const Cell entrance = bot.dungeons[next].entrance;
        if (bot.dist[entrance.y][entrance.x] < FAR) target = entrance;
    }
    if (target.x < 0 && (dungeon < 0 || dungeon == next))
        target = nearest([&](int x, int y) { return leads_down(m.tile[y][x]) && (dungeon >= 0 || next < 0 || Cell{x, y} == bot.dungeons[next].entrance); });

    if (target.x < 0) target = nearest([&](int x, int y) { return worth_taking(x, y); });
    // Exploring, the bot keeps to the unseen corner it chose while that is still one.
    const Cell& last = bot.exploring;
    if (target.x < 0 && bot.exploring_map == g_map.map.filename && last.x >= 0 && !(last == here()) &&
        bot.dist[last.y][last.x] < FAR && frontier(last.x, last.y))
        target = last;
    if (target.x < 0) target = nearest([&](int x, int y) { return frontier(x, y); });
    if (target.x < 0) return leave("stuck");
    bot.exploring = target;
    bot.exploring_map = g_map.map.filename;
    step_towards(target);
}

void on_idle() {
    bot.key_time = headless::now() + 1;
    if (bot.trace)
        std::printf("\n%s (%d, %d) life %d turn %d [%s]:", g_map.map.filename.c_str(), hero().x, hero().y,
                    current(id_of("hit_points")), bot.result.turns, g_common.status_message.text.c_str());
    if (!hero().death_text.empty() && bot.phase != Phase::leaving) {
        leave("died: " + hero().death_text);  // the menu shows the death text
        return;
    }
    switch (bot.phase) {
        case Phase::menu:  // no saved game: the first entry starts a new game
            press(key::ret);
            bot.phase = Phase::picks;
            bot.picks_left = 3;
            return;
        case Phase::picks:
            make_pick();
            if (--bot.picks_left == 0) bot.phase = Phase::play;
            return;
        case Phase::play: play(); return;
        case Phase::leaving: press(key::escape); return;  // in the menu: the program ends
    }
}

// A screen that draws every frame never waits: when it has had no key for a
// long while, the bot has misjudged what is showing, and Escape leaves it.
void on_flip() {
    if (headless::now() < bot.key_time + 30000) return;
    bot.key_time = headless::now() + 1;
    if (++bot.rescues > 20) {
        bot.result.failure = "stuck in a screen";
        bot.phase = Phase::leaving;
    }
    press(key::escape);
}

}  // namespace

BotResult play_bot_game(const BotOptions& options) {
    bot = Bot{};
    bot.turn_limit = options.turn_limit;
    bot.trace = options.trace;
    bot.careless = options.careless;
    bot.explore = options.explore;
    headless::on_idle(on_idle);
    headless::on_flip(on_flip);
    // Should the bot ever stop giving keys, the game still ends.
    headless::set_deadline(24u * 3600u * 1000u);
    startup();
    run_main_loop();
    headless::on_idle(nullptr);
    headless::on_flip(nullptr);
    if (!bot.result.won && bot.result.failure.empty()) bot.result.failure = "the game ended";
    return bot.result;
}
