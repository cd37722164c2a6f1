#!/usr/bin/env bash
# The programs' parameter headers, and the tools' view of the programs built
# on them, are data only: every header of the repository they reach, however
# indirectly, is one of the data headers below, so the tools never compile
# the programs' system layer or drivers.
#
# usage: check_data_only_headers.sh SOURCE_DIR
set -uo pipefail

cd "$1" || exit 2
data_headers=" $(echo analysis/programs/suite_programs.hpp cutoff/cutoff_parameters.hpp kit/cutoff_measure.hpp \
  kit/file_names.hpp kit/grid_lengths.hpp kit/kernel_names.hpp kit/table_caption.hpp kit/two_table_layout.hpp \
  quickvscount/file_duel_parameters.hpp quickvscount/grid_duel_parameters.hpp quickvscount/input_buffer.hpp \
  quickvscount/input_table.hpp smallarrays/small_array_parameters.hpp) "
pending="$(find kit smallarrays quickvscount cutoff -name '*_parameters.hpp') analysis/programs/suite_programs.hpp"
seen=' '
status=0
while [ -n "$pending" ]; do
  next=''
  for header in $pending; do
    [[ "$seen" == *" $header "* ]] && continue
    seen="$seen$header "
    for included in $(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$header"); do
      [ -f "$included" ] || included="$(dirname "$header")/$included"  # beside the header
      [ -f "$included" ] || continue                                  # not a header of the repository
      if [[ "$data_headers" != *" $included "* ]]; then
        echo "$header includes $included, which is not a data-only header"
        status=1
      fi
      next="$next $included"
    done
  done
  pending=$next
done
[ "$status" = 0 ] && echo "the parameter headers reach data-only headers alone"
exit "$status"
