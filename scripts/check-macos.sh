#!/usr/bin/env bash
# Compiles every source file under src/ for macOS (arm64 and x86_64) with the project's warning
# flags and -Werror, so the __APPLE__ branches are checked on a machine that is not a Mac. The
# cross compiler is Zig's (scripts/lib/zig_toolchain.sh). Only compiles: nothing is linked;
# scripts/build-macos.sh links the binary itself.
# Exits non-zero on any warning or error, and prints the diagnostics.
#   scripts/check-macos.sh        (KORVASTER_ZIG_CACHE=DIR: keep the toolchain in DIR instead)
set -euo pipefail

cd "$(dirname "$0")/.."

# shellcheck source=scripts/lib/zig_toolchain.sh
. scripts/lib/zig_toolchain.sh
# shellcheck source=scripts/lib/debian_packages.sh
. scripts/lib/debian_packages.sh
ensure_zig check-macos

# The expat, libplist and yaml-cpp headers come from the Debian packages; only copies of them are put on
# the include path, so no Linux system header can stand in for a macOS one. They go in with
# -isystem, as CMake passes an imported target's headers, so warnings from their own macros
# (expat's XML_TRUE is a C-style cast) are not reported against our code, as in the real build.
header_packages=(libexpat1-dev libplist-dev libyaml-cpp-dev)
if command -v apt-get >/dev/null 2>&1; then
  install_debian_packages check-macos "${header_packages[@]}"
fi
for header in /usr/include/expat.h /usr/include/expat_external.h /usr/include/plist/plist.h /usr/include/yaml-cpp/yaml.h; do
  [ -f "$header" ] || { echo "check-macos: $header is missing (install ${header_packages[*]})" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/include/plist" "$work/generated/core"
cp /usr/include/expat.h /usr/include/expat_external.h "$work/include/"
cp /usr/include/plist/*.h "$work/include/plist/"
cp -R /usr/include/yaml-cpp "$work/include/"

# The header CMake's configure_file() makes, from the version on the project() line.
version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "check-macos: no VERSION on the project() line of CMakeLists.txt" >&2; exit 1; }
IFS=. read -r major minor patch <<<"$version"
sed -e "s/@PROJECT_VERSION_MAJOR@/$major/" -e "s/@PROJECT_VERSION_MINOR@/$minor/" \
    -e "s/@PROJECT_VERSION_PATCH@/$patch/" -e "s/@PROJECT_VERSION@/$version/" \
    src/core/project_version.h.in >"$work/generated/core/project_version.h"
if grep -q @ "$work/generated/core/project_version.h"; then
  echo "check-macos: project_version.h.in has a placeholder this script does not fill" >&2
  exit 1
fi

mapfile -t sources < <(find src -name '*.cpp' | LC_ALL=C sort)
[ ${#sources[@]} -gt 0 ] || { echo "check-macos: no sources under src/" >&2; exit 1; }

# The Zig toolchain caches every object it compiles; a cache in the temporary folder keeps runs
# from piling objects up, and every run compiles every file afresh.
export ZIG_GLOBAL_CACHE_DIR=$work/zig-cache ZIG_LOCAL_CACHE_DIR=$work/zig-cache

failed=0
for arch in aarch64 x86_64; do
  mkdir -p "$work/$arch"
  # One compiler per file, two at a time; each writes its diagnostics to its own log.
  # shellcheck disable=SC2016  # the inner script expands its own arguments
  printf '%s\n' "${sources[@]}" | xargs -P 2 -I{} sh -c '
    source=$1 zig=$2 arch=$3 work=$4
    log=$work/$arch/$(printf %s "$source" | tr / _).log
    "$zig" c++ -target "$arch-macos" -std=c++17 -Wall -Wextra -Wpedantic -Wshadow -Wconversion \
      -Wold-style-cast -Werror -Isrc -I"$work/generated" -isystem "$work/include" \
      -c "$source" -o "$work/$arch/$(printf %s "$source" | tr / _).o" >"$log" 2>&1 ||
      echo "$source" >>"$work/$arch.failed"
  ' sh {} "$zig" "$arch" "$work"
  diagnostics=$(cat "$work/$arch"/*.log)
  if [ -s "$work/$arch.failed" ] || [ -n "$diagnostics" ]; then
    failed=1
    [ -n "$diagnostics" ] && printf '%s\n' "$diagnostics" >&2
    count=0
    [ -s "$work/$arch.failed" ] && count=$(wc -l <"$work/$arch.failed")
    echo "macOS $arch: $count of ${#sources[@]} files failed to compile"
  else
    echo "macOS $arch: ${#sources[@]} files compiled, no diagnostics"
  fi
done
exit "$failed"
