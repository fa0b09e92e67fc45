#include "common/word_lists.h"

#include <vector>

namespace {

std::vector<std::string> split_words(const std::string& list, const std::string& separator) {
    std::vector<std::string> words;
    if (list.empty()) return words;
    if (separator.empty()) {
        words.push_back(list);
        return words;
    }
    size_t start = 0;
    for (;;) {
        size_t found = list.find(separator, start);
        if (found == std::string::npos) break;
        words.push_back(list.substr(start, found - start));
        start = found + separator.size();
    }
    if (start < list.size()) words.push_back(list.substr(start));
    return words;
}

}  // namespace

int lists_share_entry(const std::string& list_a, const std::string& list_b, const std::string& separator) {
    std::vector<std::string> words_a = split_words(list_a, separator);
    std::vector<std::string> words_b = split_words(list_b, separator);
    for (const std::string& a : words_a)
        for (const std::string& b : words_b)
            if (a == b) return 1;
    return 0;
}
