#!/usr/bin/env bash
# Writes what `ids --format swift` and `ids --format xcuitest` give for the Interface Builder
# corpus (the full one beside the checkout when it is there, and the sample in tests/data/ib) and
# for a project of hostile names (tests/data/swift-grammar, under hostile file names), and parses
# each with the Swift grammar of the npm package tree-sitter-swift through the tree-sitter Node
# bindings. Both ship prebuilt for Linux and macOS, so nothing is compiled or downloaded beyond
# the packages; they are installed once into a cache folder outside the work tree. Exits
# non-zero on any ERROR or MISSING node, and prints where.
#   scripts/check-swift-grammar.sh [KORVASTER]   (default: build/release/src/app/korvaster;
#   KORVASTER_TREE_SITTER_CACHE=DIR: keep the grammar in DIR instead)
set -euo pipefail

cd "$(dirname "$0")/.."

korvaster=$(realpath "${1:-build/release/src/app/korvaster}")
tree_sitter_version=0.22.4
swift_grammar_version=0.7.1
cache=${KORVASTER_TREE_SITTER_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvaster/tree-sitter-swift-$swift_grammar_version}

if [ ! -d "$cache/node_modules/tree-sitter-swift/prebuilds" ] || [ ! -d "$cache/node_modules/tree-sitter/prebuilds" ]; then
  command -v npm >/dev/null 2>&1 || { echo "check-swift-grammar: npm is required to install the grammar" >&2; exit 1; }
  echo "check-swift-grammar: installing tree-sitter-swift@$swift_grammar_version into $cache" >&2
  mkdir -p "$cache"
  # No install scripts: they would build what is prebuilt, and fetch the grammar's command-line
  # generator, which parsing does not use.
  npm install --prefix "$cache" --no-save --no-audit --no-fund --loglevel=error --ignore-scripts \
    "tree-sitter@$tree_sitter_version" "tree-sitter-swift@$swift_grammar_version" >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hostile=$work/hostile
for name in Main.storyboard App/Base.lproj/Main.storyboard Widget/Base.lproj/Main.storyboard \
  class.storyboard "9 lives.xib" "ⓘ info😀.storyboard" XCTest.xib String.xib self.xib Type.storyboard; do
  mkdir -p "$(dirname "$hostile/$name")"
  cp tests/data/swift-grammar/hostile-names.storyboard "$hostile/$name"
done

projects=(tests/data/ib "$hostile")
[ -d ../shared/corpus/ib ] && projects+=(../shared/corpus/ib)
outputs=()
for index in "${!projects[@]}"; do
  project=${projects[$index]}
  for format in swift xcuitest; do
    output=$work/$index-$(basename "$project").$format.swift
    # ids exits 1 when a file cannot be read; the corpus holds such files on purpose.
    "$korvaster" ids --path "$project" --format "$format" >"$output" || [ $? -eq 1 ]
    outputs+=("$output")
  done
done

NODE_PATH=$cache/node_modules node scripts/check-swift-grammar.cjs "${outputs[@]}"
