// The options screen, from the main menu: the language, the sound's volume and
// muting, the window's size, the keys of every command and the command each
// gamepad control serves. Every change takes effect at once; closing the
// screen saves the preferences.
#pragma once
#include <string>
#include <vector>

#include "common/commands.h"
#include "platform/gamepad.h"
#include "screens/screen_stack.h"
#include "screens/text_list_screen.h"

class OptionsScreen {
public:
    enum class RowKind { language, volume, sound, window, reset_keys, heading, command, pad_control };
    struct Row {
        RowKind kind = RowKind::heading;
        Command command = Command::none;          // of a command's row
        PadControl control = PadControl::count;  // of a gamepad control's row
        int heading = 0;                          // the message of a heading
    };
    // The largest window scale offered (beyond it: automatic again).
    static constexpr int kMaxWindowScale = 6;

    OptionsScreen();

    // A command of the screens: up and down (page up, page down, first, last)
    // choose a row, left and right change its value, confirm changes it or
    // starts the rebinding of a command, cancel ends the rebinding or closes
    // the screen (saving the preferences).
    void take(Command command);
    // A key pressed while a command waits for its new key (capturing()): the
    // command gets that key alone, unless another command of its context has
    // it already; the band then says which.
    void take_key(const KeyChord& chord);
    bool capturing() const { return capturing_; }
    bool closed() const { return closed_; }

    // The rows as the screen shows them, one line each (the chosen one marked).
    std::vector<TextLine> lines() const;
    const std::vector<Row>& rows() const { return rows_; }
    int selected() const { return selected_; }
    // The word in the band (a key refused, the keys reset); empty for none.
    const std::string& notice() const { return notice_; }
    // The hint at the foot: the notice, or the keys of the chosen row.
    std::string footer() const;
    void draw() const;

private:
    void move(int rows);
    void change(int step);
    void switch_language();

    std::vector<Row> rows_;
    int selected_ = 0;
    int top_ = 0;  // the first row shown
    bool capturing_ = false;
    bool closed_ = false;
    std::string notice_;
};

// The name of a command as the options screen shows it, in the player's language.
std::string command_label(Command command);
// The name of a gamepad control as the options screen shows it.
std::string pad_control_label(PadControl control);

// The options screen on the screen stack: the keys of a pass become its
// commands (or, while it waits for one, the new key of a command). Closing the
// window saves the preferences and ends the game.
class OptionsStackScreen : public Screen {
public:
    OptionsStackScreen();
    bool open() override;
    void take(WindowEvent event) override;
    bool draw() override;
    bool idle() const override { return !input_; }

private:
    OptionsScreen screen_;
    bool input_ = false;  // the pass changed something: the screen draws again
};
