#!/usr/bin/env bash
# kt480ctl's completion in bash and in zsh as a person meets it: each command line is typed into
# the shell on a pseudo-terminal and completed with Tab; what the completion offers (sorted) must
# be the words given after the bar. Both shells get the same lines. Beside the lines below, the
# options offered after each verb and each action are the ones `kt480ctl help VERB` lists for it
# (the connection options and --trace where it reaches a controller, and --json, --verbose and
# --help), and before a verb those `kt480ctl --help` names.
#   test-completion.sh COMPLETION_FOLDER KT480CTL
set -euo pipefail
export LC_ALL=C
folder=$(cd "${1:?completion folder}" && pwd)
ctl=${2:?kt480ctl}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cases=$(
    cat <<'EOF'
kt480ctl --tcp 127.0.0.1 c|cards clock
kt480ctl f|file fleet
kt480ctl --serial COM3 --id 2 cards |clear-all diff read sync write
kt480ctl --tcp h cards sy|sync
kt480ctl --tcp h cards sync site.csv --dry|--dry-run
kt480ctl fleet |backup records restore
kt480ctl records q|query
kt480ctl records query --db events.db --cont|--controller
kt480ctl fleet restore site.csv out --dry|--dry-run
kt480ctl --tcp h restore lobby --sy|--sync
kt480ctl --tcp h restore lobby --dr|
kt480ctl fleet backup site.csv out --fo|
kt480ctl --tcp h clock get --p|
kt480ctl fleet backup |out site.csv
kt480ctl records report f.xml --lang |en zh-CN zh-TW
kt480ctl records read --csv |notes.txt out site.csv
kt480ctl records --csv events.csv read --l|--limit --line --local-port
kt480ctl file show --csv s|site.csv
kt480ctl --id a|auto
kt480ctl --jobs |
kt480ctl --tcp h sd st|status
kt480ctl --tcp h sd backup |1 10 2 3 4 5 6 7 8 9
kt480ctl --serial COM1 reader w|watch
kt480ctl --se|--serial
kt480ctl --ver|--verbose --version
kt480ctl he|help
kt480ctl help |backup cards clock exchange file fleet identify params reader records restore sd search
kt480ctl help c|cards clock
kt480ctl --tcp 127.0.0.1:5001 i|identify
kt480ctl --tcp 127.0.0.1:5001 |backup cards clock exchange file fleet help identify params reader records restore sd search
kt480ctl --tcp 127.0.0.1:5001 cards r|read
kt480ctl --tcp=127.0.0.1:5001 i|identify
kt480ctl records report f.xml --lang=z|zh-CN zh-TW
kt480ctl --tcp 127.0.0.1:5001 --json clock |get set
kt480ctl --udp 127.0.0.1:5002 --local-port 0 cl|clock
kt480ctl --udp 10.0.0.7:5001 --id 3 sd |backup restore status
kt480ctl --tcp 127.0.0.1:5001 --id a|auto
kt480ctl --tcp 127.0.0.1:5001 --ver|--verbose --version
kt480ctl search tcp --port |5001
kt480ctl search tcp --net 127.0.0 --range 1-9 --port |5001
kt480ctl search serial --port CO|COM1 COM2 COM3 COM4
kt480ctl reader enrol cards.xml --port CO|COM1 COM2 COM3 COM4
EOF
)

# The options of each verb and action from the program's own help.
option_names() { grep -o -- '--[a-z][a-z-]*' | sort -u || true; }
options_in() { option_names | paste -sd' ' -; }
"$ctl" --help >"$work/top.help"
cases+=$'\n'"kt480ctl --|$(options_in <"$work/top.help")"
verbs=$(sed -n '/^Verbs:$/,/^$/p' "$work/top.help" | awk 'NR > 1 && NF && $1 != "help" { print $1 }')
[ -n "$verbs" ] || { echo "completion: kt480ctl --help names no verb" >&2; exit 1; }
for verb in $verbs; do
    "$ctl" help "$verb" >"$work/$verb.help"
    link=$(sed -n '/^CONNECTION:/,/^Also:/{/^Also:/!p}' "$work/$verb.help" | options_in)
    common=$(grep '^Also:' "$work/$verb.help" | sed 's/--trace FILE//' | options_in)
    [ -n "$common" ] || { echo "completion: kt480ctl help $verb has no Also line" >&2; exit 1; }
    # "  kt480ctl [CONNECTION] VERB [ACTION] ...": a form's options, by action ("-" for none).
    sed -n 's/^  kt480ctl //p' "$work/$verb.help" | while read -r -a words; do
        reaches=
        if [ "${words[0]}" = CONNECTION ]; then
            reaches=1
            words=("${words[@]:1}")
        fi
        action=-
        [[ ${words[1]-} =~ ^[a-z][a-z-]*$ ]] && action=${words[1]}
        {
            printf '%s\n' "${words[@]}" "$common"
            [ -z "$reaches" ] || printf '%s\n' "$link" --trace
        } | option_names | sed "s/^/$action /"
    done >"$work/$verb.forms"
    [ -s "$work/$verb.forms" ] || { echo "completion: kt480ctl help $verb has no usage" >&2; exit 1; }
    cases+=$'\n'"kt480ctl $verb --|$(cut -d' ' -f2 "$work/$verb.forms" | options_in)"
    for action in $(cut -d' ' -f1 "$work/$verb.forms" | sort -u | grep -vx -- - || true); do
        cases+=$'\n'"kt480ctl $verb $action --|$(sed -n "s/^$action //p" "$work/$verb.forms" | options_in)"
    done
done

mkdir "$work/files" "$work/files/out" "$work/bash" "$work/zsh"
touch "$work/files/site.csv" "$work/files/notes.txt"
cut -d'|' -f1 <<<"$cases" >"$work/lines"
cut -d'|' -f2 <<<"$cases" >"$work/want"

failed=0
for shell in bash zsh; do
    (cd "$work/files" && timeout 300 zsh -f "$here/complete-in-pty.zsh" "$shell" "$folder" \
        "$work/$shell" <"$work/lines" >"$work/$shell.got")
    while IFS='|' read -r typed want got; do
        if [ "$got" != "$want" ]; then
            echo "$shell: completion of '$typed': got '$got', want '$want'" >&2
            failed=1
        fi
    done < <(paste -d'|' "$work/lines" "$work/want" "$work/$shell.got")
    [ "$(wc -l <"$work/$shell.got")" = "$(wc -l <"$work/lines")" ] ||
        { echo "$shell: the shell stopped before the last line" >&2; failed=1; }
done
[ "$failed" = 0 ]
echo "completion: bash and zsh ok ($(wc -l <"$work/lines") lines each)"
