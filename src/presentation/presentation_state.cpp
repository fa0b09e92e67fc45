#include "presentation/presentation_state.h"

PresentationState g_presentation;

void reset_presentation_state() { g_presentation = PresentationState{}; }
