// study [--bin DIR] [--results DIR] [--memory-limit SIZE] [PROGRAM...]
// Runs the programs of the suite one after another, each in its own folder
// of a new run folder results/<date>-<time>/, shows their progress, charts
// their results and ends with a summary and index.html.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "kit/runtime_error.hpp"
#include "study/chart_job.hpp"
#include "study/output_files.hpp"
#include "study/study_environment.hpp"
#include "study/study_pages.hpp"
#include "study/study_runner.hpp"
#include "study/suite_programs.hpp"

namespace {

using study::ProgramReport;
using study::ProgramState;

constexpr int kExitInterrupted = 130;
constexpr std::size_t kBarWidth = 24;

struct Options {
  std::filesystem::path programs;
  std::filesystem::path results = "results";
  std::optional<std::int64_t> memory_limit;
  std::vector<const study::SuiteProgram*> selected;
};

[[noreturn]] void usage_error(const std::string& message) {
  std::fprintf(stderr, "study: %s\n", message.c_str());
  std::fputs("usage: study [--bin DIR] [--results DIR] [--memory-limit SIZE] [PROGRAM...]\n", stderr);
  std::exit(2);
}

std::optional<std::int64_t> parse_size(std::string text) {
  std::int64_t scale = 1;
  while (!text.empty() && (text.back() == 'B' || text.back() == 'b')) text.pop_back();
  if (!text.empty() && std::isalpha(static_cast<unsigned char>(text.back()))) {
    switch (std::toupper(static_cast<unsigned char>(text.back()))) {
      case 'K':
        scale = 1000;
        break;
      case 'M':
        scale = 1000 * 1000;
        break;
      case 'G':
        scale = 1000 * 1000 * 1000;
        break;
      default:
        return std::nullopt;
    }
    text.pop_back();
  }
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) {
    return std::nullopt;
  }
  return std::stoll(text) * scale;
}

Options parse_options(int argc, char** argv) {
  Options options;
  std::error_code error;
  options.programs = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage_error(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--help" || argument == "-h") {
      std::printf(
          "usage: study [--bin DIR] [--results DIR] [--memory-limit SIZE] [PROGRAM...]\n"
          "Runs the named programs (all six when none is named) one at a time, each in\n"
          "results/<date>-<time>/<program>/, with live progress, then writes charts, CSV,\n"
          "summary.txt and index.html into the run folder.\n"
          "  --bin DIR           run the programs found in DIR (default: beside study)\n"
          "  --results DIR       make the run folder inside DIR (default: results)\n"
          "  --memory-limit SIZE treat at most SIZE bytes (suffix K, M or G) as available\n"
          "Programs: smallsix smallfive tallyduel tallygrid cutoffwide cutoffnarrow\n");
      std::exit(0);
    } else if (argument == "--bin") {
      options.programs = value();
    } else if (argument == "--results") {
      options.results = value();
    } else if (argument == "--memory-limit") {
      const std::string text = value();
      options.memory_limit = parse_size(text);
      if (!options.memory_limit) usage_error("--memory-limit expects a size such as 2000M or 2G, not \"" + text + "\"");
    } else if (argument.starts_with("-")) {
      usage_error("unknown option " + argument);
    } else {
      const study::SuiteProgram* program = study::find_suite_program(argument);
      if (!program) {
        usage_error("no program \"" + argument +
                    "\" in the suite; the programs are smallsix smallfive tallyduel tallygrid cutoffwide "
                    "cutoffnarrow");
      }
      for (const study::SuiteProgram* chosen : options.selected) {
        if (chosen == program) usage_error(argument + " is named twice");
      }
      options.selected.push_back(program);
    }
  }
  if (options.selected.empty()) {
    for (const study::SuiteProgram& program : study::suite_programs()) options.selected.push_back(&program);
  }
  return options;
}

