# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Glintcaster developers
# bash completion for glintcaster-cli

_glintcaster_cli()
{
    local cur prev words cword
    _init_completion 2>/dev/null || {
        COMPREPLY=()
        cur="${COMP_WORDS[COMP_CWORD]}"
        prev="${COMP_WORDS[COMP_CWORD-1]}"
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    }

    local commands="encode send get list display clear mute status caps startup discover projectors import preview sound"
    local common="--home --lang --json --yes --verbose --help"
    local target="--to --password"

    local cmd="" sub="" i
    for ((i = 1; i < cword; i++)); do
        case "${words[i]}" in
            -*) ;;
            *)
                if [[ -z $cmd ]]; then
                    cmd="${words[i]}"
                elif [[ $cmd == projectors && -z $sub ]]; then
                    sub="${words[i]}"
                fi
                ;;
        esac
    done

    case "$prev" in
        --home)
            COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --lang)
            COMPREPLY=($(compgen -W "en ja zh" -- "$cur")); return ;;
        -o|--output)
            COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --slot)
            if [[ $cmd == clear ]]; then
                COMPREPLY=($(compgen -W "all quick saved 1 2 3 4 5 6 7 8 9 10 11 12" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "quick 1 2 3 4 5 6 7 8 9 10 11 12" -- "$cur"))
            fi
            return ;;
        --startup|--minutes)
            COMPREPLY=($(compgen -W "repeat" -- "$cur")); return ;;
        --charset)
            COMPREPLY=($(compgen -W "basic extended" -- "$cur")); return ;;
        --purpose)
            COMPREPLY=($(compgen -W "send file" -- "$cur")); return ;;
        --to|--password|--name|--mac|--title|--tick)
            return ;;
    esac

    if [[ -z $cmd ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local opts="$common"
    case "$cmd" in
        encode)     opts+=" --alarm --charset --purpose" ;;
        send)       opts+=" $target --slot --startup" ;;
        get)        opts+=" $target --slot -o --output" ;;
        list|mute|status|caps) opts+=" $target" ;;
        display)    opts+=" $target --slot --power-on" ;;
        clear)      opts+=" $target --slot" ;;
        startup)    opts+=" $target --set --slot --minutes --disable" ;;
        import)     opts+=" -o --output --title --charset --fit" ;;
        preview)    opts+=" -o --output --tick --character-display-mode" ;;
        sound)      opts+=" -o --output --play" ;;
        projectors)
            if [[ -z $sub ]]; then
                COMPREPLY=($(compgen -W "list add remove password" -- "$cur"))
                return
            fi
            case "$sub" in
                add)      opts+=" --name --mac --password" ;;
                password) opts+=" --password --none" ;;
            esac
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
        return
    fi
    case "$cmd" in
        display)
            COMPREPLY=($(compgen -W "on off" -- "$cur")) ;;
        encode|send|preview)
            COMPREPLY=($(compgen -f -X '!*.@(glc|txt|GLC|TXT)' -- "$cur") $(compgen -d -- "$cur")) ;;
        import)
            COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}
complete -F _glintcaster_cli glintcaster-cli
