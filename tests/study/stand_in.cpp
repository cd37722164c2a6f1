// study_stand_in: a program of the suite in the study's tests, on every
// system. Copied into a test's bin/ folder under a program's name, it
// follows the script of that name beside it (bin/smallsix.script for
// bin/smallsix[.exe]), one command a line; the last word of a command takes
// the rest of its line. NAME is a file beside the stand-in, PATH one in
// the folder it runs in.
//   print TEXT             writes TEXT, with \r, \n and \\ as in C
//   count N TEXT           writes TEXT N times, %d the count from 1
//   show NAME              writes NAME's bytes
//   copy NAME PATH         writes NAME's bytes into PATH
//   touch PATH             creates PATH empty
//   mkdir PATH             creates the folder PATH
//   read-line              reads a line of standard input, or its end
//   ignore-interrupts      lives through Ctrl-C (SIGINT; Ctrl-C and Ctrl-Break)
//   sleep SECONDS
//   write-pid PATH         writes its process number into PATH
//   hold-memory MIB        holds MIB mebibytes resident until it ends
//   fill-disk-leaving BYTES  fills the folder's file system but for BYTES
//   record NAME [LINES]    writes NAME (its first LINES lines) to
//                          $SORTBENCH_RECORD, @SEED@ replaced by
//                          $SORTBENCH_SEED (4242 without one)
//   if-seed SEED COMMAND   runs COMMAND when $SORTBENCH_SEED is SEED
//   seeded-file BYTES PATH writes BYTES bytes into PATH drawn from
//                          $SORTBENCH_SEED (4242 without one), as tallyduel
//                          draws its vstup.in: the same seed, the same bytes
//   exit STATUS
// A command it does not know ends it with status 99, naming the command.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

fs::path own_folder;
std::vector<std::vector<unsigned char>> held;

std::string file_bytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "stand-in: cannot read %s\n", path.string().c_str());
    std::exit(98);
  }
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void say(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string unescaped(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    const char next = text[++i];
    result += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return result;
}

// The first word of `text`, taken off it.
std::string next_word(std::string_view& text) {
  const std::size_t end = std::min(text.find(' '), text.size());
  std::string word(text.substr(0, end));
  text.remove_prefix(std::min(end + 1, text.size()));
  return word;
}

std::string environment(const char* name, const char* otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : otherwise;
}

void ignore_interrupts() {
#ifdef _WIN32
  SetConsoleCtrlHandler([](DWORD) -> BOOL { return TRUE; }, TRUE);
#else
  std::signal(SIGINT, SIG_IGN);
#endif
}

std::uint64_t process_number() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<std::uint64_t>(::getpid());
#endif
}

void run(std::string_view line) {
  const std::string command = next_word(line);
  if (command == "print") {
    say(unescaped(line));
  } else if (command == "count") {
    const int times = std::stoi(next_word(line));
    const std::string format = unescaped(line);
    for (int i = 1; i <= times; ++i) {
      std::string text = format;
      if (const std::size_t at = text.find("%d"); at != std::string::npos) text.replace(at, 2, std::to_string(i));
      say(text);
    }
  } else if (command == "show") {
    say(file_bytes(own_folder / line));
  } else if (command == "copy") {
    const std::string name = next_word(line);
    write_bytes(fs::path(line), file_bytes(own_folder / name));
  } else if (command == "touch") {
    write_bytes(fs::path(line), "");
  } else if (command == "mkdir") {
    fs::create_directory(fs::path(line));
  } else if (command == "read-line") {
    std::string ignored;
    std::getline(std::cin, ignored);
  } else if (command == "ignore-interrupts") {
    ignore_interrupts();
  } else if (command == "sleep") {
    std::this_thread::sleep_for(std::chrono::seconds(std::stoi(std::string(line))));
  } else if (command == "write-pid") {
    write_bytes(fs::path(line), std::to_string(process_number()));
  } else if (command == "hold-memory") {
    held.emplace_back(std::stoull(std::string(line)) << 20);
    for (std::size_t i = 0; i < held.back().size(); i += 4096) held.back()[i] = 1;
  } else if (command == "fill-disk-leaving") {
    const std::uintmax_t free = fs::space(".").available;
    const std::uintmax_t keep = std::stoull(std::string(line));
    std::ofstream ballast("ballast", std::ios::binary);
    const std::string block(4096, '\0');
    for (std::uintmax_t written = 0; written + keep < free; written += block.size()) ballast << block;
  } else if (command == "record") {
    const std::string name = next_word(line);
    std::string text = file_bytes(own_folder / name);
    if (!line.empty()) {
      std::size_t end = 0;
      for (int lines = std::stoi(std::string(line)); lines > 0 && end != std::string::npos; --lines) {
        end = text.find('\n', end);
        if (end != std::string::npos) ++end;
      }
      if (end != std::string::npos) text.resize(end);
    }
    for (std::size_t at = 0; (at = text.find("@SEED@", at)) != std::string::npos;) {
      text.replace(at, 6, environment("SORTBENCH_SEED", "4242"));
    }
    write_bytes(fs::path(environment("SORTBENCH_RECORD", "record.csv")), text);
  } else if (command == "if-seed") {
    if (next_word(line) == environment("SORTBENCH_SEED", "")) run(line);
  } else if (command == "seeded-file") {
    const std::size_t bytes = std::stoull(next_word(line));
    std::mt19937 draws(static_cast<std::uint32_t>(std::stoul(environment("SORTBENCH_SEED", "4242"))));
    std::string text(bytes, '\0');
    for (char& byte : text) byte = static_cast<char>(draws() & 0xFF);
    write_bytes(fs::path(line), text);
  } else if (command == "exit") {
    std::exit(std::stoi(std::string(line)));
  } else {
    std::fprintf(stderr, "stand-in: no command \"%s\"\n", command.c_str());
    std::exit(99);
  }
}

}  // namespace

int main(int, char** argv) {
#ifdef _WIN32
  // The programs write their CR LF themselves.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const fs::path self(argv[0]);
  own_folder = self.parent_path();
  fs::path script = self;
  script.replace_extension(".script");
  std::istringstream lines(file_bytes(script));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) run(line);
  }
  return 0;
}
