#include "core/commands/reference_pages.h"

#include <cctype>
#include <iterator>
#include <vector>

#include "core/project_version.h"
#include "core/options/command_line_table.h"

namespace korvaster {

namespace {

// The rows a level takes, in table order.
std::vector<const OptionSpec*> optionsAt(CommandLevel level) {
  std::vector<const OptionSpec*> options;
  for (const auto& spec : kOptionTable) {
    if (spec.takenAt(level)) options.push_back(&spec);
  }
  return options;
}

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

std::string roff(const std::string& text) {
  const std::string escaped = replaced(replaced(text, "\\", "\\e"), "-", "\\-");
  std::string out;
  // A line that begins with "." or "'" would be read as a request.
  bool lineStart = true;
  for (const char c : escaped) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    out += c;
    lineStart = c == '\n';
  }
  return out;
}

std::string optionWords(CommandLevel level) {
  std::string words;
  for (const OptionSpec* option : optionsAt(level)) {
    const auto& spec = *option;
    words += std::string(words.empty() ? "" : " ") + spec.name;
    if (spec.shortName != nullptr) words += std::string(" ") + spec.shortName;
  }
  return words + " --help -h";
}

std::string upperCased(std::string text) {
  for (char& character : text) character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  return text;
}

std::string singleQuoted(const std::string& text, const std::string& quoteEscape) {
  return "'" + replaced(text, "'", quoteEscape) + "'";
}

// Whether the level takes IB files and folders after its options.
bool takesFiles(CommandLevel level) {
  for (const PositionalSpec& positional : kPositionalTable) {
    if ((positional.levels & takenBy({level})) != 0) return true;
  }
  return false;
}

// The values an option takes, separated by single spaces; empty when it takes any.
std::string choicesOf(const OptionSpec& spec) {
  std::string choices = spec.choices == nullptr ? "" : spec.choices;
  if (!choices.empty()) choices.pop_back();
  return choices;
}

// " \fIDIR\fR" after an option that takes a value, so that the reader sees what it names.
std::string manValue(const OptionSpec& spec) {
  const char* name = valueNameOf(spec);
  return name == nullptr ? "" : std::string(" \\fI") + name + "\\fR";
}

// Each "command line" and what it does, for the man page's examples.
constexpr const char* kManExamples[][2] = {
    {"korvaster modify --path MyApp",
     "Copies MyApp into ~/.korvast/CommandLineTool/Projects/ and gives every view of the copy's IB files an "
     "identifier."},
    {"korvaster check --path . --exclude 'Pods/**' --format github",
     "Lists the views without an identifier, and repeated identifiers, as annotations of a GitHub workflow."},
    {"korvaster fix --path .", "Adds the missing identifiers to the project's own files, where Xcode writes them."},
    {"korvaster ids --path . --format swift > UITests/Identifiers.swift",
     "Writes every identifier as a Swift constant for UI tests."},
    {"korvaster build --path MyApp --workspace MyApp.xcworkspace --scheme MyApp --export ExportOptions.plist",
     "Copies and changes MyApp, then archives the copy and exports an .ipa (on a Mac with Xcode)."},
};

}  // namespace

