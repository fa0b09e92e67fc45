// The texts the game shows beyond its first 53 messages, by id in
// "data\messages.xml". Each kind of addition has a range of its own:
//   100..199  what happens in play (fights, traps, light, powers)
//   200..299  finding the way (help, key hints, history, the map, resting)
//   300..349  recorded games
//   350..399  start-up and installation
//   400..449  looking at the view
//   450..469  saving, and saved files that do not read
//   480..499  the names of keys
//   500..559  the world: the goal told at the start, the ending
//   600..639  the options screen
// Every id named here is listed in added_message_ids(), which the content
// check and the tests use to find a text missing in some language.
#pragma once
#include <vector>

namespace msg {
// 100..199: what happens in play.
// Blows of melee, both ways ([name] the monster type, [damage] the damage).
constexpr int HIT = 100;
constexpr int HIT_NO_HARM = 101;
constexpr int MISS = 102;
constexpr int KILL = 103;
constexpr int CRITICAL_KILL = 104;
constexpr int MONSTER_HITS = 105;
constexpr int MONSTER_HITS_NO_HARM = 106;
constexpr int MONSTER_MISSES = 107;
// A power striking a monster ([power] its name), or finding nothing to act on.
constexpr int POWER_HITS = 108;
constexpr int POWER_NO_HARM = 109;
constexpr int POWER_KILLS = 110;
constexpr int POWER_MISSES = 120;
constexpr int NO_MONSTER_THERE = 111;
constexpr int NO_MONSTER_IN_SIGHT = 112;
constexpr int NOTHING_FOR_POWER = 113;
constexpr int FIELD_USED_UP = 114;
// A field that hurts and has no message of its own ([field] its name).
constexpr int FIELD_HURTS = 115;
// A monster's regeneration, one hit point or several ([value]).
constexpr int REGENERATES_ONE = 116;
constexpr int REGENERATES_MANY = 117;
// A burning item running low and going out ([item] its name, [value] the turns left).
constexpr int LIGHT_LOW = 118;
constexpr int LIGHT_OUT = 119;
// Words that tell the player what happened (160..189).
// A history line repeated in a row: its count behind it ([count]).
constexpr int REPEATED = 160;
// The second line of a sneaking attempt, naming the monster ([name]).
constexpr int SNEAK_NOTICED_BY = 161;
constexpr int SNEAK_UNSEEN_BY = 162;
// The item screens: an equipped item, a light without fuel.
constexpr int ITEM_EQUIPPED = 163;
constexpr int ITEM_BURNT_OUT = 164;
// What using an item did: an ability it raised ([ability], [value]), or nothing.
constexpr int USE_GAIN = 165;
constexpr int USE_NO_EFFECT = 166;
// The end of a run: its account and the lines the death screen shows ([value],
// [map], [dungeon]).
constexpr int ACCOUNT_TITLE = 167;
constexpr int RUN_WON = 168;
constexpr int RUN_MAP = 169;
constexpr int RUN_TURNS = 170;
constexpr int RUN_KILLS = 171;
constexpr int RUN_DEEPEST = 172;
constexpr int RUN_NO_DEPTH = 173;
constexpr int ACCOUNT_ABILITIES = 174;
constexpr int ACCOUNT_INVENTORY = 175;
constexpr int ACCOUNT_MESSAGES = 176;
constexpr int RUN_WON_MESSAGE = 177;
// Advancement: picks due, picks left for later, a power that became usable,
// what the next pick comes with ([value], [power], [dungeon]).
constexpr int ADVANCEMENT_DUE = 178;
constexpr int PICKS_WAIT = 179;
constexpr int NEW_POWER = 180;
constexpr int PANEL_PICKS = 181;
constexpr int NEXT_PICK = 182;
constexpr int PICKS_COME_WITH = 183;
// end of 100..199

// 200..299: finding the way.
// The help screen's title.
constexpr int help_title = 200;
// Foot of the help and history screens: their keys.
constexpr int list_hint = 201;
constexpr int history_title = 202;
// The history before any message.
constexpr int history_empty = 203;
constexpr int map_title = 204;
constexpr int map_hint = 205;
// The legend of the map screen.
constexpr int map_you = 206;
constexpr int map_portal = 207;
constexpr int map_level_exit = 208;
constexpr int map_trap = 209;
constexpr int map_unseen = 210;
// Key hints at the foot of the screens.
constexpr int hint_inventory = 211;
constexpr int hint_item_menu = 212;
constexpr int hint_pick_up = 213;
constexpr int hint_power = 214;
constexpr int hint_target = 215;
constexpr int hint_advancement = 216;
// Resting (key R).
constexpr int rested = 217;
constexpr int monster_in_sight = 218;
// Travelling and exploring.
constexpr int nothing_to_explore = 219;
constexpr int no_way_down = 220;
constexpr int no_way_up = 221;
constexpr int no_way_there = 222;
// The help screen's lines: the keys of the game, then of each screen.
// The help's lines of exploring, travelling and looking.
constexpr int help_explore = 223;
constexpr int help_travel = 224;
constexpr int help_look = 225;
constexpr int help_heading_game = 230;
constexpr int help_walk = 231;
constexpr int help_wait = 232;
constexpr int help_rest = 233;
constexpr int help_character = 234;
constexpr int help_inventory = 235;
constexpr int help_pick_up = 236;
constexpr int help_power = 237;
constexpr int help_map = 238;
constexpr int help_history = 239;
constexpr int help_help = 240;
constexpr int help_test = 241;
constexpr int help_escape = 242;
constexpr int help_screen_mode = 243;
constexpr int help_quit = 244;
constexpr int help_no_turn = 245;
constexpr int help_heading_menu = 246;
constexpr int help_menu = 247;
constexpr int help_heading_inventory = 248;
constexpr int help_inventory_empty_cell = 249;
constexpr int help_heading_pick_up = 250;
constexpr int help_pick_up_return = 251;
constexpr int help_heading_power = 252;
constexpr int help_target_intro = 253;
constexpr int help_heading_advancement = 254;
constexpr int help_advancement_escape = 255;
constexpr int help_heading_character = 256;
constexpr int help_heading_lists = 257;
constexpr int help_lists = 258;
constexpr int help_heading_map = 259;
// The hall of fame (key H in the menu) and the key of the picks left for later.
constexpr int fame_title = 270;
constexpr int fame_empty = 271;
constexpr int fame_line = 272;
constexpr int help_menu_fame = 273;
constexpr int help_advance = 274;
// end of 200..299

// 300..349: recorded games.
// The window's title while a recording is shown: [title] the game's title, [speed] "1/4" .. "16".
constexpr int REPLAY_TITLE = 300;
constexpr int REPLAY_PAUSED_TITLE = 301;

// end of 300..349

// 350..399: start-up and installation.

// end of 350..399

// 400..409: the look screen (key K).
constexpr int look_hint = 400;
// A monster: [now] [max] hit points; [attack] [defense] [armor]; [strength] [speed].
constexpr int look_hit_points = 401;
constexpr int look_fighting = 402;
constexpr int look_damage = 403;
constexpr int look_flies = 404;
// [list] the abilities its blows may change.
constexpr int look_afflicts = 405;
// A field's slot: [ability] changed by [amount] on entering.
constexpr int look_field_effect = 406;
constexpr int look_nothing_known = 407;
// An item: [use] its use, [weight] in the weight unit.
constexpr int look_use = 408;
constexpr int look_weight = 409;
// end of 400..409

// 450..469: saving, and saved files that do not read.
// A save that could not be written; [folder] the savegame folder.
constexpr int save_disk_full = 450;
constexpr int save_not_writable = 451;
constexpr int save_tries_again = 452;
// A visited map that does not read: [file] the map, [kept] where it is kept.
constexpr int map_damaged = 453;
constexpr int map_read_afresh = 454;
// The saved game does not read at start-up: [fault] the game's own message, [kept] the folder it is kept in.
constexpr int savegame_damaged = 455;
constexpr int savegame_kept = 456;
// end of 450..469

// 480..499: the names of keys as the help and the hints write them (the keys
// themselves come from the table of commands).
constexpr int key_return = 480;
constexpr int key_escape = 481;
constexpr int key_space = 482;
constexpr int key_up = 483;
constexpr int key_down = 484;
constexpr int key_left = 485;
constexpr int key_right = 486;
constexpr int key_page_up = 487;
constexpr int key_page_down = 488;
constexpr int key_home = 489;
constexpr int key_end = 490;
constexpr int key_arrows = 491;     // the four arrows together
constexpr int key_up_down = 492;    // Up and Down together
// end of 480..499

// 500..559: the world: the goal told when a new game starts, the ending when the last foe falls.
// The opening: two lines in the band as the new game's first picture shows.
constexpr int opening_first = 500;
constexpr int opening_second = 501;
// The ending screen: its title, its story and its foot.
constexpr int ending_title = 502;
constexpr int ending_story_first = 503;
constexpr int ending_story_last = 507;
constexpr int ending_hint = 508;
// The won run: [monster] the last foe's name; its line in the hall of fame, then the band's.
constexpr int ending_cause = 509;
constexpr int ending_band = 510;
// end of 500..559
// 600..639: the options screen.
constexpr int options = 600;                // its title, and its entry in the main menu
constexpr int options_hint = 601;           // its keys, at its foot
constexpr int options_language = 602;      // [value] the language
constexpr int options_volume = 603;        // [value] the percent
constexpr int options_sound_on = 604;
constexpr int options_sound_off = 605;
constexpr int options_window = 606;        // [value] the size
constexpr int options_window_auto = 607;   // as the desktop allows
constexpr int options_reset_keys = 608;
constexpr int options_press_key = 609;     // [command] the command being bound
constexpr int options_key_taken = 610;     // [key] the key, [command] the command it serves
constexpr int options_keys_reset = 611;
constexpr int options_keys_heading = 612;
constexpr int options_gamepad_heading = 613;
constexpr int options_none = 614;          // no key, no command
constexpr int options_gamepad_hint = 615;  // at the foot, on a gamepad control
// The commands' names in the order of the table of commands, apart by "|".
constexpr int options_command_names = 620;
// The gamepad's controls in the order of the preferences' names, apart by "|".
constexpr int options_control_names = 621;
// end of 600..639
}  // namespace msg

