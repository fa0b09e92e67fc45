// What level creation draws for the things it places.
#include <gtest/gtest.h>

#include <vector>

#include "map/level_creation.h"
#include "platform/random.h"
#include "support/test_game.h"

TEST(LevelCreation, MagicBonusCountsCoinTossesUpTo999) {
    TempGameFolder game;
    std::vector<int> tosses{1, 0, 0, 1};  // 1, then 3
    tosses.insert(tosses.end(), 999, 0);  // an endless run of zeros stops at 999 after 999 tosses
    tosses.push_back(1);                  // left for the next piece
    script_random(tosses);
    EXPECT_EQ((std::vector<int>{random_magic_bonus(), random_magic_bonus(), random_magic_bonus(), random_magic_bonus()}),
              (std::vector<int>{1, 3, 999, 1}));
}
