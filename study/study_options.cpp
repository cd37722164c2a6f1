#include "study/study_options.hpp"

#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

#include "study/model/run_folder_layout.hpp"
#include "study/os/executable_folder.hpp"
#include "study/os/tool_console.hpp"

namespace study {
namespace {

constexpr int kUsageError = 2;

struct OptionText {
  const char* name;
  const char* value;
  const char* help;
};

constexpr OptionText kBin{"--bin", "DIR", "run the programs found in DIR (default: beside study)"};
constexpr OptionText kResults{"--results", "DIR", "make the run folder inside DIR (default: results)"};
constexpr OptionText kMemoryLimit{
    "--memory-limit", "SIZE",
    "treat at most SIZE bytes as available; K, M and G count in thousands, Ki, Mi and Gi in 1024s"};
constexpr OptionText kRepeat{"--repeat", "N", "run each program N times, interleaved across programs (default: 1)"};
constexpr OptionText kSeeds{"--seeds", "LIST", "seed repeat K with the K-th of these comma-separated numbers"};
constexpr OptionText kReplay{"--replay", "RUN_FOLDER",
                             "reuse the seeds recorded in RUN_FOLDER, per program and repeat"};
constexpr OptionText kUntilDecided{"--until-decided", "",
                                   "run the programs again, interleaved, while some verdict of theirs is undecided"};
constexpr OptionText kBudget{"--budget", "DURATION",
                             "with --until-decided, stop adding runs when the next would pass DURATION in all (e.g. "
                             "30m, 2h, 600s; default 1h)"};
// Its help names the files: {} the input, {} its hash.
constexpr OptionText kKeepInputs{"--keep-inputs", "",
                                 "keep the {} a program writes from its seed, which a complete run otherwise removes "
                                 "(its SHA-256 goes to {} either way)"};
constexpr OptionText kExplain{"--explain", "",
                              "after the runs, count the work of every sort in every cell (comparisons, moves, calls, "
                              "counter steps) on the data of each program's first complete run, into counts.csv"};
constexpr OptionText kRounds{"--rounds", "N", "run each program N times from each build (default: 3)"};
constexpr const char* kProgramsName = "PROGRAM";

std::string usage_line() {
  std::string line = "usage: study";
  for (const OptionText& option : {kBin, kResults, kMemoryLimit, kRepeat})
    line += fmt::format(" [{} {}]", option.name, option.value);
  line += fmt::format(" [{} {} | {} {} | {} [{} {}]] [{}] [{}]", kSeeds.name, kSeeds.value, kReplay.name, kReplay.value,
                      kUntilDecided.name, kBudget.name, kBudget.value, kKeepInputs.name, kExplain.name);
  return line + fmt::format(" [{}...]", kProgramsName);
}

// CLI11's help, opened by the usage line above.
class StudyHelp final : public CLI::Formatter {
 public:
  std::string make_description(const CLI::App* app) const override {
    return usage_line() + "\n" + CLI::Formatter::make_description(app);
  }
  std::string make_usage(const CLI::App*, std::string) const override { return ""; }
};

[[noreturn]] void usage_error(const std::string& message) {
  complain(fmt::format("study: {}\n{}\n", message, usage_line()));
  std::exit(kUsageError);
}

// A --seeds item: a decimal number that fits 32 bits, nothing else.
CLI::Validator seed_check() {
  return CLI::Validator(
      [](std::string& seed) {
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(seed.data(), seed.data() + seed.size(), value);
        if (error == std::errc() && end == seed.data() + seed.size() && !seed.empty()) return std::string();
        return fmt::format("takes decimal numbers from 0 to 4294967295 separated by commas, not \"{}\"", seed);
      },
      "");
}

CLI::Validator suite_program_check() {
  return CLI::Validator(
      [](std::string& name) {
        if (analysis::find_suite_program(name)) return std::string();
        return fmt::format("no program \"{}\" in the suite; the programs are {}", name,
                           analysis::suite_program_names());
      },
      "");
}

// The programs named, in their order, each once; all six when none is named.
std::vector<const analysis::SuiteProgram*> selected_programs(const std::vector<std::string>& names) {
  std::vector<const analysis::SuiteProgram*> selected;
  for (const std::string& name : names) {
    const analysis::SuiteProgram* program = analysis::find_suite_program(name);
    if (std::find(selected.begin(), selected.end(), program) != selected.end()) usage_error(name + " is named twice");
    selected.push_back(program);
  }
  if (selected.empty()) {
    for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) selected.push_back(&program);
  }
  return selected;
}

// Sets `path` from the option's text: a path taken as text on every system,
// whatever its characters are there.
std::function<void(const std::string&)> set_path(std::filesystem::path& path) {
  return [&path](const std::string& text) { path = text; };
}

void add_run_options(CLI::App& app, StudyOptions& options) {
  app.add_option_function<std::string>(kBin.name, set_path(options.programs), kBin.help)->type_name(kBin.value);
  app.add_option_function<std::string>(kResults.name, set_path(options.results), kResults.help)
      ->type_name(kResults.value);
  app.add_option(kMemoryLimit.name, options.memory_limit, kMemoryLimit.help)
      ->type_name(kMemoryLimit.value)
      ->transform(CLI::AsSizeValue(true).description(""));
  CLI::Option* repeat =
      app.add_option(kRepeat.name, options.repeats, kRepeat.help)->type_name(kRepeat.value)->check(CLI::PositiveNumber);
  CLI::Option* seeds = app.add_option(kSeeds.name, options.seeds, kSeeds.help)
                           ->type_name(kSeeds.value)
                           ->delimiter(',')
                           ->allow_extra_args(false)
                           ->check(seed_check());
  CLI::Option* replay = app.add_option_function<std::string>(kReplay.name, set_path(options.replay), kReplay.help)
                            ->type_name(kReplay.value)
                            ->excludes(seeds);
  CLI::Option* until_decided = app.add_flag(kUntilDecided.name, options.until_decided, kUntilDecided.help)
                                   ->excludes(seeds)
                                   ->excludes(replay)
                                   ->excludes(repeat);
  app.add_option(kBudget.name, options.budget_seconds, kBudget.help)
      ->type_name(kBudget.value)
      ->transform(CLI::AsNumberWithUnit(std::map<std::string, double>{{"s", 1}, {"m", 60}, {"h", 3600}},
                                        CLI::AsNumberWithUnit::UNIT_REQUIRED)
                      .description(""))
      ->check(CLI::Validator(
          [](std::string& seconds) {
            return std::stod(seconds) > 0 ? std::string() : std::string("must be longer than no time at all");
          },
          ""))
      ->needs(until_decided);
  app.add_flag(kKeepInputs.name, options.keep_inputs,
               fmt::format(fmt::runtime(kKeepInputs.help), run_files::kInputFile, run_files::kInputDigestFile));
  app.add_flag(kExplain.name, options.explain, kExplain.help);
  app.add_option_function<std::vector<std::string>>(
         kProgramsName,
         [&options](const std::vector<std::string>& names) { options.selected = selected_programs(names); },
         "programs to run, in this order")
      ->type_name("")
      ->check(suite_program_check());
}

// `study explain RUN_FOLDER`: fills `folder` when it is given.
CLI::App* add_explain_command(CLI::App& app, std::filesystem::path& folder) {
  CLI::App* command = app.add_subcommand(
      "explain",
      "count the work behind the times of a run folder already made: each program's data drawn again from its "
      "recorded seed, into counts.csv, explain.txt and results.json");
  command->add_option_function<std::string>("RUN_FOLDER", set_path(folder), "the run folder to explain")
      ->required()
      ->type_name("");
  return command;
}

// `study compare RUN_A RUN_B`: fills options.compare when it is given.
CLI::App* add_compare_command(CLI::App& app, CompareOptions& compare) {
  CLI::App* command = app.add_subcommand(
      "compare", "compare the records of two run folders cell by cell, into <results>/compare-<date>-<time>/");
  command->add_option_function<std::string>("RUN_A", set_path(compare.run_a), "the run folder taken as the base")
      ->required()
      ->type_name("");
  command->add_option_function<std::string>("RUN_B", set_path(compare.run_b), "the run folder compared with it")
      ->required()
      ->type_name("");
  command
      ->add_option_function<std::string>(kResults.name, set_path(compare.results),
                                         "make the comparison folder inside DIR (default: results)")
      ->type_name(kResults.value);
  return command;
}

// `study compare-builds BIN_A BIN_B [PROGRAM...]`: fills `builds`, and
// `options` with what applies to both builds.
CLI::App* add_builds_command(CLI::App& app, StudyOptions& options, BuildsOptions& builds) {
  CLI::App* command = app.add_subcommand(
      "compare-builds",
      "run the programs of two builds in turn (A B A B ...), round after round on the same seeds, and compare them "
      "paired by round, into <results>/builds-<date>-<time>/");
  command->add_option_function<std::string>("BIN_A", set_path(builds.bin_a), "the folder of build A, the base")
      ->required()
      ->type_name("");
  command->add_option_function<std::string>("BIN_B", set_path(builds.bin_b), "the folder of build B")
      ->required()
      ->type_name("");
  command->add_option(kRounds.name, builds.rounds, kRounds.help)->type_name(kRounds.value)->check(CLI::PositiveNumber);
  command->add_option(kSeeds.name, options.seeds, "seed round K of both builds with the K-th of these numbers")
      ->type_name(kSeeds.value)
      ->delimiter(',')
      ->allow_extra_args(false)
      ->check(seed_check());
  command
      ->add_option_function<std::string>(kResults.name, set_path(options.results),
                                         "make the run folder inside DIR (default: results)")
      ->type_name(kResults.value);
  command->add_option(kMemoryLimit.name, options.memory_limit, kMemoryLimit.help)
      ->type_name(kMemoryLimit.value)
      ->transform(CLI::AsSizeValue(true).description(""));
  command
      ->add_option_function<std::vector<std::string>>(
          kProgramsName,
          [&options](const std::vector<std::string>& names) { options.selected = selected_programs(names); },
          "programs to run, in this order")
      ->type_name("")
      ->check(suite_program_check());
  return command;
}

// The rules between the options that CLI11 cannot state.
void check_repeats_and_seeds(StudyOptions& options) {
  if (options.seeds.empty()) return;
  if (!options.repeats) options.repeats = static_cast<int>(options.seeds.size());
  if (options.seeds.size() != static_cast<std::size_t>(*options.repeats)) {
    usage_error(fmt::format("--seeds gives {} seeds for {} repeats: give one per repeat", options.seeds.size(),
                            *options.repeats));
  }
}

}  // namespace

