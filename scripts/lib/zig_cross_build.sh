# shellcheck shell=bash
# Sourced by the scripts that link the tool for another system on Linux (build-macos.sh,
# build-linux.sh). Zig's compiler and linker (zig_toolchain.sh) build expat, libplist and
# yaml-cpp from their Debian source packages (versions and checksums pinned below), static only,
# and then the tool with its own CMake files, once per architecture. The libraries are cached
# beside the toolchain, so only the first run builds them.
#
# The sourcing script sets, before it sources this file:
#   tag                     its name, for messages
#   target_os               macos or linux: the build folders are build/$target_os-ARCH
#   cmake_system            CMake's name of the target system (Darwin, Linux)
#   architectures           Zig's names of the architectures (aarch64, x86_64)
#   zig_target ARCH         prints Zig's target for ARCH (with the minimum system version)
#   autotools_host ARCH     prints the autotools host triple for ARCH
# and then calls cross_build_tools, which leaves build/$target_os-ARCH/src/app/korvaster for each.
# $work is a temporary folder removed at exit; LLVM's tools are $lipo and $objdump.

say() { echo "$tag: $*" >&2; }
fail() { say "$*"; exit 1; }

[ "$(uname -s)" = Linux ] || fail "this script cross-builds on Linux; on a Mac, run scripts/bootstrap.sh"
root=$PWD

# shellcheck source=scripts/lib/zig_toolchain.sh
. scripts/lib/zig_toolchain.sh
# shellcheck source=scripts/lib/debian_packages.sh
. scripts/lib/debian_packages.sh

if command -v apt-get >/dev/null 2>&1; then
  # autotools for expat and libplist (Debian's sources carry no configure script), dpkg-source to
  # unpack and patch them, LLVM for lipo and objdump. (Node.js, for the toolchain and the
  # checks, is expected to be there, as for scripts/check-macos.sh.)
  install_debian_packages "$tag" cmake ninja-build pkg-config make autoconf automake libtool \
    dpkg-dev curl ca-certificates file llvm
fi
# Debian's llvm package puts llvm-objdump on PATH but not llvm-lipo; both are in its bin folder.
llvm_bin=$(llvm-config --bindir 2>/dev/null || true)
lipo=$(command -v llvm-lipo || command -v "$llvm_bin/llvm-lipo" || true)
objdump=$(command -v llvm-objdump || command -v "$llvm_bin/llvm-objdump" || true)
{ [ -n "$lipo" ] && [ -n "$objdump" ]; } || fail "llvm-lipo and llvm-objdump are required (Debian: llvm)"
for tool in cmake ninja pkg-config make autoreconf dpkg-source curl file node; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is required"
done
ensure_zig "$tag"

