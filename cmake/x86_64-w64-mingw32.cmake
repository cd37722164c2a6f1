# Cross build for Windows x86-64 with Debian's MinGW-w64 compiler
# (g++-mingw-w64-x86-64-posix). The tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own libraries go into each program, so a program runs on any
# Windows (and under Wine) without DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# GoogleTest has no MinGW package: the tests build it from Debian's sources.
set(SORTBENCH_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources, built with the tests")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine CACHE FILEPATH "Runs the test programs")
