#pragma once

// Clears the upper halves of the processor's AVX registers, where it has
// them. Code outside the program (Qt's drawing, at the least) can leave them
// in use, and then every SSE instruction of the C library's sin, cos, acos and
// atan2 waits on them: those become ten to twenty times slower. Long runs of
// them (a table's horizon crossings) call this first.
void clear_vector_upper_state();