std::string manPage() {
  std::string page = ".TH KORVASTER 1 \"\" \"korvaster " KORVASTER_VERSION "\" \"User Commands\"\n";
  page += ".SH NAME\nkorvaster \\- accessibility identifiers for every view of an Xcode project, and its .ipa\n";
  page += ".SH SYNOPSIS\n";
  for (const auto& level : kSubcommandTable) {
    page += ".B korvaster " + std::string(level.name) + "\n";
    for (const OptionSpec* option : optionsAt(level.level)) {
      const auto& spec = *option;
      const bool required = std::string(spec.usage).find("(required)") != std::string::npos;
      page += std::string(required ? "" : "[") + "\\fB" + roff(spec.name) + "\\fR" + manValue(spec) +
              (required ? "" : "]") + (spec.kind == OptionKind::list ? "..." : "") + "\n";
    }
    if (takesFiles(level.level)) page += "[\\fIFILE\\fR|\\fIFOLDER\\fR]...\n";
    page += ".br\n";
  }
  page += ".B korvaster \\-\\-version\n.br\n.B korvaster\n[\\fIcommand\\fR] \\fB\\-h\\fR | \\fB\\-\\-help\\fR\n";
  page += ".SH DESCRIPTION\n" + roff(Constants::CommandInfo::Overview) + "\n";
  for (const auto& level : kSubcommandTable) {
    page += ".SH " + upperCased(level.name) + "\n" +
            roff(level.overview) + "\n";
    for (const OptionSpec* option : optionsAt(level.level)) {
      const auto& spec = *option;
      page += ".TP\n\\fB" + roff(spec.name) + "\\fR";
      if (spec.shortName != nullptr) page += ", \\fB" + roff(spec.shortName) + "\\fR";
      page += manValue(spec);
      page += "\n" + roff(spec.usage) + "\n";
    }
    if (takesFiles(level.level)) {
      page += ".TP\n\\fIFILE\\fR|\\fIFOLDER\\fR...\n" + roff(kPositionalTable[0].usage) + "\n";
    }
  }
  page += ".SH OPTIONS\n";
  for (const OptionSpec* option : optionsAt(CommandLevel::topLevel)) {
    const auto& spec = *option;
    page += ".TP\n\\fB" + roff(spec.name) + "\\fR\n" + roff(spec.usage) + "\n";
  }
  page += ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nDisplay available options\n";
  page += ".SH EXIT STATUS\n.TP\n0\nThe command succeeded, or it printed help or the version.\n"
          ".TP\n1\nThe run failed; the last line on standard output says why. For each command:\n.RS\n"
          ".TP\nmodify\nNot for a file that could not be changed: it is named in an error line and left as it was.\n"
          ".TP\nbuild\nAlso when xcodebuild could not archive the copy or export the .ipa.\n"
          ".TP\ncheck\nAlso when a view lacks an identifier, an identifier is used twice, or a file could not be read.\n"
          ".TP\nfix\nAlso when a file was left as it was because it could not be read, parsed or listed.\n"
          ".TP\nids\nAlso when a file could not be read.\n.RE\n"
          ".TP\n129, 130, 143\nThe run was stopped by SIGHUP, SIGINT or SIGTERM, and removed what it had begun.\n";
  page += ".SH ENVIRONMENT\n.TP\nKORVASTER_JOBS\nThe most threads that read and write IB files at once (default: one "
          "per processor).\n.TP\nHOME\nThe folder that holds the working folder ~/.korvast.\n"
          ".TP\nGITHUB_STEP_SUMMARY\nWith check \\-\\-format github: a file the findings' table is appended to, "
          "as GitHub shows on a job's summary page.\n";
  page += ".SH FILES\n.TP\n~/.korvast/CommandLineTool/Projects/\nModified copies of projects.\n"
          ".TP\n~/.korvast/CommandLineTool/AppBuilds/\nOne build folder per workspace, holding the exported .ipa, "
          "and xcodebuild\\-archive.log and xcodebuild\\-export.log, what xcodebuild wrote on its last runs there.\n"
          ".TP\n~/.korvast/CommandLineTool/Locks/\nThe lock files of runs that take turns.\n"
          ".TP\n\\&.korvaster\\-copy\nThe mark of a copy korvaster made, and may replace.\n"
          ".TP\n\\&.korvaster.yml\nThe project's own settings, in the project folder (or the file \\-\\-config "
          "names): globs to exclude, check's format.\n";
  page += ".SH EXAMPLES\n";
  for (const auto& example : kManExamples) page += ".TP\n.B " + roff(example[0]) + "\n" + roff(example[1]) + "\n";
  page += ".SH SEE ALSO\n" + roff(Constants::CommandInfo::More) + "\n";
  return page;
}

std::string bashCompletion() {
  std::string script =
      "# bash completion for korvaster\n"
      "_korvaster() {\n"
      "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\" command=\"\" word\n"
      "  for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
      "    case \"$word\" in ";
  for (const auto& level : kSubcommandTable) {
    script += std::string(level.name) + (&level == std::end(kSubcommandTable) - 1 ? "" : "|");
  }
  script +=
      ") command=$word; break ;; esac\n"
      "  done\n"
      "  case \"$command $prev\" in\n";
  for (const auto& spec : kOptionTable) {
    if (spec.choices == nullptr) continue;
    for (const auto& level : kSubcommandTable) {
      if (!spec.takenAt(level.level)) continue;
      script += "    \"" + std::string(level.name) + " " + spec.name + "\") COMPREPLY=($(compgen -W \"" +
                choicesOf(spec) + "\" -- \"$cur\")); return ;;\n";
    }
  }
  script += "  esac\n  case \"$prev\" in\n";
  std::string folders, files, words;
  for (const auto& spec : kOptionTable) {
    std::string names = spec.name;
    if (spec.shortName != nullptr) names += std::string("|") + spec.shortName;
    switch (spec.value) {
      case ValueKind::folder:
        folders += (folders.empty() ? "" : "|") + names;
        break;
      case ValueKind::file:
        files += (files.empty() ? "" : "|") + names;
        break;
      case ValueKind::word:
        words += (words.empty() ? "" : "|") + names;
        break;
      case ValueKind::none:
        break;
    }
  }
  // One name per line, so that a folder with a space stays one word, quoted by -o filenames.
  script += "    " + folders + ") compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- \"$cur\"); return ;;\n";
  script += "    " + files + ") compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\"); return ;;\n";
  script += "    " + words + ") COMPREPLY=(); return ;;\n";
  script += "  esac\n  case \"$command\" in\n";
  for (const auto& level : kSubcommandTable) {
    // A command that takes files offers them until the word begins with a dash.
    const std::string filesFirst = takesFiles(level.level) ? "[[ \"$cur\" == -* ]] || { compopt -o filenames 2>/dev/null; "
                                                        "mapfile -t COMPREPLY < <(compgen -f -- \"$cur\"); return; }; "
                                                      : "";
    script += "    " + std::string(level.name) + ") " + filesFirst + "COMPREPLY=($(compgen -W \"" + optionWords(level.level) +
              "\" -- \"$cur\")) ;;\n";
  }
  script += "    *) COMPREPLY=($(compgen -W \"";
  for (const auto& level : kSubcommandTable) script += std::string(level.name) + " ";
  script += optionWords(CommandLevel::topLevel) + "\" -- \"$cur\")) ;;\n";
  script += "  esac\n}\ncomplete -F _korvaster korvaster\n";
  return script;
}

