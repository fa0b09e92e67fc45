// Names the shipped monster and power data may use: the animations the game
// can play and the sound files it ships.
#pragma once
#include <filesystem>
#include <set>
#include <string>

#include "support/build_paths.h"

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

// The names of the sound files in game/sound (and "", no sound), read from
// the folder so that new sounds need no second list here.
inline const std::set<std::string>& shipped_sounds() {
    static const std::set<std::string> names = [] {
        std::set<std::string> found = {""};
        for (const auto& entry : std::filesystem::directory_iterator(std::string(UMBRANE_SOURCE_DIR) + "/game/sound"))
            if (entry.path().extension() == ".ogg") found.insert(entry.path().stem().string());
        return found;
    }();
    return names;
}
