#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a user gets: the tool, a man page
# that renders, and completions; bash's offers the subcommands and each one's options.
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/korvaster-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/korvaster share/man/man1/korvaster.1 share/bash-completion/completions/korvaster \
            share/zsh/site-functions/_korvaster share/fish/vendor_completions.d/korvaster.fish; do
  [ -s "$prefix/$file" ] || fail "$file is missing"
done

version=$("$prefix/bin/korvaster" --version)
case "$version" in "korvaster — "*) ;; *) fail "unexpected version line: $version" ;; esac

if command -v man >/dev/null 2>&1; then
  [ -z "$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/korvaster.1" 2>&1 >/dev/null)" ] ||
    fail "man warns: $(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/korvaster.1" 2>&1 >/dev/null)"
  rendered=$(MANWIDTH=80 man -l "$prefix/share/man/man1/korvaster.1" 2>&1)
  grep -q "^NAME" <<<"$rendered" || fail "the man page does not render: $rendered"
  grep -q "korvaster ${version##* }" <<<"$rendered" || fail "the man page lacks the version ${version##* }"
else
  echo "install test: no man here; the man page was not rendered"
fi

# The texts of the man page and the completions are pinned by the ReferencePages tests; here,
# bash's completion offers the subcommands, each one's options, a format's values and a folder
# with a space as one word once it is sourced (in the prefix, which has the folder "my app").
mkdir "$prefix/my app"
offers() {
  (cd "$prefix" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 )); _korvaster 2>/dev/null; IFS=,; echo "${COMPREPLY[*]}"' \
    _ "$prefix/share/bash-completion/completions/korvaster" "$@")
}
[ "$(offers korvaster '')" = "modify,build,check,fix,ids,--version,--help,-h" ] || fail "top level offers: $(offers korvaster '')"
for row in "--path,--exclude,--report,--dry-run,--config,--help|korvaster|fix|--" \
           "sarif|korvaster|check|--format|s" "csv|korvaster|ids|--format|c" "my app|korvaster|check|--path|my" "my app|korvaster|fix|my"; do
  IFS='|' read -r -a words <<<"$row"
  [ "$(offers "${words[@]:1}")" = "${words[0]}" ] || fail "${words[*]:1} offers: $(offers "${words[@]:1}")"
done
for shell in zsh fish; do
  file=$prefix/share/zsh/site-functions/_korvaster
  [ $shell = zsh ] || file=$prefix/share/fish/vendor_completions.d/korvaster.fish
  if command -v $shell >/dev/null 2>&1; then $shell -n "$file" || fail "$shell finds the completion malformed"; fi
done
echo "install test: tool, man page and completions installed and working"
