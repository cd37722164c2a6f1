// The files the programs write and read in their current directory. The
// tools read them under the same names, from here.
#pragma once

namespace kit {

// The results of every program: its tables or report blocks.
inline constexpr const char* kResultsFileName = "vystup.out";

// tallyduel's inputs, written by MAKEFILE and read back by the duel.
inline constexpr const char* kInputFileName = "vstup.in";

}  // namespace kit
