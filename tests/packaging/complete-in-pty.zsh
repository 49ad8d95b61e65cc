#!/usr/bin/env zsh
# Types command lines into an interactive bash or zsh on a pseudo-terminal, presses Tab, and
# prints what the kt480ctl completion offered, sorted, one line per command line. The shell's
# own line editor splits the words (bash at COMP_WORDBREAKS, so HOST:PORT arrives in pieces),
# as a person at a terminal meets it.
#   complete-in-pty.zsh bash|zsh COMPLETION_FOLDER WORK_FOLDER < LINES
emulate -L zsh
setopt err_exit no_unset
zmodload zsh/zpty

shell=$1 folder=${2:A} work=${3:A}
capture=$work/offered
prompt='kt480-ready> '

case $shell in
bash)
  bash_completion=/usr/share/bash-completion/bash_completion
  [[ -r $bash_completion ]] || { print -u2 "no $bash_completion (package bash-completion)"; exit 1 }
  cat >$work/bashrc <<EOF
PS1='$prompt'
unset HISTFILE
bind 'set bell-style none'
source $bash_completion
source $folder/kt480ctl.bash
_kt480ctl_offered() {
    _kt480ctl "\$@"
    printf '%s\n' "\${COMPREPLY[@]}" >>'$capture'
}
complete -F _kt480ctl_offered kt480ctl
EOF
  command=(bash --noprofile --rcfile $work/bashrc -i)
  ;;
zsh)
  cat >$work/.zshrc <<EOF
PS1='$prompt'
unsetopt beep
fpath=($folder \$fpath)
autoload -Uz compinit && compinit -u -D
# Every match the completion adds, as it adds it.
compadd() {
  if [[ \${@[1,(i)(-|--)]} == *-(O|A|D)\ * ]]; then
    builtin compadd "\$@"
    return
  fi
  local -a hits
  builtin compadd -A hits "\$@"
  (( \$#hits )) && print -rl -- \$hits >>'$capture'
  builtin compadd "\$@"
}
EOF
  command=(env ZDOTDIR=$work zsh -d -i)
  ;;
*)
  print -u2 "unknown shell: $shell"
  exit 2
  ;;
esac

zpty -b completing $command
zpty -r completing out "*$prompt"
while IFS= read -r typed; do
  : >$capture
  # Tab, then Ctrl-U drops the line and Enter brings the next prompt, once the completion has run.
  zpty -w -n completing "$typed"$'\t\x15\n'
  zpty -r completing out "*$prompt"
  print -r -- ${(j: :)${(ou)${(f)"$(<$capture)"}}}
done
zpty -d completing
