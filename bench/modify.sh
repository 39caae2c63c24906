#!/usr/bin/env bash
# Times `korvaster modify` against `cp -a` of the same generated project tree (about 20,000
# files and 1 GB: sources, assets of varied sizes, a .git folder and every corpus file),
# alternating the two, and prints the median ratio. Then times the identifier pass alone
# (the project as its own destination) in MB of Interface Builder files per second.
#   bench/modify.sh [KORVASTER_BINARY] [RUNS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$root/build/release/src/app/korvaster}
runs=${2:-5}
corpus=$root/../shared/corpus/ib
[ -x "$binary" ] || { echo "no korvaster binary at $binary (run scripts/bootstrap.sh first)" >&2; exit 1; }
[ -d "$corpus" ] || { echo "no corpus at $corpus" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/korvaster-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
tree=$work/BenchApp

echo "generating the project tree in $work ..."
python3 - "$tree" "$corpus" <<'PY'
import os, random, shutil, sys
tree, corpus = sys.argv[1], sys.argv[2]
rng = random.Random(20261206)
def write(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(rng.randbytes(size))
# Sources: many small files in nested modules.
for i in range(15000):
    write(f"{tree}/Sources/Module{i % 60}/Group{i % 7}/File{i}.swift", rng.randint(500, 6000))
# Assets: fewer, larger files, up to about 1 GB in all.
total = 0
i = 0
while total < 900 * 1024 * 1024:
    size = rng.choice([20_000, 150_000, 600_000, 2_000_000, 6_000_000])
    write(f"{tree}/Assets.xcassets/Set{i % 40}/image{i}.imageset/image{i}.png", size)
    total += size
    i += 1
# Version-control metadata that must not be copied.
for i in range(3000):
    write(f"{tree}/.git/objects/{i % 256:02x}/{i:038x}", rng.randint(100, 3000))
# Every corpus file, in folders by repository.
for name in sorted(os.listdir(corpus)):
    owner = name.split("__")[0]
    dest = f"{tree}/UI/{owner}/Views/{name}"
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    shutil.copyfile(os.path.join(corpus, name), dest)
PY
files=$(find "$tree" -type f | wc -l | tr -d ' ')
bytes=$(du -sk "$tree" | cut -f1)
ib_bytes=$(find "$tree" -type f \( -name '*.xib' -o -name '*.storyboard' \) -exec cat {} + | wc -c | tr -d ' ')
echo "tree: $files files, $((bytes / 1024)) MB; Interface Builder files: $((ib_bytes / 1024)) KB"

now() { python3 -c 'import time; print(time.time())'; }
export HOME=$work/home
mkdir -p "$HOME"

# Seconds that a command takes, started with no dirty pages left from the run before it.
timed() {
  sync
  local start end
  start=$(now); "$@" 2>/dev/null; end=$(now)
  python3 -c "print($end - $start)"
}

ratios=()
for run in $(seq "$runs"); do
  rm -rf "$work/out" "$work/cp" && mkdir -p "$work/out" "$work/cp"
  # Alternate which goes first, so neither always inherits the other's write-back.
  if [ $((run % 2)) -eq 1 ]; then
    korvaster_seconds=$(timed "$binary" modify --path "$tree" --output "$work/out")
    cp_seconds=$(timed cp -a "$tree" "$work/cp/")
  else
    cp_seconds=$(timed cp -a "$tree" "$work/cp/")
    korvaster_seconds=$(timed "$binary" modify --path "$tree" --output "$work/out")
  fi
  ratio=$(python3 -c "print(round($korvaster_seconds / $cp_seconds, 3))")
  ratios+=("$ratio")
  printf 'run %d: korvaster modify %.2f s, cp -a %.2f s, ratio %s\n' "$run" "$korvaster_seconds" "$cp_seconds" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | python3 -c 'import sys; v=[float(x) for x in sys.stdin]; print(v[len(v)//2])')
echo "median ratio korvaster modify / cp -a: $median (target <= 1.3)"

# The identifier pass alone: the copy given as its own destination is changed in place.
pass_times=()
for run in $(seq "$runs"); do
  rm -rf "$work/pass" && mkdir -p "$work/pass" && cp -a "$tree" "$work/pass/"
  pass_times+=("$(timed "$binary" modify --path "$work/pass/BenchApp" --output "$work/pass/BenchApp")")
done
pass=$(printf '%s\n' "${pass_times[@]}" | sort -n | python3 -c 'import sys; v=[float(x) for x in sys.stdin]; print(v[len(v)//2])')
python3 -c "print(f'identifier pass alone: median {$pass:.2f} s, {$ib_bytes / 1e6 / $pass:.1f} MB of Interface Builder files per second')"