// results/<date>-<time>, or with -2, -3, ... when a study started in the same second.
std::filesystem::path make_run_folder(const std::filesystem::path& results) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> name{};
  std::strftime(name.data(), name.size(), "%Y-%m-%d-%H%M%S", &local);
  std::error_code error;
  std::filesystem::create_directories(results, error);
  for (int attempt = 1;; ++attempt) {
    std::filesystem::path folder =
        results / (std::string(name.data()) + (attempt > 1 ? "-" + std::to_string(attempt) : ""));
    if (std::filesystem::create_directory(folder, error)) return folder;
    if (error) {
      std::fprintf(stderr, "study: cannot create the run folder %s: %s\n", folder.c_str(), error.message().c_str());
      std::exit(1);
    }
  }
}

class StatusLine {
 public:
  explicit StatusLine(bool terminal) : terminal_(terminal) {}

  void show(const study::SuiteProgram& program, int steps, double elapsed, std::string_view state = {}) {
    const int total = program.progress_steps;
    const auto filled = static_cast<std::size_t>(kBarWidth * static_cast<std::size_t>(std::min(steps, total)) /
                                                 static_cast<std::size_t>(total));
    std::array<char, 64> count{};
    std::snprintf(count.data(), count.size(), "%3d/%-3d", steps, total);
    std::string line = "  " + std::string(program.name);
    line.resize(16, ' ');
    line += "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + count.data() + "  " +
            study::clock_text(elapsed);
    if (!state.empty()) line += "  " + std::string(state);
    if (terminal_) {
      std::printf("\r\033[K%s%s", line.c_str(), state.empty() ? "" : "\n");
    } else if (steps != last_steps_ || !state.empty()) {
      std::printf("%s\n", line.c_str());
    }
    last_steps_ = state.empty() ? steps : -1;
    std::fflush(stdout);
  }

 private:
  bool terminal_;
  int last_steps_ = -1;
};

std::string relative_name(const std::filesystem::path& path) { return path.filename().string(); }

// Reads and charts the program's results; fills the report's figures.
void collect_results(ProgramReport& report, const std::filesystem::path& folder) {
  const std::filesystem::path results = folder / "vystup.out";
  if (!std::filesystem::exists(results)) {
    if (report.detail.empty()) report.detail = "it wrote no vystup.out";
    if (report.state == ProgramState::completed) report.state = ProgramState::failed;
    return;
  }
  study::FileText text = study::read_whole_file(results);
  if (text.text && text.text->size() < (1 << 20)) report.results_text = *text.text;
  const study::ChartJob job = study::chart_results_file(results);
  if (!job.ok) {
    if (report.detail.empty()) report.detail = job.message;
    if (report.state == ProgramState::completed) report.state = ProgramState::failed;
    return;
  }
  report.cell_hundredths = job.result->total_hundredths();
  for (const auto& path : job.written) {
    if (path.extension() == ".svg") report.charts.push_back(relative_name(path));
    if (path.extension() == ".csv") report.csv = relative_name(path);
  }
}

std::string names_in_state(const std::vector<ProgramReport>& reports, ProgramState state) {
  std::string names;
  for (const ProgramReport& report : reports) {
    if (report.state == state) names += (names.empty() ? "" : ", ") + std::string(report.program->name);
  }
  return names.empty() ? "none" : names;
}

}  // namespace

