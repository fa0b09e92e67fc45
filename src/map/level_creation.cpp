#include "map/level_creation.h"

#include "platform/random.h"

namespace {
constexpr int kHighestMagicBonus = 999;
}

int random_magic_bonus() {
    int n = 1;
    // One coin toss for every further point; the toss is drawn before the limit is tested.
    while (Random(1) == 0 && n < kHighestMagicBonus) ++n;
    return n;
}
