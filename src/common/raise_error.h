// Fatal errors. Every loader and every id or position check ends the program
// through raise_error with one exact text; main() catches the exception,
// prints "Error: " + text on standard error, shows the "Error" message box and
// exits with status 1. Nothing is saved on that path. Tests catch FatalError
// and compare what() exactly.
#pragma once
#include <stdexcept>
#include <string>

struct FatalError : std::runtime_error {
    explicit FatalError(const std::string& text) : std::runtime_error(text) {}
};

[[noreturn]] void raise_error(const std::string& text);
