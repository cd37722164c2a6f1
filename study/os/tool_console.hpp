// The tools' console. A console that has gone away (a closed pipe) must not
// keep a tool from finishing its files, so failures to print are ignored.
#pragma once

#include <string_view>

namespace study {

// Lets writes to a console that has gone away fail instead of ending the
// tool, and occupies closed standard streams, so no file or pipe the tool
// opens later can take their place (os/console.hpp).
void prepare_tool_process();

// Standard output.
void say(std::string_view text);

// Standard error, after whatever standard output still holds.
void complain(std::string_view text);

}  // namespace study