# The Debian source packages: name, version, pool folder and the SHA-256 of the .dsc. The .dsc
# lists the checksums of the other files, which dpkg-source checks when it unpacks them.
debian_pool=${KORVASTER_DEBIAN_POOL:-http://deb.debian.org/debian/pool/main}
sources=(
  "expat 2.5.0-1+deb12u2 e/expat 6fc87dbd01f49999ed368cfb37c08d35e41348dda2281d60642f3aa14cb77e32"
  "libplist 2.2.0-6 libp/libplist e15e69019c1665f6480e4567e91b87f8e4e22feb0c50947c57f2289041a1b578"
  "yaml-cpp 0.7.0+dfsg-8 y/yaml-cpp 94bd9098d501f91c2570c8e8cb98d46bc6de7627c30e9f94ebb39dc0cd2d65c2"
)
download_folder=$korvaster_cache/debian-sources
# Downloads a source package's files (once) and unpacks it, patched, into $2.
unpack_source() {
  local name=$1 version=$2 pool=$3 sha256=$4 into=$5 dsc file
  dsc=${name}_$version.dsc
  mkdir -p "$download_folder"
  if ! echo "$sha256  $download_folder/$dsc" | sha256sum -c --status 2>/dev/null; then
    say "downloading $debian_pool/$pool/$dsc"
    curl -fsS -o "$download_folder/$dsc.part" "$debian_pool/$pool/$dsc" ||
      fail "could not download $dsc (is $version still in Debian's pool? see the pins in $0)"
    echo "$sha256  $download_folder/$dsc.part" | sha256sum -c --status ||
      fail "$dsc does not have the pinned checksum $sha256"
    mv "$download_folder/$dsc.part" "$download_folder/$dsc"
  fi
  local files=()
  mapfile -t files < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/s/^ [0-9a-f]\{64\} [0-9]* //p' "$download_folder/$dsc")
  for file in "${files[@]}"; do
    [ -f "$download_folder/$file" ] && continue
    say "downloading $debian_pool/$pool/$file"
    curl -fsS -o "$download_folder/$file.part" "$debian_pool/$pool/$file" || fail "could not download $file"
    mv "$download_folder/$file.part" "$download_folder/$file"
  done
  # dpkg-source checks every file against the checksums in the .dsc, and applies Debian's patches.
  # It cannot check the .dsc's own signature without Debian's keyring: the pinned checksum above
  # stands in for it, so that warning goes to the log with the rest.
  if ! dpkg-source -x "$download_folder/$dsc" "$into" >"$into.log" 2>&1; then
    cat "$into.log" >&2
    (cd "$download_folder" && rm -f "${files[@]}")
    fail "dpkg-source could not unpack $dsc; its downloads were removed, so the next run fetches them again"
  fi
}
# autotools split CC and friends on spaces, so the folders the builds run in must have none.
case "$root$korvaster_cache" in
  *[[:space:]]*) fail "the checkout ($root) and the cache ($korvaster_cache) must have no spaces in their paths" ;;
esac

work=$(mktemp -d)
staging=
trap 'rm -rf "$work" ${staging:+"$staging"}' EXIT
# Zig keeps the C++ runtime it builds for each target in its global cache: kept, it spares every
# later run that work. Each build's own objects go to a temporary local cache.
export ZIG_GLOBAL_CACHE_DIR=$korvaster_cache/zig-$zig_version-$target_os-cache ZIG_LOCAL_CACHE_DIR=$work/zig-cache

