#include "platform/strings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

std::string int_to_text(long long value) { return std::to_string(value); }

std::string float_to_text(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals < 0 ? 0 : decimals, value);
    return buffer;
}

long long text_to_int(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        base = 2;
        ++i;
    }
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        int digit;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else break;
        if (digit >= base) break;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0x7FFFFFFFFFFFull) value = 0x7FFFFFFFFFFFull;  // far beyond any game value; no overflow
    }
    long long result = static_cast<long long>(value);
    return negative ? -result : result;
}

std::string left_part(const std::string& text, int count) {
    if (count <= 0) return {};
    return text.substr(0, static_cast<size_t>(count));
}

std::string middle_part(const std::string& text, int start, int count) {
    if (start < 0) start = 0;
    if (count <= 0 || static_cast<size_t>(start) >= text.size()) return {};
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

int find_text(const std::string& text, const std::string& what, int from) {
    if (from < 0) from = 0;
    size_t p = text.find(what, static_cast<size_t>(from));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

std::string lower_case(const std::string& text) {
    std::string result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string replace_all(const std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return text;
    std::string result;
    size_t start = 0, p;
    while ((p = text.find(what, start)) != std::string::npos) {
        result.append(text, start, p - start);
        result += with;
        start = p + what.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

std::string replace_all_nocase(const std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return text;
    const std::string lowered = lower_case(text), needle = lower_case(what);
    std::string result;
    size_t start = 0, p;
    while ((p = lowered.find(needle, start)) != std::string::npos) {
        result.append(text, start, p - start);
        result += with;
        start = p + needle.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

std::string remove_all_nocase(const std::string& text, const std::string& what) {
    return replace_all_nocase(text, what, "");
}

std::string file_part(const std::string& path) {
    size_t p = path.find_last_of("\\/");
    return p == std::string::npos ? path : path.substr(p + 1);
}

int truncate_float(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(value);
}
