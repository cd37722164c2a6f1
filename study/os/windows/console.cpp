// The tool's streams on Windows: bytes pass unchanged (no LF to CR LF, the
// same output as on Unix), and a console is made to understand the status
// line's redraw and the UTF-8 of the tools' text while the tool runs.
#include "study/os/console.hpp"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "study/os/windows/layer.hpp"

namespace study::os {
namespace {

bool output_is_terminal = false;
UINT console_code_page = 0;  // to restore at exit, when changed

void restore_code_page() { SetConsoleOutputCP(console_code_page); }

// A standard descriptor (0, 1, 2) of a tool started without that stream
// reads from and writes into NUL, and no file opened later takes its number.
void occupy(int descriptor, int mode) {
  const intptr_t handle = _get_osfhandle(descriptor);
  if (handle != -1 && handle != -2) return;
  const int placeholder = _open("NUL", mode | _O_BINARY);
  if (placeholder < 0) return;
  if (placeholder != descriptor) {
    _dup2(placeholder, descriptor);
    _close(placeholder);
  }
}

}  // namespace

void prepare_console() {
  for (const int descriptor : {0, 1, 2}) occupy(descriptor, descriptor == 0 ? _O_RDONLY : _O_WRONLY);
  for (std::FILE* stream : {stdout, stderr}) {
    if (_fileno(stream) >= 0) _setmode(_fileno(stream), _O_BINARY);
  }

  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(output, &mode)) return;
  // Without escape sequences (before Windows 10) the status line prints line by line, as into a file.
  output_is_terminal = SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  const UINT code_page = GetConsoleOutputCP();
  if (code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    console_code_page = code_page;
    std::atexit(restore_code_page);
  }
}

bool standard_output_is_terminal() { return output_is_terminal; }

}  // namespace study::os
