// The tool's own standard streams and console.
#pragma once

namespace study::os {

// Before the tool's first output: a console that goes away (a closed pipe)
// makes writes fail instead of ending the tool, and every closed standard
// stream is occupied by an empty one, so no file opened later takes its
// place.
void prepare_console();

// Standard output is a terminal, where a status line can redraw itself.
bool standard_output_is_terminal();

}  // namespace study::os
