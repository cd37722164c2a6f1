# fmt, CLI11 and nlohmann-json for the tools and their tests.
#
#   sortbench_find_libraries(fmt CLI11 nlohmann_json)
#
# finds the named ones as the system's packages (Linux, native or cross).
# A cross build for Windows has no packages of them, so there it takes the
# three header-only libraries from the build machine's packages, through a
# folder in the build tree that holds links to those headers alone: no
# other header of the build machine can reach a Windows build. Called by
# each folder that uses them: a package's targets are seen only in the
# folder that found it, the header-only stand-ins everywhere.
set(SORTBENCH_HOST_HEADERS /usr/include CACHE PATH
  "Where the build machine's fmt, CLI and nlohmann header folders are, for a Windows build")

function(sortbench_find_libraries)
  foreach(package IN LISTS ARGN)
    if(NOT WIN32)
      find_package(${package} REQUIRED)
      continue()
    endif()
    find_package(${package} QUIET)
    if(${package}_FOUND)
      continue()
    endif()
    set(headers_of_fmt fmt)
    set(headers_of_CLI11 CLI)
    set(headers_of_nlohmann_json nlohmann)
    set(target_of_fmt fmt::fmt)
    set(target_of_CLI11 CLI11::CLI11)
    set(target_of_nlohmann_json nlohmann_json::nlohmann_json)
    set(headers ${headers_of_${package}})
    set(target ${target_of_${package}})
    if(TARGET ${target})
      continue()
    endif()
    if(NOT IS_DIRECTORY ${SORTBENCH_HOST_HEADERS}/${headers})
      message(FATAL_ERROR "no ${headers} headers in ${SORTBENCH_HOST_HEADERS} for the Windows build of ${package} "
                          "(setup/install-packages windows installs them, or set SORTBENCH_HOST_HEADERS)")
    endif()
    set(header_folder ${PROJECT_BINARY_DIR}/third-party-headers)
    file(MAKE_DIRECTORY ${header_folder})
    file(CREATE_LINK ${SORTBENCH_HOST_HEADERS}/${headers} ${header_folder}/${headers} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${target} INTERFACE ${header_folder})
    if(package STREQUAL "fmt")
      # fmt's compiled part comes with its headers.
      target_compile_definitions(${target} INTERFACE FMT_HEADER_ONLY=1)
    endif()
  endforeach()
endfunction()
