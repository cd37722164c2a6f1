// Files through CreateFileW, ReadFile and WriteFile; the replace is
// MoveFileExW's, which swaps the name in one step on the same volume.
#include "study/os/files.hpp"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "study/os/windows/layer.hpp"

namespace study::os {
namespace {

using windows_layer::error_number;

HANDLE handle_of(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// WriteFile and ReadFile take at most a DWORD's worth at a time.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

}  // namespace

OutputFile::OutputFile(const std::filesystem::path& path) {
  // Readers may look, and the file may be renamed or removed while open, as on Unix.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    open_error_ = error_number(GetLastError(), path);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

OutputFile::~OutputFile() {
  if (is_open()) CloseHandle(handle_of(handle_));
}

int OutputFile::write(std::string_view bytes) {
  if (!is_open()) return EBADF;
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::min(bytes.size(), kLargestTransfer));
    if (!WriteFile(handle_of(handle_), bytes.data(), size, &written, nullptr)) return error_number(GetLastError());
    bytes.remove_prefix(written);
  }
  return 0;
}

int OutputFile::close() {
  if (!is_open()) return EBADF;
  const HANDLE file = handle_of(handle_);
  handle_ = kClosed;
  return CloseHandle(file) ? 0 : error_number(GetLastError());
}

int read_blocks(const std::filesystem::path& path, std::size_t block_size,
                const std::function<bool(std::string_view)>& take) {
  const windows_layer::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return error_number(GetLastError(), path);
  std::vector<char> block(std::clamp<std::size_t>(block_size, 1, kLargestTransfer));
  while (true) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) {
      return error_number(GetLastError());
    }
    if (got == 0 || !take(std::string_view(block.data(), got))) return 0;
  }
}

int replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
  // A reader that holds the old file open without letting it go (a virus
  // scanner, a browser, an editor) blocks the replace for a moment: wait it out a little.
  constexpr int kAttempts = 20;
  constexpr DWORD kPause = 50;  // milliseconds
  DWORD error = 0;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
    error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED && error_number(error, to) != EISDIR);
    if (!held) break;
    if (attempt < kAttempts) Sleep(kPause);
  }
  return error_number(error, to);
}

std::uint64_t process_id() { return GetCurrentProcessId(); }

}  // namespace study::os
