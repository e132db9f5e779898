# bash completion for kestrine.
#
# The tool itself says what may come next (`kestrine __complete WORD...`):
# its subcommands and options, a folder for the script folder, and the names
# of the services in the script folder already typed. So what is offered is
# always what the installed tool takes.

_kestrine() {
  local cur words cword
  if declare -F _get_comp_words_by_ref >/dev/null; then
    _get_comp_words_by_ref -n =: cur words cword
  else
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${COMP_WORDS[COMP_CWORD]}
  fi

  # The words after the program's name up to the one being typed, with a
  # leading ~/ as the shell would expand it.
  local -a args=("${words[@]:1:cword-1}" "$cur")
  args=("${args[@]/#\~\//$HOME/}")

  local -a reply
  mapfile -t reply < <("$1" __complete "${args[@]}" 2>/dev/null)
  COMPREPLY=()
  case ${reply[0]} in
    folders)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      ;;
    files)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      ;;
    words)
      local word
      for word in "${reply[@]:1}"; do
        COMPREPLY+=("$(printf '%q' "$word")")
      done
      ;;
  esac
}

complete -F _kestrine kestrine
