# Bash completion for zot: commands, options, and PC paths where a PC path goes.
_zot() {
    local cur prev cmd i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="info ls get put mv sync rm mkdir rmdir attrib ring ports"
    local options="--port --ports --device --baud --no-compress -r --recursive --no-times
        --verify --retries --resume --json --to-terminal --to-pc --delete --dry-run -l -R
        -n --no-clobber -u --update -f --force --no-preserve-root -v --verbose --exclude
        -h --help --version"
    case $prev in
        --device) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --port|--ports|--baud|--retries|--exclude) return ;;
    esac
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --port|--ports|--device|--baud|--retries|--exclude) ((i++)) ;;
            -*) ;;
            *) cmd=${COMP_WORDS[i]}; break ;;
        esac
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $cmd ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $cmd == put || $cmd == get || $cmd == sync ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _zot zot
