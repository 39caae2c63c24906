#!/usr/bin/env bash
# Installs what the given CMake presets need (Debian as root, or macOS with Homebrew), then
# configures and builds them (default: tool, the tool alone).
#   scripts/bootstrap.sh [PRESET...]
set -euo pipefail

cd "$(dirname "$0")/.."

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(tool)

# What every build needs, then what each preset adds: tests want GoogleTest (and man, to
# render the installed man page; zsh and fish, to check their completions), benchmarks Google
# Benchmark, fuzzers clang.
debian_packages=(g++ cmake ninja-build pkg-config libexpat1-dev libplist-dev libyaml-cpp-dev)
brew_packages=(cmake ninja pkgconf expat libplist yaml-cpp)
for preset in "${presets[@]}"; do
  case "$preset" in
    tool) ;;
    bench) debian_packages+=(libbenchmark-dev); brew_packages+=(google-benchmark) ;;
    fuzz) debian_packages+=(clang) ;;
    *) debian_packages+=(libgtest-dev libgmock-dev man-db zsh fish); brew_packages+=(googletest) ;;
  esac
done

# shellcheck source=scripts/lib/debian_packages.sh
. scripts/lib/debian_packages.sh

install_brew() {
  local package
  for package in "${brew_packages[@]}"; do
    brew list --versions "$package" >/dev/null 2>&1 || brew install "$package"
  done
}

case "$(uname -s)" in
  Linux)
    if command -v apt-get >/dev/null 2>&1; then install_debian_packages bootstrap "${debian_packages[@]}"; else
      echo "bootstrap: not a Debian system; install ${debian_packages[*]} yourself" >&2
    fi ;;
  Darwin)
    command -v brew >/dev/null 2>&1 || { echo "bootstrap: Homebrew is required on macOS" >&2; exit 1; }
    install_brew
    brew_prefix=$(brew --prefix)
    export CMAKE_PREFIX_PATH="$brew_prefix${CMAKE_PREFIX_PATH:+:$CMAKE_PREFIX_PATH}" ;;
esac

for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
