#!/usr/bin/env bash
# Packs the tool's .deb from a build folder and holds it to Debian's rules with lintian: any
# error or warning fails, and so does a changelog whose latest entry is not the project's
# version. Installs lintian (and dpkg-dev, for the Depends) from Debian's packages when missing.
#   scripts/check-deb.sh [BUILD_DIR]     (default build/tool, made with scripts/bootstrap.sh tool)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/tool}
say() { echo "check-deb: $*" >&2; }

# shellcheck source=scripts/lib/debian_packages.sh
. scripts/lib/debian_packages.sh
if command -v apt-get >/dev/null 2>&1; then install_debian_packages check-deb lintian dpkg-dev; fi
for program in lintian cpack dpkg-deb; do
  command -v "$program" >/dev/null 2>&1 || { say "$program is required"; exit 1; }
done
[ -f "$build/CPackConfig.cmake" ] || { say "no CPack configuration in $build: build it first"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/korvaster_*.deb)

version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(sed -n '1s/^korvaster (\([^)]*\)).*/\1/p' packaging/debian/changelog)
[ "$changelog_version" = "$version" ] ||
  { say "packaging/debian/changelog begins with version '$changelog_version', the project is $version"; exit 1; }

# Root is told it should not run lintian; that line is no finding. Of the informational tags, a
# misspelling in the binary fails too: it is a message a user would read.
findings=$(lintian --fail-on none --display-info "$deb" 2>&1 | grep -v 'running with root privileges' || true)
echo "$findings" | grep -E '^[EW]: |spelling-error' >&2 &&
  { say "lintian found errors, warnings or misspellings in $(basename "$deb")"; exit 1; }
say "$(basename "$deb"): no lintian error or warning${findings:+ (the rest: $(echo "$findings" | paste -sd ';'))}"