// Every added id the game shows, in ascending order.
inline std::vector<int> added_message_ids() {
    return {
        // 100..199
        msg::HIT,
        msg::HIT_NO_HARM,
        msg::MISS,
        msg::KILL,
        msg::CRITICAL_KILL,
        msg::MONSTER_HITS,
        msg::MONSTER_HITS_NO_HARM,
        msg::MONSTER_MISSES,
        msg::POWER_HITS,
        msg::POWER_NO_HARM,
        msg::POWER_KILLS,
        msg::NO_MONSTER_THERE,
        msg::NO_MONSTER_IN_SIGHT,
        msg::NOTHING_FOR_POWER,
        msg::FIELD_USED_UP,
        msg::FIELD_HURTS,
        msg::REGENERATES_ONE,
        msg::REGENERATES_MANY,
        msg::LIGHT_LOW,
        msg::LIGHT_OUT,
        msg::POWER_MISSES,
        msg::REPEATED,
        msg::SNEAK_NOTICED_BY,
        msg::SNEAK_UNSEEN_BY,
        msg::ITEM_EQUIPPED,
        msg::ITEM_BURNT_OUT,
        msg::USE_GAIN,
        msg::USE_NO_EFFECT,
        msg::ACCOUNT_TITLE,
        msg::RUN_WON,
        msg::RUN_MAP,
        msg::RUN_TURNS,
        msg::RUN_KILLS,
        msg::RUN_DEEPEST,
        msg::RUN_NO_DEPTH,
        msg::ACCOUNT_ABILITIES,
        msg::ACCOUNT_INVENTORY,
        msg::ACCOUNT_MESSAGES,
        msg::RUN_WON_MESSAGE,
        msg::ADVANCEMENT_DUE,
        msg::PICKS_WAIT,
        msg::NEW_POWER,
        msg::PANEL_PICKS,
        msg::NEXT_PICK,
        msg::PICKS_COME_WITH,
        // end of 100..199
        // 200..299
        msg::help_title,
        msg::list_hint,
        msg::history_title,
        msg::history_empty,
        msg::map_title,
        msg::map_hint,
        msg::map_you,
        msg::map_portal,
        msg::map_level_exit,
        msg::map_trap,
        msg::map_unseen,
        msg::hint_inventory,
        msg::hint_item_menu,
        msg::hint_pick_up,
        msg::hint_power,
        msg::hint_target,
        msg::hint_advancement,
        msg::rested,
        msg::monster_in_sight,
        msg::nothing_to_explore,
        msg::no_way_down,
        msg::no_way_up,
        msg::no_way_there,
        msg::help_explore,
        msg::help_travel,
        msg::help_look,
        msg::help_heading_game,
        msg::help_walk,
        msg::help_wait,
        msg::help_rest,
        msg::help_character,
        msg::help_inventory,
        msg::help_pick_up,
        msg::help_power,
        msg::help_map,
        msg::help_history,
        msg::help_help,
        msg::help_test,
        msg::help_escape,
        msg::help_screen_mode,
        msg::help_quit,
        msg::help_no_turn,
        msg::help_heading_menu,
        msg::help_menu,
        msg::help_heading_inventory,
        msg::help_inventory_empty_cell,
        msg::help_heading_pick_up,
        msg::help_pick_up_return,
        msg::help_heading_power,
        msg::help_target_intro,
        msg::help_heading_advancement,
        msg::help_advancement_escape,
        msg::help_heading_character,
        msg::help_heading_lists,
        msg::help_lists,
        msg::help_heading_map,
        msg::fame_title,
        msg::fame_empty,
        msg::fame_line,
        msg::help_menu_fame,
        msg::help_advance,
        // end of 200..299
        // 300..349
        msg::REPLAY_TITLE, msg::REPLAY_PAUSED_TITLE,

        // end of 300..349
        // 350..399

        // end of 350..399
        // 400..409
        msg::look_hint,
        msg::look_hit_points,
        msg::look_fighting,
        msg::look_damage,
        msg::look_flies,
        msg::look_afflicts,
        msg::look_field_effect,
        msg::look_nothing_known,
        msg::look_use,
        msg::look_weight,
        // end of 400..409
        // 450..469
        msg::save_disk_full,
        msg::save_not_writable,
        msg::save_tries_again,
        msg::map_damaged,
        msg::map_read_afresh,
        msg::savegame_damaged,
        msg::savegame_kept,
        // end of 450..469
        // 480..499
        msg::key_return, msg::key_escape, msg::key_space, msg::key_up, msg::key_down, msg::key_left,
        msg::key_right, msg::key_page_up, msg::key_page_down, msg::key_home, msg::key_end, msg::key_arrows,
        msg::key_up_down,
        // end of 480..499
        // 500..559
        msg::opening_first, msg::opening_second, msg::ending_title, msg::ending_story_first, 504, 505, 506,
        msg::ending_story_last, msg::ending_hint, msg::ending_cause, msg::ending_band,
        // end of 500..559
        // 600..639
        msg::options, msg::options_hint, msg::options_language, msg::options_volume, msg::options_sound_on,
        msg::options_sound_off, msg::options_window, msg::options_window_auto, msg::options_reset_keys,
        msg::options_press_key, msg::options_key_taken, msg::options_keys_reset, msg::options_keys_heading,
        msg::options_gamepad_heading, msg::options_none, msg::options_gamepad_hint, msg::options_command_names,
        msg::options_control_names,
        // end of 600..639
    };
}
