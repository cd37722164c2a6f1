#!/usr/bin/env bash
# The folders are layers, and every include points down: a folder includes
# only itself and the folders listed for it below. The programs know nothing
# of the tools; the analysis knows nothing of the study; in the study, the
# charts, the page and the time estimate read the model and never the code
# that starts programs.
#
# usage: check_layers.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2

programs='kit'
analysis='kit analysis/text analysis/programs analysis/records analysis/statistics'
declare -A may_include=(
  [kit]=''
  [smallarrays]="$programs"
  [quickvscount]="$programs"
  [cutoff]="$programs"
  [analysis/text]='kit'
  # The programs' facts, from their data-only parameter headers.
  [analysis/programs]='kit analysis/text smallarrays quickvscount cutoff'
  [analysis/records]='kit analysis/text analysis/programs'
  [analysis/statistics]='kit analysis/text analysis/programs analysis/records'
  [analysis/verdicts]="$analysis"
  [analysis/export]="$analysis"
  [study/os]=''
  [study/model]="$analysis analysis/verdicts analysis/export study/os"
  [study/estimate]="$analysis study/os study/model"
  [study/run]="$analysis study/os study/model study/estimate"
  [study/charts]="$analysis analysis/export study/os study/model"
  [study/page]="$analysis analysis/verdicts analysis/export study/os study/model"
  # The replays of the programs' data: their draws and counting kernels.
  [study/explain]="$analysis analysis/verdicts analysis/export study/os study/model study/charts smallarrays quickvscount cutoff"
  [study/session]="$analysis analysis/verdicts analysis/export study/os study/model study/estimate study/run study/charts study/page study/explain"
  [study]="$analysis analysis/verdicts analysis/export study/os study/model study/estimate study/run study/charts study/page study/explain study/session"
)

# The layer of a source or included path: its top folder, or for analysis/
# and study/ its folder below them (study's own files are the layer "study").
layer_of() {
  case $1 in
    analysis/*/* | study/*/*) echo "${1%%/*}/$(cut -d/ -f2 <<<"$1")" ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  [[ -v may_include[$own] ]] || { echo "$file: no layer '$own' in $0"; status=1; continue; }
  while IFS= read -r included; do
    target=$(layer_of "$included")
    [[ $target == "$own" ]] && continue
    [[ " ${may_include[$own]} " == *" $target "* ]] && continue
    echo "$file includes $included: $own may not include $target"
    status=1
  done < <(sed -nE 's/^#include "([^"]+\/[^"]+)".*/\1/p' "$file")
done < <(find kit smallarrays quickvscount cutoff analysis study -name '*.[ch]pp' | sort)
((status == 0)) && echo "every include points down its layers"
exit $status
