#include "common/questions.h"

namespace {
PlayerQuestions g_questions;
unsigned g_cancelled_targets = 0;
}

void set_player_questions(const PlayerQuestions& questions) { g_questions = questions; }

void ask_target(TargetCursor& cursor, int range) {
    cursor.column = 6;
    cursor.row = 6;
    cursor.cancel = 1;
    if (g_questions.choose_target) g_questions.choose_target(cursor, range);
    if (cursor.cancel) ++g_cancelled_targets;
}

unsigned cancelled_targets() { return g_cancelled_targets; }

int ask_advancement(int picks, int new_character) {
    return g_questions.advancement ? g_questions.advancement(picks, new_character) : 0;
}
