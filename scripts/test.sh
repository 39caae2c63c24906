#!/usr/bin/env bash
# Builds and runs every test: once optimised, once under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail

cd "$(dirname "$0")/.."
scripts/bootstrap.sh release asan
for preset in release asan; do
  echo "== tests ($preset)"
  ctest --preset "$preset"
done
