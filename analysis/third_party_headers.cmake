# fmt, CLI11 and nlohmann-json for the tools and their tests: the system's
# packages where it has them (Linux). A cross build for Windows has none, so
# it takes the three header-only libraries from the build machine's packages,
# through a folder in the build tree that holds links to those three alone:
# no other header of the build machine can reach a Windows build. Included
# by each folder that uses them: a package's targets are seen only in the
# folder that found it, the header-only stand-ins everywhere.
find_package(fmt QUIET)
find_package(CLI11 QUIET)
find_package(nlohmann_json QUIET)
if(TARGET fmt::fmt AND TARGET CLI11::CLI11 AND TARGET nlohmann_json::nlohmann_json)
  return()
endif()

set(SORTBENCH_HOST_HEADERS /usr/include CACHE PATH
  "Where the build machine's fmt, CLI and nlohmann header folders are, for a target without their packages")
set(header_folder ${PROJECT_BINARY_DIR}/third-party-headers)
file(MAKE_DIRECTORY ${header_folder})
foreach(library fmt CLI nlohmann)
  if(NOT IS_DIRECTORY ${SORTBENCH_HOST_HEADERS}/${library})
    message(FATAL_ERROR "no ${library} headers in ${SORTBENCH_HOST_HEADERS} (install libfmt-dev, libcli11-dev "
                        "and nlohmann-json3-dev, or set SORTBENCH_HOST_HEADERS)")
  endif()
  file(CREATE_LINK ${SORTBENCH_HOST_HEADERS}/${library} ${header_folder}/${library} SYMBOLIC)
endforeach()

if(NOT TARGET fmt::fmt)
  add_library(fmt::fmt INTERFACE IMPORTED GLOBAL)
  target_include_directories(fmt::fmt INTERFACE ${header_folder})
  # fmt's compiled part comes with its headers.
  target_compile_definitions(fmt::fmt INTERFACE FMT_HEADER_ONLY=1)
endif()
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  target_include_directories(CLI11::CLI11 INTERFACE ${header_folder})
endif()
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${header_folder})
endif()
