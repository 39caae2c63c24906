#!/usr/bin/env bash
# Non-blank, non-comment lines of the code and of its tests, and their ratio: the tests are
# meant to stay at about a quarter to a third of the code.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  local cxx script
  cxx=$(find "$1" -path tests/data -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.in' \) -print0 |
    xargs -0 cat | grep -Ev '^\s*(//.*)?$' | wc -l)
  script=$(find "$1" -path tests/data -prune -o -type f \( -name '*.sh' -o -name 'CMakeLists.txt' -o -name xcodebuild \) -print0 |
    xargs -0 cat | grep -Ev '^\s*(#.*)?$' | wc -l)
  echo $((cxx + script))
}

code=$(count src)
tests=$(count tests)
echo "code $code, tests $tests, ratio $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')"
