#!/usr/bin/env bash
# kt480ctl's bash completion as a shell uses it: verbs, their actions, options and values; and
# the zsh completion at least reads as zsh.
set -euo pipefail
folder=${1:?completion folder}
# shellcheck source=/dev/null
source "$folder/kt480ctl.bash"

complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kt480ctl
    echo "${COMPREPLY[*]-}"
}
expect() {
    local want=$1
    shift
    local got
    got=$(complete_words "$@")
    if [ "$got" != "$want" ]; then
        echo "completion of '$*': got '$got', want '$want'" >&2
        exit 1
    fi
}

expect "cards clock" kt480ctl --tcp 127.0.0.1 c
expect "file fleet" kt480ctl f
expect "read write clear-all diff" kt480ctl --serial COM3 --id 2 cards ""
expect "backup restore records" kt480ctl fleet ""
expect "query" kt480ctl records q
expect "--db" kt480ctl records query --db
expect "--dry-run" kt480ctl fleet restore site.csv out --dry
expect "en zh-TW zh-CN" kt480ctl records report f.xml --lang ""
expect "auto" kt480ctl --id a
expect "" kt480ctl --jobs ""
expect "status" kt480ctl --tcp h sd st
expect "watch" kt480ctl --serial COM1 reader w
expect "--serial --settle-ms" kt480ctl --se

if command -v zsh >/dev/null; then
    zsh -n "$folder/_kt480ctl"
fi
echo "completion: ok"
