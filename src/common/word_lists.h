// Word lists: classes of monsters, items, tiles and damage, status words and
// the powers used on a field are words joined by "|".
#pragma once
#include <string>

// 1 when two word lists split at the separator have a word in common. Each
// piece before a separator is a word (also an empty one); the rest after the
// last separator is a word only when it is not empty.
int lists_share_entry(const std::string& list_a, const std::string& list_b, const std::string& separator);
