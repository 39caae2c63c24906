#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not use: the layers under src/
# and the folders of src/core each name the ones below them, and nothing may reach upward.
# ("core" alone is the generated version header.)
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A may_use=(
  [support]=""
  [argparse]="support"
  [xml]="support"
  [files]="support"
  [core/errors]="support"
  [core/logging]="support"
  [core/options]="argparse files support"
  [core/xib]="core/logging files xml support"
  [core/build]="core/errors core/options files xml support"
  [core/filemanager]="core/errors core/logging core/xib files support"
  [core/strategies]="core core/build core/errors core/filemanager core/logging core/options core/xib files xml support"
  [core/commands]="core core/build core/errors core/filemanager core/logging core/options core/strategies core/xib argparse files support"
  [app]="core/commands support"
)

# The layer of a path below src/: its first folder, or core/ and the folder below it.
layer_of() {
  case "$1" in
    core/*/*) echo "${1%%/*}/$(echo "$1" | cut -d/ -f2)" ;;
    core/*) echo core ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  [ -n "${may_use[$own]+set}" ] || { echo "$file: layer $own has no row in $0"; status=1; continue; }
  while IFS= read -r included; do
    used=$(layer_of "$included")
    [ "$used" = "$own" ] && continue
    case " ${may_use[$own]} " in
      *" $used "*) ;;
      *) echo "$file includes $included: $own may not use $used"; status=1 ;;
    esac
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file" | grep '/' || true)
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | LC_ALL=C sort)
exit $status
