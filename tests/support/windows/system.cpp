// The test support's system part on Windows: standard handles, the
// module's own file name, the C runtime's environment.
#include "support/system.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "support/test_support.hpp"

namespace test_support {
namespace system {
namespace {

// Creates or empties `file` for writing, shared as the kit shares its files.
HANDLE created(const std::filesystem::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + file.string());
  return handle;
}

}  // namespace

// Windows knows the module's file; argv[0] may be anything the starter chose.
std::filesystem::path this_program() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) throw std::runtime_error("the test program cannot find its own file");
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

// A child of run_in_child has its orders in this variable; a death test's
// child has them in GoogleTest's own flag.
bool reruns_a_test_for_its_parent() {
  return std::getenv("SORTBENCH_TEST_CHILD") != nullptr || !GTEST_FLAG_GET(internal_run_death_test).empty();
}

// The kit writes to the standard handle itself, not through the C runtime,
// so the handle is what is redirected; GoogleTest's own printing stays put.
std::intptr_t redirect_standard_output(const std::filesystem::path& file) {
  const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, created(file));
  return reinterpret_cast<std::intptr_t>(saved);
}

void restore_standard_output(std::intptr_t saved) {
  const HANDLE redirected = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(saved));
  CloseHandle(redirected);
}

}  // namespace system

void send_standard_output_to(const std::filesystem::path& file) {
  SetStdHandle(STD_OUTPUT_HANDLE, system::created(file));
}

// The standard slot keeps the closed handle's value, which the next handle
// opened may get: Windows' form of a free descriptor number.
void close_standard_output() { CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE)); }

// _putenv_s changes the C runtime's variables, which std::getenv reads, and
// the process's own, which children inherit.
void set_environment(const char* name, const char* value) { _putenv_s(name, value); }
void unset_environment(const char* name) { _putenv_s(name, ""); }

void use_utc() {}

}  // namespace test_support
