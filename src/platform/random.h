// One seedable generator for the whole game: the game seeds it from the clock,
// tests seed it (or script its draws).
#pragma once
#include <cstdint>
#include <vector>

// A uniform integer 0..n inclusive (0 when n <= 0).
int Random(int n);
void seed_random(uint32_t seed);
// Tests: the next draws return these values (each limited to 0..n of its call)
// before the generator takes over again.
void script_random(const std::vector<int>& draws);
