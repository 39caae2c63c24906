#!/usr/bin/env bash
# Installs what korvaster needs to build and test (Debian as root, or macOS with Homebrew),
# then configures and builds the given CMake presets (default: release).
#   scripts/bootstrap.sh [PRESET...]
set -euo pipefail

cd "$(dirname "$0")/.."

debian_packages=(g++ cmake ninja-build pkg-config git libgtest-dev libgmock-dev libbenchmark-dev
                 libexpat1-dev libplist-dev clang)
brew_packages=(cmake ninja pkg-config googletest google-benchmark expat libplist)

install_debian() {
  local missing=()
  for package in "${debian_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "bootstrap: installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_brew() {
  local package
  for package in "${brew_packages[@]}"; do
    brew list --versions "$package" >/dev/null 2>&1 || brew install "$package"
  done
}

case "$(uname -s)" in
  Linux)
    if command -v apt-get >/dev/null 2>&1; then install_debian; else
      echo "bootstrap: not a Debian system; install ${debian_packages[*]} yourself" >&2
    fi ;;
  Darwin)
    command -v brew >/dev/null 2>&1 || { echo "bootstrap: Homebrew is required on macOS" >&2; exit 1; }
    install_brew
    export CMAKE_PREFIX_PATH="$(brew --prefix)${CMAKE_PREFIX_PATH:+:$CMAKE_PREFIX_PATH}" ;;
esac

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
