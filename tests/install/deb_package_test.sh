#!/usr/bin/env bash
# Packs the build as a .deb with CPack, unpacks it into a fresh root and runs the tool from
# there as a user who installed the package would: the binary on the system's own shared
# libraries, the compressed man page, the completions, a modify of the bundled example.
#   tests/install/deb_package_test.sh BUILD_DIR SOURCE_DIR
# Exits 77 (skipped) where cpack, dpkg-deb or dpkg-shlibdeps is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
fail() { echo "deb package test: $*" >&2; exit 1; }

for program in cpack dpkg-deb dpkg-shlibdeps dpkg; do
  command -v "$program" >/dev/null 2>&1 ||
    { echo "deb package test: skipped, no $program here (dpkg-dev has dpkg-shlibdeps)"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/korvaster-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
deb=$work/out/korvaster_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(cd "$work/out" && ls ./*.deb 2>/dev/null)"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = korvaster ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[[ "$(field Maintainer)" =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer is not 'name <address>': $(field Maintainer)"
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 2 ] || fail "the Description has no long part"
[ "$(sed -n 2p <<<"$description" | sed 's/^ *//')" != "$(head -1 <<<"$description")" ] ||
  fail "the long Description repeats the synopsis: $description"
depends=$(field Depends)
for library in libc6 libstdc++6 libexpat1 libplist libyaml-cpp; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
man_page=$root/usr/share/man/man1/korvaster.1.gz
for file in usr/bin/korvaster usr/share/man/man1/korvaster.1.gz usr/share/bash-completion/completions/korvaster \
            usr/share/zsh/site-functions/_korvaster usr/share/fish/vendor_completions.d/korvaster.fish; do
  [ -s "$root/$file" ] || fail "$file is missing; the package holds: $(dpkg-deb -c "$deb")"
done
[ ! -e "$root/usr/share/man/man1/korvaster.1" ] || fail "the man page is there uncompressed too"
gzip -t "$man_page" || fail "the man page is not gzip"
# gzip -n leaves the header's flags and time stamp (bytes 3 to 7) zero: no name, no time.
[ "$(od -An -tx1 -j3 -N5 "$man_page" | tr -d ' \n')" = 0000000000 ] ||
  fail "the man page keeps a file name or time stamp (not gzip -n)"

version_line=$("$root/usr/bin/korvaster" --version)
[ "$version_line" = "korvaster — $version" ] || fail "unexpected version line: $version_line"

mkdir "$work/home"
HOME=$work/home "$root/usr/bin/korvaster" modify --path "$source_dir/examples/SampleApp" >"$work/modify.log" 2>&1 ||
  fail "modify of the example failed: $(cat "$work/modify.log")"
copy=$work/home/.korvast/CommandLineTool/Projects/SampleApp
[ -f "$copy/SampleApp.xcodeproj/project.pbxproj" ] || fail "modify made no copy in $copy: $(cat "$work/modify.log")"
grep -q 'identifier="' "$copy/SampleApp/Base.lproj/Main.storyboard" ||
  fail "the copied storyboard has no accessibility identifier"
echo "deb package test: $(basename "$deb") (Depends: $depends) installs and runs the example"
