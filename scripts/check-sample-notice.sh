#!/usr/bin/env bash
# The sample of Interface Builder files that ships with the sources: each file is named in its
# NOTICE.md with a licence whose text the notice carries, the notice names no file that is
# missing, and the whole stays under 2 MiB.
set -euo pipefail
cd "$(dirname "$0")/../tests/data/ib"
fail() { echo "check-sample-notice: $*" >&2; exit 1; }
total=0
for file in *.xib *.storyboard; do
  entry=$(sed -n "/^### \`$(printf '%s' "$file" | sed 's/[][\.*^$/]/\\&/g')\`\$/,/^### /p" NOTICE.md)
  [ -n "$entry" ] || fail "$file is not named in NOTICE.md"
  licence=$(sed -n 's/^- Licence: //p' <<<"$entry" | head -n 1)
  grep -qxF "### $licence" NOTICE.md || fail "$file: no text for its licence '$licence'"
  total=$((total + $(wc -c <"$file")))
done
named=$(grep -c '^### `' NOTICE.md)
[ "$named" -eq "$(ls -- *.xib *.storyboard | wc -l)" ] || fail "NOTICE.md names $named files, not the sample's"
[ "$total" -le $((2 * 1024 * 1024)) ] || fail "the sample has grown to $total bytes"
