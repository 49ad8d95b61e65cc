# bash completion for kt480ctl                                     -*- shell-script -*-

_kt480ctl()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}

    local verbs="backup cards clock exchange file fleet identify params reader records restore search sd"
    local options="--tcp --udp --local-port --serial --line --id --json --trace --help
        --now --csv --echo --from --to --out --clear-all --skip-invalid --port --ids --thorough
        --net --range --all --jobs --dry-run --force --settle-ms --limit --pdf --lang --since
        --until --card --code --count --app --apb --pin --db --controller"
    # Options followed by a value of their own.
    local valued=" --tcp --udp --local-port --serial --line --id --trace --echo --from --to --out
        --port --ids --net --range --jobs --settle-ms --limit --pdf --lang --since --until --card
        --code --count --app --apb --pin --db --controller "

    case $prev in
    --serial | --port)
        local ports
        ports=$(compgen -G '/dev/ttyS*'; compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*')
        COMPREPLY=($(compgen -W "$ports COM1 COM2 COM3 COM4" -- "$cur"))
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
    --trace | --out | --pdf | --db)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    esac
    if [[ $valued == *" $prev "* ]]; then
        return
    fi

    # The verb and the words after it, option values left out.
    local i word verb= args=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
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

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
        return
    fi

    local action=${args[0]-}
    local words=
    case $verb in
    cards) words="read write clear-all diff" ;;
    clock) words="get set" ;;
    params) words="get set backup restore defaults" ;;
    records) words="count read report query import" ;;
    file) words="show convert" ;;
    search) words="serial tcp" ;;
    fleet) words="backup restore records" ;;
    reader) words="watch enrol" ;;
    sd) words="status backup restore" ;;
    backup | restore)
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    esac
    if [[ -n $words && -z $action ]]; then
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    case $verb in
    fleet)
        if ((${#args[@]} == 1)); then
            COMPREPLY=($(compgen -f -X '!*.csv' -- "$cur") $(compgen -d -- "$cur"))
        else
            COMPREPLY=($(compgen -d -- "$cur"))
        fi
        ;;
    cards | file | params | records | reader)
        COMPREPLY=($(compgen -f -- "$cur"))
        ;;
    esac
}

complete -o filenames -F _kt480ctl kt480ctl
