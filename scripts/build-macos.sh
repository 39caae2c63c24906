#!/usr/bin/env bash
# Links the macOS binary on Linux: one universal file for Apple silicon and Intel Macs, that
# needs nothing but the system (expat, libplist and yaml-cpp linked in statically).
#
# scripts/lib/zig_cross_build.sh builds the libraries (cached) and the tool once per
# architecture with Zig's compiler and linker; llvm-lipo joins the two. Then the result is
# checked: `file` must name both architectures, `llvm-objdump` must show the minimum macOS
# version and only system libraries among the load commands, and the arm64 half must carry a
# valid ad-hoc code signature (Apple silicon runs nothing unsigned; Zig's linker signs it).
#   scripts/build-macos.sh [OUTPUT]     (default build/macos/korvaster)
# On a Mac, build natively instead: scripts/bootstrap.sh.
set -euo pipefail

cd "$(dirname "$0")/.."
output=${1:-build/macos/korvaster}
case $output in /*) ;; *) output=$PWD/$output ;; esac
started=$SECONDS

tag=build-macos
target_os=macos
cmake_system=Darwin
minimum_macos=11.0
architectures=(aarch64 x86_64)
zig_target() { echo "$1-macos.$minimum_macos"; }
autotools_host() { echo "$1-apple-darwin"; }
# shellcheck source=scripts/lib/zig_cross_build.sh
. scripts/lib/zig_cross_build.sh
cross_build_tools

mkdir -p "$(dirname "$output")"
slices=()
for arch in "${architectures[@]}"; do slices+=("build/macos-$arch/src/app/korvaster"); done
candidate=$work/korvaster
"$lipo" -create "${slices[@]}" -output "$candidate"

# The checks, before the binary takes its place: one that fails them is not left looking built.
description=$(file -b -r "$candidate" | tr -s "\n" " ")
echo "file: $description"
for name in arm64 x86_64; do
  case $description in *"$name"*) ;; *) fail "file does not name $name" ;; esac
done
for arch in arm64 x86_64; do
  headers=$("$objdump" --macho --private-headers --arch="$arch" "$candidate")
  minimum=$(awk '$1 == "minos" { print $2; exit }' <<<"$headers")
  libraries=$(awk '$1 == "cmd" { command = $2 } $1 == "name" && command ~ /^LC_(LOAD|LOAD_WEAK|REEXPORT|LAZY_LOAD)_DYLIB$/ { print $2 }' <<<"$headers")
  echo "$arch: minimum macOS $minimum; libraries: $(echo "$libraries" | paste -sd ' ')"
  [ "$minimum" = "$minimum_macos" ] || fail "$arch: minimum macOS is '$minimum', not $minimum_macos"
  [ -n "$libraries" ] || fail "$arch: no library load commands at all"
  while read -r library; do
    case $library in
      /usr/lib/*|/System/Library/*) ;;
      *) fail "$arch: links $library, which is not part of macOS" ;;
    esac
  done <<<"$libraries"
done
node scripts/check-code-signature.cjs "$candidate" arm64
# The signature check must be able to fail: one byte changed in the middle of the file (inside
# the arm64 half, the second slice) must break it.
cp "$candidate" "$work/tampered"
size=$(stat -c %s "$candidate")
printf '\377' | dd of="$work/tampered" bs=1 seek=$((size * 3 / 4)) conv=notrunc status=none
if cmp -s "$candidate" "$work/tampered" || node scripts/check-code-signature.cjs "$work/tampered" arm64 >/dev/null; then
  fail "the signature check did not notice a changed byte"
fi

# Copied beside the output first, so the output is replaced in one rename.
cp "$candidate" "$output.part"
mv "$output.part" "$output"
echo "build-macos: $output in $((SECONDS - started)) s"
