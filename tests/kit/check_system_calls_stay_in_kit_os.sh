#!/usr/bin/env bash
# Every facility of the programs that differs between operating systems sits
# in kit/os/: no other source of the programs includes a system header or
# calls the system directly, so a port only adds a layer under kit/os/.
# Plain read( or close( may be a member; calling the system's needs its header.
#
# usage: check_system_calls_stay_in_kit_os.sh SOURCE_DIR
set -uo pipefail

cd "$1" || exit 2
headers='#include <((unistd|fcntl|time|signal|errno|poll|dlfcn|pthread|windows)\.h|(sys|mach)/|csignal>|cerrno>)'
calls='(^|[^[:alnum:]_:])::(read|write|open|close)\(|\b(dup2|fcntl|_exit|madvise|mmap|sysconf|clock_gettime|localtime_r|signal|getrusage|syscall|GetThreadTimes|QueryThreadCycleTime)\(|\b(STD(IN|OUT|ERR)_FILENO|errno|timespec|ssize_t)\b'
found=$(grep -rnE --include='*.cpp' --include='*.hpp' -e "$headers" -e "$calls" kit smallarrays quickvscount cutoff |
  grep -v '^kit/os/')
if [ -n "$found" ]; then
  echo "system headers or calls outside kit/os/:"
  echo "$found"
  exit 1
fi
echo "no system header or call outside kit/os/"
