// The man page and the shell completions of the tool, made from the same option table and
// command lists the parser is built from, so that they cannot drift from it.
#pragma once

#include <string>

namespace korvaster {

// korvaster(1) in roff, for `man`.
std::string manPage();
// A bash completion script: subcommands, each level's options, folders and files as values.
std::string bashCompletion();
// A zsh completion function (#compdef korvaster).
std::string zshCompletion();
// fish `complete` lines.
std::string fishCompletion();

}  // namespace korvaster