std::string zshCompletion() {
  auto describe = [](const std::string& text) {
    return replaced(replaced(replaced(text, "'", "'\\''"), "[", "\\["), "]", "\\]");
  };
  auto arguments = [&](CommandLevel level) {
    std::string specs;
    for (const OptionSpec* option : optionsAt(level)) {
      const auto& spec = *option;
      const std::string names = spec.shortName != nullptr ? "{" + std::string(spec.name) + "," + spec.shortName + "}"
                                                         : std::string(spec.name);
      const std::string exclusive = spec.shortName != nullptr
                                        ? "'(" + std::string(spec.name) + " " + spec.shortName + ")'"
                                        : std::string();
      std::string value;
      switch (spec.value) {
        case ValueKind::folder:
          value = ":folder:_files -/";
          break;
        case ValueKind::file:
          value = ":file:_files";
          break;
        case ValueKind::word:
          value = spec.choices != nullptr ? ":value:(" + choicesOf(spec) + ")" : ":value: ";
          break;
        case ValueKind::none:
          break;
      }
      specs += " \\\n      " + exclusive + (spec.kind == OptionKind::list ? "'*'" : "") + names + "'[" + describe(spec.usage) + "]" + value + "'";
    }
    return specs + " \\\n      '(- *)'{-h,--help}'[Display available options]'";
  };
  std::string script = "#compdef korvaster\n\n_korvaster() {\n  local -a commands\n  commands=(\n";
  for (const auto& level : kSubcommandTable) {
    script += "    '" + std::string(level.name) + ":" + describe(level.overview) + "'\n";
  }
  script += "  )\n  local state line\n  _arguments -C" + arguments(CommandLevel::topLevel) +
            " \\\n      '1: :->command' '*:: :->arguments'\n";
  script += "  case $state in\n    command) _describe 'command' commands ;;\n    arguments)\n      case $line[1] in\n";
  for (const auto& level : kSubcommandTable) {
    script += "        " + std::string(level.name) + ") _arguments" + arguments(level.level) + " ;;\n";
  }
  script += "      esac ;;\n  esac\n}\n\n_korvaster \"$@\"\n";
  return script;
}

std::string fishCompletion() {
  std::string script = "# fish completion for korvaster\ncomplete -c korvaster -f\n";
  for (const auto& level : kSubcommandTable) {
    script += "complete -c korvaster -n __fish_use_subcommand -a " + std::string(level.name) + " -d " +
              singleQuoted(level.overview, "\\'") + "\n";
  }
  auto lines = [&](const std::string& condition, CommandLevel level) {
    for (const OptionSpec* option : optionsAt(level)) {
      const auto& spec = *option;
      script += "complete -c korvaster -n " + condition + " -l " + std::string(spec.name).substr(2);
      if (spec.shortName != nullptr) script += " -s " + std::string(spec.shortName).substr(1);
      switch (spec.value) {
        case ValueKind::folder:
          script += " -r -a '(__fish_complete_directories)'";
          break;
        case ValueKind::file:
          script += " -r -F";
          break;
        case ValueKind::word:
          script += spec.choices != nullptr ? " -r -f -a " + singleQuoted(choicesOf(spec), "\\'") : " -r";
          break;
        case ValueKind::none:
          break;
      }
      script += " -d " + singleQuoted(spec.usage, "\\'") + "\n";
    }
    script += "complete -c korvaster -n " + condition + " -s h -l help -d 'Display available options'\n";
  };
  lines("__fish_use_subcommand", CommandLevel::topLevel);
  for (const auto& level : kSubcommandTable) {
    lines("'__fish_seen_subcommand_from " + std::string(level.name) + "'", level.level);
  }
  return script;
}

}  // namespace korvaster
