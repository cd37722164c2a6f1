// The file-driven duel: quicksort against counting sort on inputs that the
// program first writes to "vstup.in" and then reads back, one at a time.
#pragma once

#include <cstdint>

#include "kit/instruments.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/input_file.hpp"

namespace quickvscount {

// The whole run: obtains the arrays, writes "vstup.in" (MAKEFILE), creates
// "vystup.out", then per input reads it, times QSORT and CSORT on identical
// copies and writes the three-line report block to the console and then to
// the file. Finally it waits for one line on standard input (the end of
// input, or an input that cannot be read, ends the wait at once) and closes
// "vstup.in", then "vystup.out".
void run_file_duel(const FileDuelProgram& program, const kit::Instruments& instruments = {});

}  // namespace quickvscount
