// The benchmark's count of the bytes held on the heap (see heap_counter.cpp).
#pragma once

long long heap_peak_bytes();
long long heap_held_bytes();
// The peak starts again from what is held now.
void heap_peak_reset();
