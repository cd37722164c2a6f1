#!/usr/bin/env bash
# Copies the charts, summary and context of one study run into docs/charts/
# for the README, named by program: docs/copy-charts.sh results/<date>-<time>
# The charts of the medians over repeats keep their "median-" prefix, and
# the work charts of a study with --explain their "work-" prefix.
set -euo pipefail
run=${1:?usage: docs/copy-charts.sh results/<date>-<time>}
charts="$(cd "$(dirname "$0")" && pwd)/charts"
mkdir -p "$charts"
for program in smallsix smallfive tallyduel tallygrid cutoffwide cutoffnarrow; do
  found=no
  for chart in "$run/$program"/vystup-*.svg "$run/$program"/median-*.svg "$run/$program"/work-*.svg; do
    [ -e "$chart" ] || continue
    name=$(basename "$chart")
    cp "$chart" "$charts/$program-${name#vystup-}"
    found=yes
  done
  [ "$found" = yes ] || echo "copy-charts: no charts of $program in $run" >&2
done
cp "$run/summary.txt" "$run/context.txt" "$charts/"
ls "$charts"
