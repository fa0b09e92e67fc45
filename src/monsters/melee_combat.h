// Melee combat: the character striking a monster it walks into, a monster
// striking the character from a neighbour field, damage buffers and the death
// of monsters. Everything the character brings comes from abilities with
// combat flags; everything a monster brings comes from its type. Blows are
// shown at once on the map view, each picture held for 250 ms.
#pragma once
#include <cstdint>

struct GameMap;

// Sums of the current values of the abilities with a combat flag (16 bits).
int16_t defense_total();  // "defense_melee"
int16_t armor_total();    // "armor"
// "backstab"; with only_activated 1 only the abilities switched on count.
int16_t backstab_total(int only_activated);
// "sneaking", like backstab_total, but held in 8 bits (signed).
int8_t sneaking_total(int only_activated);

// Every "damage_in_melee" ability's value plus a roll up to its randomizer's value.
int16_t melee_damage_roll();
// Random(armor_total) when the armour is above 0, else 0.
int16_t armor_roll();

// The character attacks the (last) monster on field (x, y); nothing when none stands there.
void melee_attack_monster(GameMap& map, int x, int y);
// The (last) monster on field (x, y) strikes the character; nothing when none stands there.
void monster_melee_attack(int x, int y);
// What is left of a blow after the damage buffers: the first buffer holding
// any points takes the whole blow.
int16_t absorb_damage(int16_t damage);
// Deletes the monsters without hit points, with the skill gains of each kill;
// returns how many died.
int remove_dead_monsters();
