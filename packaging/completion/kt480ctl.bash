# bash completion for kt480ctl                                     -*- shell-script -*-

_kt480ctl_serial_ports()
{
    local ports
    ports=$(compgen -G '/dev/ttyS*'; compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*')
    COMPREPLY=($(compgen -W "$ports COM1 COM2 COM3 COM4" -- "$cur"))
}

_kt480ctl()
{
    local cur prev words cword split
    # --tcp 10.0.0.5:5001 is one word to kt480ctl, though bash splits words at the colon;
    # --lang=en is split into the option and its value.
    _init_completion -s -n : || return

    local verbs="backup cards clock exchange file fleet identify params reader records restore search sd"
    local options="--tcp --udp --local-port --serial --line --id --json --verbose --trace --help
        --version --now --csv --echo --from --to --out --clear-all --skip-invalid --port --ids
        --thorough --net --range --all --jobs --dry-run --force --check-to --settle-ms --sync --limit
        --pdf --lang --since --until --card --code --count --app --apb --pin --db --controller"
    # Options followed by a value of their own.
    local valued=" --tcp --udp --local-port --serial --line --id --trace --echo --from --to --out
        --port --ids --net --range --jobs --check-to --settle-ms --limit --pdf --lang --since
        --until --card --code --count --app --apb --pin --db --controller "

    # The verb and the words after it, option values left out.
    local i word verb= args=()
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $word == -* ]]; then
            [[ $valued == *" $word "* ]] && ((i++))
            continue
        fi
        if [[ -z $verb ]]; then
            verb=$word
        else
            args+=("$word")
        fi
    done
    local action=${args[0]-}

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
    if [[ $split == true || $valued == *" $prev "* ]]; then
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "help $verbs" -- "$cur"))
        return
    fi

    local actions=
    case $verb in
    help)
        [[ -z $action ]] && COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
        return
        ;;
    cards) actions="read write clear-all diff sync" ;;
    clock) actions="get set" ;;
    params) actions="get set backup restore defaults" ;;
    records) actions="count read report query import" ;;
    file) actions="show convert" ;;
    search) actions="serial tcp" ;;
    fleet) actions="backup restore records" ;;
    reader) actions="watch enrol" ;;
    sd) actions="status backup restore" ;;
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
