// The tools' console. A console that has gone away (a closed pipe) must not
// keep a tool from finishing its files, so failures to print are ignored.
#pragma once

#include <string_view>

namespace study {

// Ignores SIGPIPE and occupies closed standard streams with /dev/null, so
// no file or pipe the tool opens later can take their numbers.
void prepare_tool_process();

// Standard output.
void say(std::string_view text);

// Standard error, after whatever standard output still holds.
void complain(std::string_view text);

}  // namespace study
