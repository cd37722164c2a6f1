#!/usr/bin/env bash
# Every facility of the tools (study, resultchart) that differs between
# operating systems sits in study/os/: no other source of the tools includes
# a system header, calls the system directly or reads the system's own
# files, so a port only adds a layer under study/os/ (as Windows did).
# Plain read( or write( may be a member; calling the system's needs its header.
#
# usage: check_system_calls_stay_in_study_os.sh SOURCE_DIR
set -uo pipefail

cd "$1" || exit 2
headers='#include <((unistd|fcntl|time|signal|errno|poll|spawn|dlfcn|pthread|limits|windows|io|psapi|cpuid)\.h|(sys|mach)/|csignal>|cerrno>)'
calls='(^|[^[:alnum:]_:])::(read|write|open|close|kill|access)\(|\b(pipe2?|fork|execve?|wait4|waitpid|getrusage|getrlimit|sysconf|isatty|getpid|gethostname|uname|realpath|localtime_r|strsignal|dup2|fcntl|_exit|signal|sigaction)\(|\b(environ|STD(IN|OUT|ERR)_FILENO|errno|pid_t|timespec|rusage|rlimit|ssize_t)\b|"/(proc|sys)/'
# Windows: the calls of its layer, and the C runtime's own streams.
calls="$calls"'|\b(CreateProcessW|CreateFileW|CreateNamedPipeW|GetLastError|WaitFor(Single|Multiple)Objects?|GetModuleFileNameW|SetConsoleCtrlHandler|GenerateConsoleCtrlEvent|GlobalMemoryStatusEx|MoveFileExW|Terminate(Process|JobObject)|QueryInformationJobObject|RegGetValueW|GetProcessMemoryInfo|_setmode|_get_osfhandle|_dup2)\('
found=$(grep -rnE --include='*.cpp' --include='*.hpp' -e "$headers" -e "$calls" study analysis | grep -v '^study/os/')
if [ -n "$found" ]; then
  echo "system headers or calls outside study/os/:"
  echo "$found"
  exit 1
fi
echo "no system header or call outside study/os/"
