#!/usr/bin/env bash
# Times `korvaster modify` against `cp -a` of the same project tree, alternating the commands,
# and prints the median ratio per tree. Trees: 2,000, 20,000 and 100,000 files, each with every
# corpus file inside (the rest small sources and a .git folder), and the bench's own tree of
# about 20,000 files and 1 GB with assets of varied sizes. With BASELINE set to another
# korvaster binary, that one is timed in the same alternation, for before/after tables.
# Then the identifier pass alone (the project as its own destination) in MB per second.
#   [BASELINE=OLD_BINARY] [TREES="2000 20000 100000 assets"] bench/modify.sh [KORVASTER_BINARY] [RUNS]
# Time it on a file system of its own (TMPDIR on a loop-mounted ext4): a root file system
# that has seen many deletions makes file creation swing by a factor of ten.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$root/build/release/src/app/korvaster}
runs=${2:-5}
trees=${TREES:-2000 20000 100000 assets}
baseline=${BASELINE:-}
corpus=$root/../shared/corpus/ib
[ -x "$binary" ] || { echo "no korvaster binary at $binary (run scripts/bootstrap.sh first)" >&2; exit 1; }
[ -z "$baseline" ] || [ -x "$baseline" ] || { echo "no baseline binary at $baseline" >&2; exit 1; }
[ -d "$corpus" ] || { echo "no corpus at $corpus" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/korvaster-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"

# generate TREE KIND: KIND is a file count, or "assets" for the large tree.
generate() {
  python3 - "$1" "$corpus" "$2" <<'PY'
import os, random, shutil, sys
tree, corpus, kind = sys.argv[1], sys.argv[2], sys.argv[3]
rng = random.Random(20261206)
def write(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(rng.randbytes(size))
names = sorted(n for n in os.listdir(corpus) if n.endswith((".xib", ".storyboard")))
if kind == "assets":
    sources, git = 15000, 3000
    total, i = 0, 0
    while total < 900 * 1024 * 1024:
        size = rng.choice([20_000, 150_000, 600_000, 2_000_000, 6_000_000])
        write(f"{tree}/Assets.xcassets/Set{i % 40}/image{i}.imageset/image{i}.png", size)
        total += size
        i += 1
else:
    count = int(kind)
    git = count // 10
    sources = count - git - len(names)
for i in range(sources):
    write(f"{tree}/Sources/Module{i % 60}/Group{i % 7}/File{i}.swift", rng.randint(500, 6000))
# Version-control metadata that must not be copied.
for i in range(git):
    write(f"{tree}/.git/objects/{i % 256:02x}/{i:038x}", rng.randint(100, 3000))
for name in names:
    dest = f"{tree}/UI/{name.split('__')[0]}/Views/{name}"
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    shutil.copyfile(os.path.join(corpus, name), dest)
PY
}

# The clock is read inside the shell where it can be: starting a program to read it would add
# its start-up time to every command timed, and pull the ratios towards 1.
if [ -n "${EPOCHREALTIME:-}" ]; then
  now() { echo "${EPOCHREALTIME/,/.}"; }
else
  now() { python3 -c 'import time; print(time.time())'; }
fi
# Seconds that a command takes, started with no dirty pages left from the run before it.
timed() {
  sync
  local start end
  start=$(now); "$@" >/dev/null 2>&1; end=$(now)
  python3 -c "print($end - $start)"
}
median() { sort -n | python3 -c 'import sys; v=[float(x) for x in sys.stdin]; print(v[len(v)//2])'; }

for kind in $trees; do
  tree=$work/BenchApp
  rm -rf "$tree"
  generate "$tree" "$kind"
  files=$(find "$tree" -type f | wc -l | tr -d ' ')
  megabytes=$(( $(du -sk "$tree" | cut -f1) / 1024 ))
  ib_bytes=$(find "$tree" -type f \( -name '*.xib' -o -name '*.storyboard' \) -exec cat {} + | wc -c | tr -d ' ')
  echo "== tree $kind: $files files, $megabytes MB; Interface Builder files: $((ib_bytes / 1024)) KB"
  new_ratios=() old_ratios=()
  for run in $(seq "$runs"); do
    rm -rf "$work/out" "$work/old" "$work/cp" && mkdir -p "$work/out" "$work/old" "$work/cp"
    # Rotate which goes first, so that none always inherits another's write-back.
    order=(new cp old)
    [ $((run % 3)) -eq 1 ] && order=(cp old new)
    [ $((run % 3)) -eq 2 ] && order=(old new cp)
    new_s=0 old_s=0 cp_s=0
    for what in "${order[@]}"; do
      case $what in
        new) new_s=$(timed "$binary" modify --path "$tree" --output "$work/out") ;;
        cp) cp_s=$(timed cp -a "$tree" "$work/cp/") ;;
        old) [ -n "$baseline" ] && old_s=$(timed "$baseline" modify --path "$tree" --output "$work/old") ;;
      esac
    done
    new_ratios+=("$(python3 -c "print(round($new_s / $cp_s, 3))")")
    line=$(printf 'run %d: cp -a %.2f s, korvaster %.2f s (%sx)' "$run" "$cp_s" "$new_s" "${new_ratios[-1]}")
    if [ -n "$baseline" ]; then
      old_ratios+=("$(python3 -c "print(round($old_s / $cp_s, 3))")")
      line+=$(printf ', baseline %.2f s (%sx)' "$old_s" "${old_ratios[-1]}")
    fi
    echo "$line"
  done
  echo "tree $kind: median korvaster modify / cp -a: $(printf '%s\n' "${new_ratios[@]}" | median) (target <= 1.1)"
  [ -z "$baseline" ] || echo "tree $kind: median baseline modify / cp -a: $(printf '%s\n' "${old_ratios[@]}" | median)"
done

# The identifier pass alone on the last tree: the copy given as its own destination is
# changed in place, through temporary files and renames.
pass_times=()
for run in $(seq "$runs"); do
  rm -rf "$work/pass" && mkdir -p "$work/pass" && cp -a "$tree" "$work/pass/"
  pass_times+=("$(timed "$binary" modify --path "$work/pass/BenchApp" --output "$work/pass/BenchApp")")
done
pass=$(printf '%s\n' "${pass_times[@]}" | median)
python3 -c "print(f'identifier pass alone: median {$pass:.2f} s, {$ib_bytes / 1e6 / $pass:.1f} MB of Interface Builder files per second')"
