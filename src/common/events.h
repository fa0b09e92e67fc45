// What the rules tell: a blow, a monster's step, an animation, a fade, a
// picture held for a moment, a sound. A rule tells an event and goes on; the
// event player of the presentation (installed by reset_game_state) plays it at
// once with its pictures, sounds and waits, before the rule takes its next
// step and before the next command is taken. So the rules never draw, flip or
// wait, and a test can watch what they tell instead of what is drawn.
#pragma once
#include <string>
#include <variant>

struct Monster;

namespace event {

// How long a blow's picture stays, and the picture after it.
constexpr int BLOW_HOLD_MS = 250;

// The game picture drawn anew, then held for hold_ms (0: shown, not held).
struct Picture {
    int hold_ms = 0;
};

// What marks the cell a blow fell on.
enum class Mark { none, fx_icon, blood };

// A blow: the game picture (the character's figure lifted by character_shift
// pixels), the mark on the view cell (column, row) with the damage on it when
// numbered, shown and held for the blow's time.
struct Blow {
    int column = 0, row = 0;
    Mark mark = Mark::none;
    int icon = 0;  // the effects sheet's cell of an fx_icon mark
    bool numbered = false;
    int number = 0;
    int character_shift = 0;
};

// A monster in sight slides one field in (dx, dy) over 16 pictures, then the
// picture is held. The monster's place changes afterwards, by the rule.
struct MonsterStep {
    Monster* monster = nullptr;
    int dx = 0, dy = 0;
};

// The character's step of one field in (dx, dy): the view scrolls over 15
// pictures while the figure walks. The rule moves the character first when
// the step goes right or down (the view scrolls in from behind), last otherwise.
struct CharacterStep {
    int dx = 0, dy = 0;
};

// A named animation of the data on view cell (column, row); value is the
// number the icon animations show.
struct Animation {
    std::string name;
    int column = 0, row = 0;
    int value = 0;
};

// A ring of sparkles of a colour (0..7) turning around a view cell.
struct Ring {
    int colour = 0, column = 0, row = 0;
};

// The map view darkening (out) or brightening (in).
struct Fade {
    bool in = false;
};

// Every sound of the sound table with that name.
struct Sound {
    std::string name;
};

}  // namespace event

using Event = std::variant<event::Picture, event::Blow, event::MonsterStep, event::CharacterStep, event::Animation,
                           event::Ring, event::Fade, event::Sound>;

// Tells the event to whoever plays them; without a player it passes unseen.
void tell(const Event& happening);
// The procedure that plays every event from now on (nullptr: none).
void set_event_player(void (*player)(const Event&));