int main(int argc, char** argv) {
  kit::prepare_process();
  kit::ActiveRoutine routine("study");
  const Options options = parse_options(argc, argv);
  study::InterruptWatch interrupts;

  const study::BuildInfo build = study::read_build_info(options.programs);
  const std::vector<std::string> warnings = study::build_warnings(build);
  const study::Context context = study::gather_context(build, options.programs);
  const std::filesystem::path run_folder = make_run_folder(options.results);
  study::write_file_atomically(run_folder / "context.txt", study::context_text(context));

  std::printf("study: run folder %s\n", run_folder.c_str());
  for (const auto& [key, value] : context) std::printf("  %s: %s\n", key.c_str(), value.c_str());
  for (const std::string& warning : warnings) std::printf("study: WARNING: %s\n", warning.c_str());
  std::fflush(stdout);

  std::vector<ProgramReport> reports;
  for (const study::SuiteProgram* program : options.selected) {
    ProgramReport report;
    report.program = program;
    reports.push_back(std::move(report));
  }
  study::IndexPage page;
  page.run_name = run_folder.filename().string();
  page.context = context;
  page.warnings = warnings;
  const auto write_pages = [&] {
    page.reports = reports;
    page.summary = study::summary_text(reports);
    study::write_file_atomically(run_folder / "summary.txt", page.summary);
    study::write_file_atomically(run_folder / "index.html", study::index_html(page));
  };
  write_pages();

  const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  StatusLine status(terminal);
  for (ProgramReport& report : reports) {
    interrupts.take();
    if (interrupts.interrupted()) break;
    const study::SuiteProgram& program = *report.program;
    const std::filesystem::path executable = options.programs / program.name;
    if (::access(executable.c_str(), X_OK) != 0) {
      report.state = ProgramState::missing;
      report.status = "missing";
      report.detail = "no executable " + executable.string() + " (build it first)";
      std::printf("  %-14sMISSING: %s\n", std::string(program.name).c_str(), report.detail.c_str());
      write_pages();
      continue;
    }
    const std::int64_t needed = program.array_bytes + study::kProgramOverheadBytes;
    const study::MemoryBudget budget = study::available_memory(options.memory_limit);
    if (needed > budget.bytes) {
      report.state = ProgramState::refused;
      report.status = "refused";
      report.detail =
          "not started: it needs " + study::megabytes(needed) + " (" + study::with_thousands(program.array_bytes) +
          " bytes of arrays and " + study::megabytes(study::kProgramOverheadBytes) + " for the program), but only " +
          study::megabytes(std::max<std::int64_t>(budget.bytes, 0)) + " are available (" + budget.source + ")";
      std::printf("  %-14sREFUSED: %s\n", std::string(program.name).c_str(), report.detail.c_str());
      write_pages();
      continue;
    }

    const std::filesystem::path folder = run_folder / program.name;
    std::filesystem::create_directory(folder);
    const study::RunOutcome outcome = study::run_suite_program(
        executable, program, folder, interrupts,
        [&](int steps, double elapsed) { status.show(program, steps, elapsed); }, terminal);

    report.wall_seconds = outcome.wall_seconds;
    report.peak_resident_bytes = outcome.peak_resident_bytes;
    report.steps = outcome.steps;
    report.status = outcome.exited ? std::to_string(outcome.exit_status) : "signal " + std::to_string(outcome.signal);
    report.detail = outcome.runtime_error;
    const bool clean_exit = outcome.exited && outcome.exit_status == 0;
    report.state = clean_exit            ? ProgramState::completed
                   : outcome.interrupted ? ProgramState::stopped
                                         : ProgramState::failed;
    if (report.detail.empty() && !clean_exit) {
      report.detail = outcome.interrupted ? "stopped by Ctrl-C"
                      : outcome.exited    ? "ended with exit status " + std::to_string(outcome.exit_status)
                                          : "ended by signal " + std::to_string(outcome.signal) + " (" +
                                             strsignal(outcome.signal) + ")";
    }
    collect_results(report, folder);
    const std::string ending = report.state == ProgramState::completed ? "done"
                               : report.state == ProgramState::stopped ? "STOPPED"
                                                                       : "FAILED: " + report.detail;
    status.show(program, outcome.steps, outcome.wall_seconds, ending);
    write_pages();
  }

  interrupts.take();
  page.interrupted = interrupts.interrupted();
  page.finished = true;
  write_pages();
  std::printf("\n%s", page.summary.c_str());
  std::printf("\nResults, charts and index.html: %s\n", run_folder.c_str());
  if (page.interrupted) {
    std::printf("Interrupted. Complete results: %s. Stopped: %s. Not started: %s.\n",
                names_in_state(reports, ProgramState::completed).c_str(),
                names_in_state(reports, ProgramState::stopped).c_str(),
                names_in_state(reports, ProgramState::not_started).c_str());
    std::fflush(stdout);
    return kExitInterrupted;
  }
  for (const ProgramReport& report : reports) {
    if (report.state != ProgramState::completed) return 1;
  }
  return 0;
}
