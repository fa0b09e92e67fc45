// Preferences ("config\preferences.xml") and the built-in key bindings.
#pragma once
#include <string>

#include "platform/gamepad.h"
#include "platform/xml_format.h"

#include "common/commands.h"
#include "common/common_state.h"

// Fills the key binding table with its built-in contents (the keys of the
// commands now, which the file may have changed).
void set_default_key_bindings();
// Sets the defaults and the key bindings, then reads the file: its attributes,
// and in its children the commands bound to other keys and the gamepad's
// controls that serve other commands. Then puts the sound volume and the
// gamepad's keys in force (apply_preferences).
void load_preferences(Preferences& preferences, const std::string& file_name);
// Writes the record (root Umbrane_Preferences, six attributes, those added
// since where they differ from their defaults) and, as children, every command
// whose keys differ from its defaults and every gamepad control that serves
// another command than at first.
void save_preferences(const Preferences& preferences, const std::string& file_name);
// The sound volume (none when muted), the window scale for the next window
// and the keys each gamepad control acts as (the first key of its command, an
// Alt chord left out).
void apply_preferences(const Preferences& preferences);

// The command each gamepad control serves (Command::none: nothing). At first
// the d-pad and the left stick walk, A confirms, B cancels, start saves and
// returns to the menu, the shoulders open the inventory (left) and the powers.
Command gamepad_command(PadControl control);
void set_gamepad_command(PadControl control, Command command);
void reset_gamepad_commands();
// The control's name in the preferences file ("a", "left_shoulder", "stick_up").
const char* pad_control_name(PadControl control);

// A command's keys as the preferences file writes them: scan codes apart by
// spaces, an Alt chord as "alt+" and the code ("200 alt+28"); and read back
// (false when a word is neither).
std::string key_list_text(const std::vector<KeyChord>& keys);
bool read_key_list(const std::string& text, std::vector<KeyChord>& keys);

// The preferences file's attributes, from the table it is read and written with.
const XmlFileFormat& preferences_file_format();