StudyOptions parse_study_options(int argc, char** argv) {
  StudyOptions options;
  options.programs = os::executable_folder(argc > 0 ? argv[0] : nullptr).value_or(std::filesystem::path());
  CompareOptions compare;
  BuildsOptions builds;

  CLI::App app(
      "Runs the named programs (all six when none is named) one at a time, each in\n"
      "results/<date>-<time>/<program>/ (with --repeat N, in <program>/repeat-K/), with\n"
      "live progress, then writes charts, CSV, results.json, results.csv, summary.txt\n"
      "and index.html into the run folder.",
      "study");
  app.formatter(std::make_shared<StudyHelp>());
  add_run_options(app, options);
  const CLI::App* compare_command = add_compare_command(app, compare);
  const CLI::App* builds_command = add_builds_command(app, options, builds);
  std::filesystem::path explain_folder;
  const CLI::App* explain_command = add_explain_command(app, explain_folder);
  app.footer("Programs: " + analysis::suite_program_names());
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success&) {
    say(app.help());
    std::exit(0);
  } catch (const CLI::ParseError& error) {
    usage_error(error.what());
  }
  if (*explain_command) {
    options.explain_folder = std::move(explain_folder);
    return options;
  }
  if (*compare_command) {
    // `study --results DIR compare A B` makes the comparison in DIR too.
    if (compare_command->get_option(kResults.name)->count() == 0) compare.results = options.results;
    options.compare = std::move(compare);
    return options;
  }
  // Each program runs in a folder of its own, so a relative --bin must not
  // be taken from there.
  if (!options.programs.empty()) options.programs = std::filesystem::absolute(options.programs);
  if (*builds_command) {
    if (options.repeats || !options.replay.empty() || options.until_decided) {
      usage_error(fmt::format("compare-builds counts its runs with {}: it takes no {}, {} or {}", kRounds.name,
                              kRepeat.name, kReplay.name, kUntilDecided.name));
    }
    if (app.get_option(kBin.name)->count() > 0) {
      usage_error(fmt::format("compare-builds takes the folders of its two builds, not {}", kBin.name));
    }
    // Without --rounds, one round per seed given.
    if (builds_command->get_option(kRounds.name)->count() == 0 && !options.seeds.empty()) {
      builds.rounds = static_cast<int>(options.seeds.size());
    }
    builds.bin_a = std::filesystem::absolute(builds.bin_a);
    builds.bin_b = std::filesystem::absolute(builds.bin_b);
    options.repeats = builds.rounds;
    options.builds = std::move(builds);
  }
  check_repeats_and_seeds(options);
  if (options.selected.empty()) options.selected = selected_programs({});
  return options;
}

}  // namespace study
