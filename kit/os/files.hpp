// Files and standard streams. Every failed operation returns the error
// number the runtime-error report shows: 2 for a missing file, 3 for a
// missing path, 5 for any kind of refused access, else the system's own
// number for the failure (9 for a stream that is not open, 28 for a full
// device, 32 for a pipe whose reader has gone, ...). 0 is success.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kit::os {

// A file or standard stream, as the system names it; only this layer looks
// inside. kNoFile stands for no file at all, and every operation on it fails.
enum class File : std::intptr_t {};
inline constexpr File kNoFile{-1};

struct Opened {
  File file = kNoFile;  // kNoFile when the open failed
  int error = 0;
};

struct ReadOutcome {
  std::size_t bytes = 0;  // 0 at the end of the file
  int error = 0;
};

// Creates a file for writing, or empties an existing one; a relative name
// is taken from the current directory.
Opened create_for_writing(const char* name);
Opened open_for_reading(const char* name);

// Reads at most `capacity` bytes into `into`; an interrupted read is taken again.
ReadOutcome read(File file, char* into, std::size_t capacity);

// Writes all of `size` bytes, in one write of the system wherever it takes
// them all (a console statement arrives whole), and returns 0 or the error
// of the first write that failed.
int write_all(File file, const char* data, std::size_t size);

// Closes the file. The file is gone afterwards even when closing reports an error.
int close(File file);

File standard_input();
File standard_output();
File standard_error();

}  // namespace kit::os
