// Prints one of the tool's reference pages, made from its own option table; the build runs
// it to make the man page and the shell completions that are installed with the tool.
#include <cstdio>
#include <string>

#include "core/commands/reference_pages.h"

int main(int argc, char* argv[]) {
  const std::string kind = argc == 2 ? argv[1] : "";
  std::string text;
  if (kind == "man") {
    text = korvaster::manPage();
  } else if (kind == "bash") {
    text = korvaster::bashCompletion();
  } else if (kind == "zsh") {
    text = korvaster::zshCompletion();
  } else if (kind == "fish") {
    text = korvaster::fishCompletion();
  } else {
    std::fputs("usage: korvaster-reference man|bash|zsh|fish\n", stderr);
    return 2;
  }
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
}
