#!/usr/bin/env bash
# Validates what `check --format sarif --output-file` writes for the Interface Builder corpus
# (../shared/corpus/ib beside the checkout, else the sample in tests/data/ib) with the SARIF
# Multitool from npm, against the SARIF schema and the rules GitHub code scanning applies to an
# upload. The Multitool is installed once into a cache folder outside the work tree. Exits
# non-zero on any result of the validator, and prints them.
#   scripts/validate-sarif.sh [KORVASTER]   (default: build/release/src/app/korvaster;
#                                           KORVASTER_SARIF_MULTITOOL_CACHE=DIR: keep the tool in DIR)
set -euo pipefail

cd "$(dirname "$0")/.."

multitool_version=5.7.0
cache=${KORVASTER_SARIF_MULTITOOL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvaster/sarif-multitool-$multitool_version}
korvaster=$(realpath "${1:-build/release/src/app/korvaster}")

case "$(uname -s)" in
  Darwin) platform=darwin ;;
  *) platform=linux ;;
esac
multitool=$cache/node_modules/@microsoft/sarif-multitool-$platform/Sarif.Multitool
if [ ! -x "$multitool" ]; then
  command -v npm >/dev/null 2>&1 || { echo "validate-sarif: npm is required to install the SARIF Multitool" >&2; exit 1; }
  echo "validate-sarif: installing @microsoft/sarif-multitool@$multitool_version into $cache" >&2
  mkdir -p "$cache"
  npm install --prefix "$cache" --no-save --no-audit --no-fund --loglevel=error \
    "@microsoft/sarif-multitool@$multitool_version" >&2
fi

corpus=../shared/corpus/ib
[ -d "$corpus" ] || corpus=tests/data/ib
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check exits 1 while it finds anything, which the corpus is there to give it.
status=0
"$korvaster" check --path "$corpus" --format sarif --output-file "$work/korvaster.sarif" || status=$?
[ "$status" -le 1 ] || { echo "validate-sarif: korvaster check failed with status $status" >&2; exit 1; }
[ -s "$work/korvaster.sarif" ] || { echo "validate-sarif: korvaster wrote no log" >&2; exit 1; }

# The Multitool's own status says whether it ran (it skips, and fails on, a file over its size
# limit, which a log of 25,000 results passes); its findings are counted in its output log.
"$multitool" validate --rule-kind "Gh;Sarif" --max-file-size-in-kb 1048576 --output "$work/validation.sarif" \
  "$work/korvaster.sarif" >"$work/validator.txt" || {
  cat "$work/validator.txt" >&2
  echo "validate-sarif: the SARIF Multitool failed" >&2
  exit 1
}
node -e '
  const log = JSON.parse(require("node:fs").readFileSync(process.argv[1], "utf8"));
  const results = log.runs.flatMap((run) => run.results || []);
  for (const result of results) {
    const where = ((result.locations || [])[0] || {}).physicalLocation || {};
    const line = (where.region || {}).startLine;
    const message = result.message.text || `${result.message.id} ${(result.message.arguments || []).join(", ")}`;
    console.error(`${result.level || "warning"} ${result.ruleId}: ${message}` +
                  (line ? ` (line ${line})` : ""));
  }
  console.log(`validate-sarif: ${results.length} validator results for the log of ${process.argv[2]}`);
  process.exit(results.length === 0 ? 0 : 1);
' "$work/validation.sarif" "$corpus"
