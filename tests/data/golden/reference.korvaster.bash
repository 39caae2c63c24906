# bash completion for korvaster
_korvaster() {
  local cur="${COMP_WORDS[COMP_CWORD]}" prev="${COMP_WORDS[COMP_CWORD-1]}" command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case "$word" in modify|build|check|fix|ids) command=$word; break ;; esac
  done
  case "$command $prev" in
    "check --format") COMPREPLY=($(compgen -W "text json github sarif junit checkstyle xcode" -- "$cur")); return ;;
    "ids --format") COMPREPLY=($(compgen -W "text json csv swift xcuitest" -- "$cur")); return ;;
    "check --rule") COMPREPLY=($(compgen -W "missingIdentifier=on missingIdentifier=off duplicateIdentifier=on duplicateIdentifier=off" -- "$cur")); return ;;
  esac
  case "$prev" in
    --path|-p|--output|-o) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return ;;
    --export|-e|--workspace|-w|--report|--output-file|--config|--baseline|--write-baseline) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    --configuration|-c|--scheme|-s|--exclude|--format|--format|--rule) COMPREPLY=(); return ;;
  esac
  case "$command" in
    modify) COMPREPLY=($(compgen -W "--path -p --output -o --exclude --report --config --help -h" -- "$cur")) ;;
    build) COMPREPLY=($(compgen -W "--path -p --output -o --export -e --configuration -c --scheme -s --workspace -w --buildonly -b --verbose -v --exclude --report --config --help -h" -- "$cur")) ;;
    check) [[ "$cur" == -* ]] || { compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return; }; COMPREPLY=($(compgen -W "--path -p --exclude --format --output-file --config --baseline --write-baseline --rule --help -h" -- "$cur")) ;;
    fix) [[ "$cur" == -* ]] || { compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return; }; COMPREPLY=($(compgen -W "--path -p --exclude --report --dry-run --config --help -h" -- "$cur")) ;;
    ids) [[ "$cur" == -* ]] || { compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return; }; COMPREPLY=($(compgen -W "--path -p --exclude --format --output-file --config --help -h" -- "$cur")) ;;
    *) COMPREPLY=($(compgen -W "modify build check fix ids --version --help -h" -- "$cur")) ;;
  esac
}
complete -F _korvaster korvaster
