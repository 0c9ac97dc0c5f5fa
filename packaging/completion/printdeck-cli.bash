# bash completion for printdeck-cli

# The port strings `ports` finds on this machine (the NET line is a pattern).
_printdeck_cli_ports() {
    "$1" ports 2>/dev/null | awk '$1 == "--port" && $2 !~ /^NET/ { print $2 }'
}

# The field names `settings set --help` lists under its "Fields" heading.
_printdeck_cli_setting_names() {
    "$1" settings set --help 2>/dev/null |
        awk '/^Fields/ { listing = 1; next } listing && /^  [A-Za-z]/ { print $1 } /^[^ ]/ { listing = 0 }'
}

_printdeck_cli_files() {
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -X "!$1" -- "$2") $(compgen -d -- "$2"))
}

_printdeck_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]}
    local connection="--port --ports --ports-file --baud --parity --data-bits --stop-bits --flow"
    COMPREPLY=()

    case $prev in
        --port)
            COMPREPLY=($(compgen -W "$(_printdeck_cli_ports "$program") NET" -- "$cur"))
            [[ ${COMPREPLY[*]} == NET ]] && compopt -o nospace 2>/dev/null
            return ;;
        --parity) COMPREPLY=($(compgen -W "none odd even" -- "$cur")); return ;;
        --data-bits) COMPREPLY=($(compgen -W "7 8" -- "$cur")); return ;;
        --stop-bits) COMPREPLY=($(compgen -W "1 2" -- "$cur")); return ;;
        --flow) COMPREPLY=($(compgen -W "none dtr-dsr" -- "$cur")); return ;;
        --from) _printdeck_cli_files '*.json' "$cur"; return ;;
        --ports-file) _printdeck_cli_files '*' "$cur"; return ;;
        --ports) return ;;
        --baud | --brightness | --address) return ;;
    esac

    # The command and its subcommand: the first words that are neither
    # options nor their values.
    local i word command= sub=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --port | --ports | --ports-file | --baud | --parity | --data-bits | --stop-bits | --flow | --from | --brightness)
                ((i++)) ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=$word
                elif [[ -z $sub ]]; then
                    sub=$word
                fi ;;
        esac
    done

    local words=
    case $command in
        "") words="identify ports settings nv prn firmware doctor --json --help --version $connection" ;;
        identify | ports | doctor) words="--json --help $connection" ;;
        firmware)
            [[ $cur != -* ]] && { _printdeck_cli_files '*.fls' "$cur"; return; }
            words="--dry-run --help $connection" ;;
        settings)
            case $sub in
                "") words="get set diff default --help" ;;
                diff)
                    [[ $cur != -* ]] && { _printdeck_cli_files '*.json' "$cur"; return; }
                    words="--json --help $connection" ;;
                get) words="--json --help $connection" ;;
                default) words="--dry-run --verify --help $connection" ;;
                set)
                    if [[ $cur != -* ]]; then
                        # Names match without regard to case, as the program takes them.
                        COMPREPLY=($(_printdeck_cli_setting_names "$program" |
                            awk -v typed="${cur,,}" 'index(tolower($1), typed) == 1 { print $1 "=" }'))
                        compopt -o nospace 2>/dev/null
                        return
                    fi
                    words="--from --verify --dry-run --help $connection" ;;
            esac ;;
        prn)
            case $sub in
                "") words="show send --help" ;;
                show | send)
                    [[ $cur != -* ]] && { _printdeck_cli_files '*.prn' "$cur"; return; }
                    words="--help $connection"
                    [[ $sub == show ]] && words="--png --json --help" ;;
            esac ;;
        nv)
            case $sub in
                "") words="list download print delete save --help" ;;
                list) words="--json --help $connection" ;;
                print | delete) words="--all --help $connection" ;;
                download | save)
                    local images='*.[bB][mM][pP]'
                    [[ $sub == save ]] && images='*'
                    [[ $cur != -* ]] && { _printdeck_cli_files "$images" "$cur"; return; }
                    words="--auto --address --brightness --help $connection"
                    [[ $sub == download ]] && words="$words --dry-run" ;;
            esac ;;
    esac
    COMPREPLY=($(compgen -W "$words" -- "$cur"))
}

complete -F _printdeck_cli printdeck-cli
