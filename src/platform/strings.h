// String services of the media layer.
#pragma once
#include <cstdint>
#include <string>

std::string int_to_text(long long value);
std::string float_to_text(double value, int decimals);
// Decimal integer; a leading "$" reads hexadecimal and "%" binary. Leading
// blanks and a sign are allowed; text that is no number gives 0; reading stops
// at the first character that is not a digit ("12ab" reads 12).
long long text_to_int(const std::string& text);
std::string left_part(const std::string& text, int count);
std::string middle_part(const std::string& text, int start, int count);  // start is 0-based
int find_text(const std::string& text, const std::string& what, int from = 0);  // -1 when absent
std::string replace_all(const std::string& text, const std::string& what, const std::string& with);
std::string replace_all_nocase(const std::string& text, const std::string& what, const std::string& with);
std::string remove_all_nocase(const std::string& text, const std::string& what);
// The file part of a path: the text after the last backslash or slash.
std::string file_part(const std::string& path);
int truncate_float(double value);
std::string lower_case(const std::string& text);
// The text between double quotes, as the game's messages name files, tags and values.
std::string quoted(const std::string& text);
// A data file's flag: set exactly for the value "yes".
inline int8_t yes_flag(const std::string& value) { return value == "yes" ? 1 : 0; }

// Game values are signed 16-bit; sums and products are formed wider and
// stored back keeping the low 16 bits.
inline int16_t wrap16(long long value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
inline int8_t wrap8(long long value) { return static_cast<int8_t>(static_cast<uint8_t>(value & 0xFF)); }
