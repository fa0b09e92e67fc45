#include "game/state_checksum.h"

#include <string>

#include "character/character_state.h"
#include "items/items_state.h"
#include "map/map_state.h"

namespace {

// A 64-bit mix of the values added (multiply and rotate, as fast hashes do),
// folded to 32 bits: not for safety, only to tell a state from another.
class Digest {
public:
    void add(uint64_t value) {
        h_ ^= value + 0x9e3779b97f4a7c15ull + (h_ << 6) + (h_ >> 2);
        h_ *= 0xff51afd7ed558ccdull;
    }
    void add(const std::string& text) {
        add(text.size());
        uint64_t word = 0;
        int filled = 0;
        for (unsigned char c : text) {
            word = word << 8 | c;
            if (++filled == 8) {
                add(word);
                word = 0;
                filled = 0;
            }
        }
        if (filled > 0) add(word);
    }
    uint32_t value() const { return static_cast<uint32_t>(h_ ^ h_ >> 32); }

private:
    uint64_t h_ = 0x243f6a8885a308d3ull;
};

uint64_t pack(int a, int b, int c = 0, int d = 0) {
    auto u16 = [](int v) { return static_cast<uint64_t>(static_cast<uint16_t>(v)); };
    return u16(a) | u16(b) << 16 | u16(c) << 32 | u16(d) << 48;
}

uint32_t character_sum() {
    const CharacterRecord& c = g_character_model.character;
    Digest d;
    d.add(c.name);
    d.add(pack(c.x, c.y, c.facing));
    d.add(c.map_file_name);
    for (const AbilityState& a : c.abilities) {
        d.add(pack(a.ability_value, a.attribute_max_value, a.attribute_current_value, a.power_adjustment));
        d.add(pack(a.adjustment_duration, a.adjustment_power_id, a.item_bonus, a.activated));
        if (!a.adjustment_name.empty()) d.add(a.adjustment_name);
    }
    for (int k = 0; k < kCooldownCount; k += 4)
        d.add(pack(c.cooldown[k], k + 1 < kCooldownCount ? c.cooldown[k + 1] : 0,
                   k + 2 < kCooldownCount ? c.cooldown[k + 2] : 0, k + 3 < kCooldownCount ? c.cooldown[k + 3] : 0));
    d.add(static_cast<uint64_t>(static_cast<uint32_t>(c.turns)) << 32 | static_cast<uint32_t>(c.kills));
    d.add(pack(c.deepest_level, c.dungeon_levels, c.dungeon_treasure, c.won));
    d.add(pack(c.picks_waiting, 0));
    d.add(c.deepest_dungeon);
    d.add(c.power_grid);
    d.add(c.death_text);
    return d.value();
}

uint32_t map_sum() {
    const GameMap& map = g_map.map;
    Digest d;
    d.add(map.filename);
    d.add(map.name);
    d.add(pack(map.tile_outside_map, map.default_tile, map.background_tile, map.visited));
    d.add(pack(map.spawn_monster_level, map.spawn_monster_chance, map.lighting, map.walls_block_sight));
    // What turns change on a field: its tile (a transformation, a lever, a
    // trap removed), whether it is hidden, visited and seen. What an event
    // rewrites besides goes with the events' and transformations' flags below.
    for (const auto& row : map.fields)
        for (int x = 0; x < kMapSize; x += 2) {
            const MapField& a = row[x];
            const MapField& b = x + 1 < kMapSize ? row[x + 1] : row[x];
            d.add(pack(a.tile_type, a.hidden | a.visited << 4 | a.seen << 8, b.tile_type,
                       b.hidden | b.visited << 4 | b.seen << 8));
        }
    for (const MapEvent& e : g_map.events) d.add(pack(e.xp, e.triggered, static_cast<int>(e.name.size())));
    for (const Transformation& t : g_map.transformations) d.add(pack(t.x, t.y, t.tile_type, t.triggered));
    return d.value();
}

uint32_t monsters_sum() {
    Digest d;
    d.add(static_cast<uint64_t>(g_map.monsters.count()));
    for (const Monster& m : g_map.monsters) {
        d.add(pack(m.type, m.x, m.y, m.hitpoints));
        d.add(pack(m.alerted, 0));
        if (!m.status.empty()) d.add(m.status);
    }
    return d.value();
}

uint32_t items_sum() {
    Digest d;
    d.add(static_cast<uint64_t>(g_map.items.count()));
    for (const MapItem& item : g_map.items) {
        d.add(pack(item.x, item.y, item.type, item.amount));
        d.add(pack(item.fuel, item.magic_bonus));
    }
    d.add(static_cast<uint64_t>(g_items.inventory.count()));
    for (const InventoryEntry& entry : g_items.inventory) {
        d.add(pack(entry.type, entry.amount, entry.fuel, entry.magic_bonus));
        d.add(pack(entry.equipped, 0));
    }
    return d.value();
}

}  // namespace

StateChecksum state_checksum() { return {character_sum(), map_sum(), monsters_sum(), items_sum()}; }

const char* state_part_name(int part) {
    static const char* const names[kStatePartCount] = {"the character", "the map", "the monsters", "the items"};
    return part >= 0 && part < kStatePartCount ? names[part] : "the state";
}
