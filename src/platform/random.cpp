#include "platform/random.h"

#include <deque>
#include <random>

namespace {
std::mt19937& generator() {
    static std::mt19937 engine(1);
    return engine;
}
std::deque<int>& scripted() {
    static std::deque<int> draws;
    return draws;
}
}  // namespace

int Random(int n) {
    if (n <= 0) return 0;
    if (!scripted().empty()) {
        int value = scripted().front();
        scripted().pop_front();
        if (value < 0) value = 0;
        if (value > n) value = n;
        return value;
    }
    std::uniform_int_distribution<int> range(0, n);
    return range(generator());
}

void seed_random(uint32_t seed) {
    generator().seed(seed);
    scripted().clear();
}

void script_random(const std::vector<int>& draws) { scripted().assign(draws.begin(), draws.end()); }
