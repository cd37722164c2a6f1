// Where a program's repeats live inside a run folder: with one repeat its
// own folder, <run>/<program>/, as the study has always made it; with more,
// one folder per repeat, <run>/<program>/repeat-1/, repeat-2/, ...
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace study {

// The folder of one repeat (counted from 1), relative to the run folder;
// `repeats` is absent while the count is open (a study run until decided).
std::filesystem::path repeat_folder(std::string_view program, int repeat, std::optional<int> repeats);

// The folders of the recorded repeats of `program` in the run folder `run`,
// absolute, in repeat order: <program>/ alone when it holds a record, else
// repeat-1/, repeat-2/, ... as long as they exist. Empty when none is there.
std::vector<std::filesystem::path> recorded_repeat_folders(const std::filesystem::path& run, std::string_view program);

}  // namespace study
