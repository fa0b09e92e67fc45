#include "common/raise_error.h"

void raise_error(const std::string& text) { throw FatalError(text); }
