# Cross build for Linux on ARM64 with Debian's cross compiler
# (g++-aarch64-linux-gnu) and the arm64 libraries of a multiarch system
# (libgtest-dev:arm64, libfmt-dev:arm64). The tests run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Debian keeps the arm64 libraries and their CMake packages under the
# multiarch folders of the ordinary prefix, so the prefix is searched as it
# is; find_package's multiarch suffix picks the aarch64 ones.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# The loader and libraries of the arm64 packages lie where qemu-aarch64 looks
# for them (/lib/ld-linux-aarch64.so.1, /usr/lib/aarch64-linux-gnu).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 CACHE FILEPATH "Runs the test programs")
