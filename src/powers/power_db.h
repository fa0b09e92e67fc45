// The power database: data\powers.xml read once at start-up into
// g_db.powers, and the test whether the character may use a power.
#pragma once

// Resets the power table, reads "data\powers.xml" and resolves the ability
// names. Every fault in the file is fatal.
void load_power_db();

// Turns every ability reference given as a name (with id 0) into the id of the
// ability with that internal name.
void powers_db_resolve_names();

// 1 when the power exists and the character meets all its requirements;
// raised_ability (an ability id, or 0) is counted raise_amount higher.
bool power_available(int power_id, int raised_ability, int raise_amount);
