// The process itself: what it sets up before its first file operation, and
// how it ends when a failure stops it.
#pragma once

namespace kit::os {

// A write into a pipe whose reader has gone fails with error 32 instead of
// ending the process without a report.
void ignore_broken_pipes() noexcept;

// Occupies every closed standard stream, so no file opened later can take
// its place. An occupied stream keeps failing on use, like a closed one.
void occupy_closed_standard_streams() noexcept;

// Ends the process at once with `status`: open files are neither flushed
// nor closed, and no destructor or exit handler runs.
[[noreturn]] void end_process(int status) noexcept;

}  // namespace kit::os
