#!/usr/bin/env bash
# Fails when a kernel's recursion has been compiled into a jump. The tables
# claim recursive kernels, so each kernel's own machine code must call itself
# as often as its source does: both parts of a quicksort, both halves of the
# merge sort, and the one sift-down step of the heap.
#
# usage: check_recursive_calls.sh BIN_DIR [OBJDUMP]
#   BIN_DIR  the folder holding the six programs (on Windows smallsix.exe, ...;
#            objdump demangles their symbols the same way)
#   OBJDUMP  the disassembler for their machine (default objdump); the calls
#            are x86-64 `call` or AArch64 `bl` instructions
set -euo pipefail

bin=$1
objdump=${2:-objdump}
failures=0

# self_calls PROGRAM SYMBOL: how many call instructions in SYMBOL's body target SYMBOL itself.
self_calls() {
  "$objdump" -d -C --no-show-raw-insn "$1" | awk -v symbol="$2" '
    index($0, "<" symbol ">:") { inside = 1; found = 1; next }
    inside && /^$/ { inside = 0 }
    inside && /:[ \t]+(callq?|bl)[ \t]/ && index($0, "<" symbol ">") { ++calls }
    END { if (!found) print "missing"; else print calls + 0 }'
}

expect() {
  local program=$1 symbol=$2 wanted=$3
  local got
  [[ -e $program || ! -e $program.exe ]] || program=$program.exe
  got=$(self_calls "$program" "$symbol")
  if [[ $got == missing ]]; then
    echo "FAIL $(basename "$program"): no function '$symbol' (inlined away?)"
    failures=$((failures + 1))
  elif ((got < wanted)); then
    echo "FAIL $(basename "$program"): '$symbol' calls itself $got time(s), its source $wanted"
    failures=$((failures + 1))
  else
    echo "ok   $(basename "$program"): '$symbol' calls itself $got time(s)"
  fi
}

quicksort="void kit::QSORT<int>(int*, int, int)"
for program in smallsix smallfive; do
  expect "$bin/$program" "$quicksort" 2
  expect "$bin/$program" "void kit::MSORT<int>(int*, int, int, int*)" 2
  expect "$bin/$program" "void kit::HEAPIFY<int>(int*, int, int)" 1
done
for program in tallyduel tallygrid; do
  expect "$bin/$program" "$quicksort" 2
done
for program in cutoffwide cutoffnarrow; do
  expect "$bin/$program" "$quicksort" 2  # REKQSORT
  expect "$bin/$program" "void kit::COMQSORT<(kit::CutoffMeasure)0, int>(int*, int, int, int)" 2
  expect "$bin/$program" "void kit::COMQSORT<(kit::CutoffMeasure)1, int>(int*, int, int, int)" 2
done

if ((failures)); then
  echo "$failures kernel(s) lost a recursive call"
  exit 1
fi
