// The command line of study:
//   study [--bin DIR] [--results DIR] [--memory-limit SIZE] [--repeat N]
//         [--seeds LIST | --replay RUN_FOLDER] [--keep-inputs] [PROGRAM...]
//   study compare RUN_A RUN_B [--results DIR]
//   study compare-builds BIN_A BIN_B [--rounds N] [--seeds LIST] [--results DIR]
//         [--memory-limit SIZE] [PROGRAM...]
#pragma once

#include "study/session/session_options.hpp"

namespace study {

// Prints the help and exits 0 after --help; says what is wrong, prints the
// usage line and exits 2 on a command line it cannot take.
StudyOptions parse_study_options(int argc, char** argv);

}  // namespace study