# Compiler wrappers and a CMake toolchain file for one architecture, in $2.
write_toolchain() {
  local arch=$1 folder=$2 prefix=$3 tool
  mkdir -p "$folder/bin"
  printf '#!/bin/sh\nexec "%s" cc -target %s "$@"\n' "$zig" "$(zig_target "$arch")" >"$folder/bin/cc"
  printf '#!/bin/sh\nexec "%s" c++ -target %s "$@"\n' "$zig" "$(zig_target "$arch")" >"$folder/bin/c++"
  for tool in ar ranlib; do printf '#!/bin/sh\nexec "%s" %s "$@"\n' "$zig" "$tool" >"$folder/bin/$tool"; done
  chmod +x "$folder/bin"/*
  cat >"$folder/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME $cmake_system)
set(CMAKE_SYSTEM_PROCESSOR $arch)
set(CMAKE_C_COMPILER "$folder/bin/cc")
set(CMAKE_CXX_COMPILER "$folder/bin/c++")
set(CMAKE_AR "$folder/bin/ar" CACHE FILEPATH "")
set(CMAKE_RANLIB "$folder/bin/ranlib" CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH "$prefix")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
}
# Builds the three libraries, static only, for prefix $2, installed under the staging folder $4
# (DESTDIR), with the toolchain in $3.
build_dependencies() {
  local arch=$1 prefix=$2 toolchain=$3 staging=$4 folder=$work/$1 entry name version pool sha256 log
  local autotools=(--host="$(autotools_host "$arch")" --prefix="$prefix" --disable-shared --enable-static
    CC="$toolchain/bin/cc" CXX="$toolchain/bin/c++" AR="$toolchain/bin/ar" RANLIB="$toolchain/bin/ranlib"
    CFLAGS=-O2 CXXFLAGS=-O2)
  mkdir -p "$folder"
  for entry in "${sources[@]}"; do
    read -r name version pool sha256 <<<"$entry"
    log=$folder/$name.log
    say "$arch: building $name $version (log: $log)"
    unpack_source "$name" "$version" "$pool" "$sha256" "$folder/$name-source"
    mkdir -p "$folder/$name-build"
    if ! case $name in
      expat)
        (cd "$folder/$name-source/expat" && autoreconf -fi && cd "$folder/$name-build" &&
          "$folder/$name-source/expat/configure" "${autotools[@]}" --without-docbook --without-xmlwf \
            --without-examples --without-tests && make -j2 && make install DESTDIR="$staging") ;;
      libplist)
        (cd "$folder/$name-source" && NOCONFIGURE=1 autoreconf -fi && cd "$folder/$name-build" &&
          "$folder/$name-source/configure" "${autotools[@]}" --without-cython && make -j2 &&
          make install DESTDIR="$staging") ;;
      yaml-cpp)
        cmake -S "$folder/$name-source" -B "$folder/$name-build" -G Ninja -Wno-dev \
          -DCMAKE_TOOLCHAIN_FILE="$toolchain/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_INSTALL_PREFIX="$prefix" -DYAML_BUILD_SHARED_LIBS=OFF -DYAML_CPP_BUILD_TESTS=OFF \
          -DYAML_CPP_BUILD_TOOLS=OFF -DYAML_CPP_BUILD_CONTRIB=OFF &&
          cmake --build "$folder/$name-build" && DESTDIR=$staging cmake --install "$folder/$name-build" ;;
    esac >"$log" 2>&1; then
      tail -n 30 "$log" >&2
      fail "$arch: building $name failed"
    fi
  done
}

# The libraries are cached under a key made of the toolchain, the minimum macOS version, the
# pins and the build steps themselves, so changing any of them builds afresh. They are installed into a staging folder beside
# the cache and renamed into place only when all three are built, so an interrupted run leaves
# nothing that looks complete, and of two runs building at once the first to finish wins.
cross_build_tools() {
  local arch targets=() dependency_key dependencies prefix build arch_started log
  for arch in "${architectures[@]}"; do targets+=("$(zig_target "$arch")"); done
  dependency_key=$(printf '%s\n' "$zig_version" "${targets[@]}" "${sources[@]}" \
    "$(declare -f write_toolchain build_dependencies zig_target autotools_host)" | sha256sum | cut -c1-16)
  dependencies=$korvaster_cache/$target_os-dependencies-$dependency_key
  for arch in "${architectures[@]}"; do
    prefix=$dependencies/$arch
    # The tool's build folder keeps its toolchain, as CMake remembers the compiler's path; a folder
    # made with other libraries or another toolchain is started afresh.
    build=build/$target_os-$arch
    if [ "$(cat "$build/toolchain/libraries" 2>/dev/null)" != "$prefix" ]; then rm -rf "$build"; fi
    write_toolchain "$arch" "$root/$build/toolchain" "$prefix"
    echo "$prefix" >"$build/toolchain/libraries"
    if [ ! -d "$prefix" ]; then
      arch_started=$SECONDS
      mkdir -p "$dependencies"
      staging=$(mktemp -d "$dependencies/.staging-$arch-XXXXXX")
      build_dependencies "$arch" "$prefix" "$root/$build/toolchain" "$staging"
      mv -T "$staging$prefix" "$prefix" 2>/dev/null || [ -d "$prefix" ] || fail "$arch: could not move the libraries into $prefix"
      rm -rf "$staging"
      staging=
      say "$arch: libraries built in $((SECONDS - arch_started)) s, cached in $prefix"
    fi
    say "$arch: building korvaster"
    log=$work/$arch-korvaster.log
    if ! (PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' \
          cmake -S . -B "$build" -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$root/$build/toolchain/toolchain.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DKORVASTER_BUILD_TESTS=OFF -DKORVASTER_WERROR=ON &&
          cmake --build "$build" --target korvaster) >"$log" 2>&1; then
      tail -n 40 "$log" >&2
      fail "$arch: building korvaster failed"
    fi
  done
}
