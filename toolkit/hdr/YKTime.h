#pragma once

#include "yk_types.h"

// Microseconds of the steady clock: only differences between two readings mean anything.
bigtime_t yk_system_time();

// Sleeps the calling thread for at least `microseconds`; zero or less returns at once.
void yk_snooze(bigtime_t microseconds);
