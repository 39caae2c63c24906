#!/usr/bin/env bash
# Links the Linux binaries on Linux, one per architecture (x86_64 and aarch64), that run on any
# distribution with glibc 2.28 or later: built against glibc 2.28's symbols, with expat,
# libplist, yaml-cpp and the C++ runtime linked in statically (scripts/lib/zig_cross_build.sh).
# Each is checked: `file` must name its architecture, no symbol may need a glibc version above
# 2.28, and it may need no library but the C library's own (libc, libm, libpthread, libdl and
# the loader); the x86_64 one must run `modify` on the bundled example. Each is then packed with
# the man page, the completions (from the native build in build/tool, made when missing) and
# the licence, laid out as under a prefix:
#   OUTPUT_FOLDER/korvaster-VERSION-linux-ARCH.tar.gz
#   scripts/build-linux.sh [OUTPUT_FOLDER]     (default build/linux)
set -euo pipefail

cd "$(dirname "$0")/.."
output=${1:-build/linux}
case $output in /*) ;; *) output=$PWD/$output ;; esac
started=$SECONDS

tag=build-linux
# Zig 0.11's C library for glibc before 2.33 returns from stat, lstat, fstat and fstatat without
# setting errno, so that a missing file looks like one that is there; the later build sets it.
zig_version=0.14.0-dev.2456
target_os=linux
cmake_system=Linux
glibc=2.28
architectures=(x86_64 aarch64)
zig_target() { echo "$1-linux-gnu.$glibc"; }
autotools_host() { echo "$1-linux-gnu"; }
# shellcheck source=scripts/lib/zig_cross_build.sh
. scripts/lib/zig_cross_build.sh
cross_build_tools

[ -f build/tool/reference/korvaster.1 ] || scripts/bootstrap.sh tool
version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$output"
strip_program=$(command -v llvm-strip || command -v "$llvm_bin/llvm-strip" || true)
[ -n "$strip_program" ] || fail "llvm-strip is required (Debian: llvm)"
for arch in "${architectures[@]}"; do
  # Zig's C++ runtime comes with its debugging sections, which no user of the archive needs.
  binary=$work/korvaster-$arch
  "$strip_program" -o "$binary" "build/linux-$arch/src/app/korvaster"
  description=$(file -b "$binary")
  case $arch in x86_64) machine=x86-64 ;; aarch64) machine=aarch64 ;; esac
  case $description in *"ELF 64-bit"*"$machine"*) ;; *) fail "$arch: file says: $description" ;; esac
  # The highest glibc version any symbol needs, compared as version numbers.
  highest=$("$objdump" -T "$binary" | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -1)
  [ "$(printf '%s\n' "$highest" "$glibc" | sort -V | tail -1)" = "$glibc" ] ||
    fail "$arch: a symbol needs glibc $highest, above $glibc"
  needed=$("$objdump" -p "$binary" | awk '$1 == "NEEDED" { print $2 }')
  while read -r library; do
    case $library in
      libc.so.6|libm.so.6|libpthread.so.0|libdl.so.2|ld-linux-*.so.*) ;;
      *) fail "$arch: needs $library, which is not part of the C library" ;;
    esac
  done <<<"$needed"
  echo "$arch: $description; highest glibc symbol version $highest; needs $(echo "$needed" | paste -sd ' ')"

  if [ "$arch" = "$(uname -m)" ]; then
    mkdir -p "$work/home-$arch"
    HOME=$work/home-$arch "$binary" modify --path examples/SampleApp >"$work/modify-$arch.log" 2>&1 ||
      fail "$arch: modify of the example failed: $(cat "$work/modify-$arch.log")"
    grep -q 'identifier="' "$work/home-$arch/.korvast/CommandLineTool/Projects/SampleApp/SampleApp/Base.lproj/Main.storyboard" ||
      fail "$arch: modify of the example added no identifier"
    echo "$arch: ran modify on examples/SampleApp: $(tail -1 "$work/modify-$arch.log")"
  fi

  name=korvaster-$version-linux-$arch
  staging=$work/$name
  cmake --install build/tool --prefix "$staging" >/dev/null
  cp "$binary" "$staging/bin/korvaster"
  mkdir -p "$staging/share/doc/korvaster"
  cp LICENSE "$staging/share/doc/korvaster/LICENSE"
  # Packed beside the output first, so each archive is replaced in one rename.
  tar --owner=0 --group=0 --numeric-owner -C "$work" -czf "$output/$name.tar.gz.part" "$name"
  mv "$output/$name.tar.gz.part" "$output/$name.tar.gz"
  staging=
  echo "build-linux: $output/$name.tar.gz"
done
echo "build-linux: done in $((SECONDS - started)) s"
