// Names the shipped monster and power data may use: the animations the game
// can play and the sound files it ships.
#pragma once
#include <set>
#include <string>

inline const std::set<std::string>& known_animations() {
    static const std::set<std::string> names = {
        "",
        "blue stars", "red stars", "purple stars", "green stars", "yellow stars", "aqua stars", "grey stars",
        "skull stars", "mixed stars",
        "blue circle", "red circle", "purple circle", "green circle", "yellow circle", "aqua circle", "grey circle",
        "skull circle",
        "red fireball", "blue fireball", "green fireball", "purple fireball", "lightning", "blue lightning",
        "red cloud", "green cloud", "magic shield", "battle rage",
        "fire flood", "wind flood", "cross flood"};
    return names;
}

inline const std::set<std::string>& shipped_sounds() {
    static const std::set<std::string> names = {
        "",          "oh_no", "evasion", "deathcry", "hit",     "failure",     "fireball", "frost",
        "lightning", "heal",  "magic",   "shield",   "door",    "lever",       "splash",   "burn",
        "pickup",    "drink", "eat",     "levelup",  "portal",  "stairs",      "trap",     "monster_die",
        "growl",     "hiss",  "poison",  "teleport", "sleep",   "roar"};
    return names;
}
