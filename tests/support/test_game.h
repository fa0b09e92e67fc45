// A fresh game folder in a temporary directory for one test, with helpers to
// write data files into it. Resets every subsystem's state and the headless
// backend, and seeds the random generator.
#pragma once
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/media.h"
#include "support/build_paths.h"
#include "common/raise_error.h"

class TempGameFolder {
public:
    TempGameFolder();
    ~TempGameFolder();
    const std::string& path() const { return path_; }
    // Write a file below the folder (logical path, backslashes allowed).
    void write(const std::string& logical_path, const std::string& content) const;
    // Write an RGB PNG picture whose pixel (x, y) has the colour colour_at(x, y).
    void write_png(const std::string& logical_path, int width, int height,
                   const std::function<Colour(int x, int y)>& colour_at) const;
    // Copy a folder of the shipped data (e.g. "data", "graphics") into this folder.
    void copy_shipped(const std::string& folder) const;
    // Copy all shipped data folders.
    void copy_all_shipped() const;

private:
    std::string path_;
};

// True when the screen shows the text at (x, y) as the game draws its lines:
// the very pixels of the text drawn alone in that font and colour on black.
// shown: the last flipped picture, else the back buffer.
bool shows_text(int x, int y, const std::string& text, int font, Colour colour, bool shown = false);

// The text of the FatalError thrown by the statement; fails the test when none is thrown.
#define EXPECT_FATAL(statement, expected_text)                                              \
    do {                                                                                    \
        try {                                                                               \
            statement;                                                                      \
            ADD_FAILURE() << "no fatal error, expected: " << (expected_text);               \
        } catch (const FatalError& fatal_error_) {                                          \
            EXPECT_EQ(std::string(fatal_error_.what()), std::string(expected_text));        \
        }                                                                                   \
    } while (0)
