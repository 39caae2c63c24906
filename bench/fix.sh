#!/usr/bin/env bash
# Times `korvaster fix` and `fix --dry-run` on one generated file of N views written one per
# line and the same views written on a single line, alternating the runs, and prints the
# medians, their ratios to `fix` of the one-per-line file, and the dry run's peak memory
# against the file's size. A fix whose insertion scans back along its line for every view
# shows it here: the one-line file then takes many times as long.
#   [SIZES="20000 40000"] bench/fix.sh [KORVASTER_BINARY] [RUNS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$root/build/release/src/app/korvaster}
runs=${2:-5}
sizes=${SIZES:-20000 40000}
[ -x "$binary" ] || { echo "no korvaster binary at $binary (run scripts/bootstrap.sh first)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "no /usr/bin/time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/korvaster-fix-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"

# generate FILE N SEPARATOR: N views, each with a frame and a label inside, between SEPARATOR.
generate() {
  python3 - "$@" <<'PY'
import sys
path, count, one_line = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "one-line"
nl, i1, i2, i3 = ("", "", "", "") if one_line else ("\n", "    ", "        ", "            ")
parts = ['<?xml version="1.0" encoding="UTF-8"?>' + nl,
         '<document type="com.apple.InterfaceBuilder3.CocoaTouch.XIB" version="3.0">' + nl,
         i1 + "<objects>" + nl]
for i in range(count):
    parts.append(f'{i2}<view contentMode="scaleToFill" id="v-{i:06d}">{nl}'
                 f'{i3}<rect key="frame" x="0.0" y="{i}.0" width="320" height="44"/>{nl}'
                 f'{i3}<color key="backgroundColor" white="1" alpha="1" colorSpace="custom"/>{nl}'
                 f'{i2}</view>{nl}')
parts.append(i1 + "</objects>" + nl + "</document>" + nl)
with open(path, "w") as f:
    f.write("".join(parts))
PY
}

now() { echo "${EPOCHREALTIME/,/.}"; }
median() { sort -n | python3 -c 'import sys; v=[float(x) for x in sys.stdin]; print(v[len(v)//2])'; }

# run LAYOUT [--dry-run]: seconds for one run on a fresh copy of the layout's file.
run() {
  local layout=$1
  shift
  rm -rf "$work/App" && mkdir -p "$work/App" && cp "$work/$layout.xib" "$work/App/Main.xib"
  local start end
  start=$(now)
  "$binary" fix --path "$work/App" "$@" >/dev/null 2>&1
  end=$(now)
  python3 -c "print($end - $start)"
}

# The peak of a run on a file of one view: what the process takes whatever the file.
generate "$work/tiny.xib" 1 lines
mkdir -p "$work/App" && cp "$work/tiny.xib" "$work/App/Main.xib"
floor=$(/usr/bin/time -f %M "$binary" fix --path "$work/App" --dry-run 2>&1 >/dev/null | tail -1)
echo "a file of one view: peak $((floor / 1024)) MB"

for size in $sizes; do
  generate "$work/lines.xib" "$size" lines
  generate "$work/one-line.xib" "$size" one-line
  bytes=$(wc -c <"$work/lines.xib" | tr -d ' ')
  echo "== $size views, $((bytes / 1024)) KB one per line"
  declare -A times=()
  for attempt in $(seq "$runs"); do
    for layout in lines one-line; do
      times[$layout-fix]+="$(run "$layout") "
      times[$layout-dry]+="$(run "$layout" --dry-run) "
    done
  done
  base=$(printf '%s\n' ${times[lines-fix]} | median)
  for key in lines-fix lines-dry one-line-fix one-line-dry; do
    value=$(printf '%s\n' ${times[$key]} | median)
    python3 -c "print(f'$key: median {$value:.3f} s, {$value / $base:.2f}x fix one per line')"
  done
  for layout in lines one-line; do
    cp "$work/$layout.xib" "$work/App/Main.xib"
    kilobytes=$(/usr/bin/time -f %M "$binary" fix --path "$work/App" --dry-run 2>&1 >/dev/null | tail -1)
    file=$(wc -c <"$work/$layout.xib" | tr -d ' ')
    python3 -c "print(f'$layout-dry: peak {$kilobytes / 1024:.1f} MB, {$kilobytes * 1024 / $file:.2f}x the file, '
                      f'{($kilobytes - $floor) * 1024 / $file:.2f}x above a file of one view')"
  done
  unset times
done
