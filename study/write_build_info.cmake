# Writes build-info.txt beside the programs: how they were built and from
# which commit, for the study's context. Run at every build; the file is only
# rewritten when its content changes.
execute_process(
  COMMAND git -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_failed)
if(git_failed OR commit STREQUAL "")
  set(commit "unknown (not a git checkout)")
else()
  execute_process(
    COMMAND git -C "${SOURCE_DIR}" status --porcelain --untracked-files=no
    OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT changes STREQUAL "")
    string(APPEND commit " with uncommitted changes")
  endif()
endif()
string(STRIP "${FLAGS}" flags)
string(REGEX REPLACE " +" " " flags "${flags}")
set(content "compiler: ${COMPILER}\nflags: ${flags}\nbuild type: ${BUILD_TYPE}\nversion: ${commit}\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT previous STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
