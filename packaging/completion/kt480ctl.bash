# bash completion for kt480ctl                                     -*- shell-script -*-

_kt480ctl_serial_ports()
{
    local ports
    ports=$(compgen -G '/dev/ttyS*'; compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*')
    COMPREPLY=($(compgen -W "$ports COM1 COM2 COM3 COM4" -- "$cur"))
}

# The actions of a verb.
_kt480ctl_actions()
{
    case $1 in
    cards) echo "read write clear-all diff sync" ;;
    clock) echo "get set" ;;
    params) echo "get set backup restore defaults" ;;
    records) echo "count read report query import" ;;
    file) echo "show convert" ;;
    search) echo "serial tcp" ;;
    fleet) echo "backup restore records" ;;
    reader) echo "watch enrol" ;;
    sd) echo "status backup restore" ;;
    esac
}

# The options of a verb's action (of every action while none is typed), as `kt480ctl help VERB`
# lists them: each verb and action takes only its own, the connection options and --trace only
# where it reaches a controller; before the verb, those that may precede any verb.
_kt480ctl_options()
{
    local verb=$1 action=$2
    local link="--tcp --udp --local-port --serial --line --id --trace"
    local own
    case $verb/$action in
    /) own="$link --version" ;;
    exchange/) own="--echo $link" ;;
    identify/ | clock/get | params/* | cards/clear-all | sd/* | records/count) own=$link ;;
    clock/set) own="--now $link" ;;
    cards/read) own="--from --to --out $link" ;;
    cards/write) own="--clear-all --skip-invalid $link" ;;
    cards/diff | backup/) own="--from --to $link" ;;
    cards/sync) own="--from --to --dry-run $link" ;;
    restore/) own="--force --check-to --settle-ms --sync $link" ;;
    records/read) own="--limit --out --csv --db $link" ;;
    records/report) own="--db --controller --pdf --csv --lang --since --until --card --code" ;;
    records/query) own="--db --controller --since --until --card --code --limit --csv" ;;
    records/import) own="--db --controller" ;;
    reader/watch) own="--port --count" ;;
    reader/enrol) own="--port --count --app --apb --pin" ;;
    search/serial) own="--port --line --ids --thorough --csv --trace" ;;
    search/tcp) own="--net --range --port --ids --all --csv --trace" ;;
    file/show) own="--csv" ;;
    file/convert) own= ;;
    fleet/backup) own="--jobs --from --to --trace" ;;
    fleet/restore) own="--jobs --force --check-to --settle-ms --sync --dry-run --from --to --trace" ;;
    fleet/records) own="--db --jobs --trace" ;;
    help/*) return ;;
    */)
        local a
        for a in $(_kt480ctl_actions "$verb"); do
            own+=" $(_kt480ctl_options "$verb" "$a")"
        done
        ;;
    esac
    printf '%s\n' $own --json --verbose --help | sort -u
}

# Whether an option is followed by a value of its own: --csv names a file for records and is a
# switch for file and search.
_kt480ctl_takes_value()
{
    local verb=$1 option=$2
    case $option in
    --csv) [[ $verb != file && $verb != search ]] ;;
    --tcp | --udp | --local-port | --serial | --line | --id | --trace | --echo | --from | --to | \
        --out | --port | --ids | --net | --range | --jobs | --check-to | --settle-ms | --limit | \
        --pdf | --lang | --since | --until | --card | --code | --count | --app | --apb | --pin | \
        --db | --controller) return 0 ;;
    *) return 1 ;;
    esac
}

_kt480ctl()
{
    local cur prev words cword split
    # --tcp 10.0.0.5:5001 is one word to kt480ctl, though bash splits words at the colon;
    # --lang=en is split into the option and its value.
    _init_completion -s -n : || return

    local verbs="backup cards clock exchange file fleet identify params reader records restore search sd"
    # The verb and the words after it, option values left out.
    local i word verb= args=()
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $word == -* ]]; then
            _kt480ctl_takes_value "$verb" "$word" && ((i++))
            continue
        fi
        if [[ -z $verb ]]; then
            verb=$word
        else
            args+=("$word")
        fi
    done
    local action=${args[0]-}
    local actions=$(_kt480ctl_actions "$verb")
    # A verb without actions takes its arguments at once; help takes a verb.
    [[ -n $actions || $verb == help ]] || action=

    case $prev in
    --port)
        # search tcp --port is a TCP port; search serial and reader take serial ports.
        if [[ $verb == search && $action == tcp ]]; then
            COMPREPLY=($(compgen -W "5001" -- "$cur"))
        else
            _kt480ctl_serial_ports
        fi
        return
        ;;
    --serial)
        _kt480ctl_serial_ports
        return
        ;;
    --line)
        COMPREPLY=($(compgen -W "19200,e,8,1 9600,e,8,1 38400,e,8,1 57600,e,8,1 115200,n,8,1 all" -- "$cur"))
        return
        ;;
    --id)
        COMPREPLY=($(compgen -W "auto" -- "$cur"))
        return
        ;;
    --lang)
        COMPREPLY=($(compgen -W "en zh-TW zh-CN" -- "$cur"))
        return
        ;;
    --apb)
        COMPREPLY=($(compgen -W "0 1" -- "$cur"))
        return
        ;;
    --pdf)
        _filedir pdf
        return
        ;;
    --trace | --out | --db)
        _filedir
        __ltrim_colon_completions "$cur"
        return
        ;;
    esac
    if [[ $split == true ]] || _kt480ctl_takes_value "$verb" "$prev"; then
        [[ $prev == --csv ]] && _filedir
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_kt480ctl_options "$verb" "$action")" -- "$cur"))
        return
    fi
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "help $verbs" -- "$cur"))
        return
    fi

    case $verb in
    help)
        [[ -z $action ]] && COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
        return
        ;;
    backup | restore)
        _filedir -d
        __ltrim_colon_completions "$cur"
        return
        ;;
    esac
    if [[ -n $actions && -z $action ]]; then
        COMPREPLY=($(compgen -W "$actions" -- "$cur"))
        return
    fi
    case $verb in
    fleet)
        if ((${#args[@]} == 1)); then
            _filedir csv
        else
            _filedir -d
        fi
        ;;
    sd)
        [[ $action == backup || $action == restore ]] && ((${#args[@]} == 1)) &&
            COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8 9 10" -- "$cur"))
        return
        ;;
    cards | file | params | records | reader)
        _filedir
        ;;
    esac
    __ltrim_colon_completions "$cur"
}

complete -F _kt480ctl kt480ctl
