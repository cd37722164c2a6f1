// What the Windows layer's files share: conversions between the tools'
// strings and Windows' UTF-16, Windows error codes in the tools' words, and
// the registry's machine-wide values.
#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <initializer_list>
#include <system_error>

#include "study/os/tool_error.hpp"
#include "study/os/windows/layer.hpp"

namespace study::os::windows_layer {
namespace {

// The errno value that says what a Windows error code says; 0 when none does.
int errno_of(DWORD error) {
  struct Meaning {
    int number;
    std::initializer_list<DWORD> codes;
  };
  static const Meaning kMeanings[] = {
      {ENOENT,
       {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME,
        ERROR_BAD_PATHNAME, ERROR_INVALID_NAME}},
      {EACCES, {ERROR_ACCESS_DENIED, ERROR_CANNOT_MAKE}},
      {EBUSY, {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}},
      {EROFS, {ERROR_WRITE_PROTECT}},
      {ENOSPC, {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL}},
      {EEXIST, {ERROR_FILE_EXISTS, ERROR_ALREADY_EXISTS}},
      {ENOTDIR, {ERROR_DIRECTORY}},
      {ENOTEMPTY, {ERROR_DIR_NOT_EMPTY}},
      {ENAMETOOLONG, {ERROR_FILENAME_EXCED_RANGE}},
      {ENOMEM, {ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY, ERROR_COMMITMENT_LIMIT}},
      {EBADF, {ERROR_INVALID_HANDLE}},
      {EPIPE, {ERROR_BROKEN_PIPE, ERROR_NO_DATA}},
      {EXDEV, {ERROR_NOT_SAME_DEVICE}},
      {EMFILE, {ERROR_TOO_MANY_OPEN_FILES}},
      {ENOEXEC, {ERROR_BAD_EXE_FORMAT, ERROR_EXE_MACHINE_TYPE_MISMATCH}},
      {EINVAL, {ERROR_INVALID_PARAMETER}},
      {EIO, {ERROR_NOT_READY, ERROR_CRC, ERROR_READ_FAULT, ERROR_WRITE_FAULT, ERROR_GEN_FAILURE, ERROR_IO_DEVICE}},
  };
  for (const Meaning& meaning : kMeanings) {
    if (std::find(meaning.codes.begin(), meaning.codes.end(), error) != meaning.codes.end()) return meaning.number;
  }
  return 0;
}

}  // namespace

std::wstring wide(std::string_view text) { return std::filesystem::path(text).wstring(); }

std::string utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
  return result;
}

int error_number(DWORD error, const std::filesystem::path& path) {
  // Windows denies access to a folder opened or replaced as a file.
  std::error_code ignored;
  if (error == ERROR_ACCESS_DENIED && !path.empty() && std::filesystem::is_directory(path, ignored)) return EISDIR;
  const int number = errno_of(error);
  return number != 0 ? number : EIO;
}

std::string error_words(DWORD error) {
  if (const int number = errno_of(error); number != 0) return error_text(number);
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring text = length > 0 ? std::wstring(message, length) : std::wstring();
  LocalFree(message);
  while (!text.empty() && (std::iswspace(text.back()) != 0 || text.back() == L'.')) text.pop_back();
  // Read on inside a sentence, as error_text() does.
  if (text.size() > 1 && std::iswupper(text[0]) != 0 && std::iswlower(text[1]) != 0) {
    text[0] = static_cast<wchar_t>(std::towlower(text[0]));
  }
  const std::string code = "Windows error " + std::to_string(error);
  return text.empty() ? code : utf8(text) + " (" + code + ")";
}

std::string machine_registry_text(const wchar_t* key, const wchar_t* name) {
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return {};
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  while (!value.empty() && value.back() == L' ') value.pop_back();
  std::size_t start = 0;
  while (start < value.size() && value[start] == L' ') ++start;
  return utf8(std::wstring_view(value).substr(start));
}

}  // namespace study::os::windows_layer
