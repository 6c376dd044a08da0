#pragma once

// Sets the process's memory allocator up for rendering frames. Called first thing by the
// programs' main functions (and by the benchmarks standing for them), never implicitly.
void yk_tune_allocator();
