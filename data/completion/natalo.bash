# bash completion for natalo: the commands, their options and the values
# the options take, the names of the settings.

_natalo() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="list next export add delete edit import snooze dismiss status config help"
    local settings="view.display-names view.first-line view.display-age view.days-left view.date-format
        view.year-value view.zodiac sort.key sort.ascending show.birthdays show.anniversaries show.other-dates
        show.stars reminder.lead reminder.time reminder.unlock reminder.show-as sound.type sound.volume
        sound.birthday-source sound.anniversary-source sound.other-source sound.birthday-file
        sound.anniversary-file sound.other-file export.calendar-folder"
    COMPREPLY=()
    if [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    local command=${COMP_WORDS[1]} i
    # After "--" every word is an argument of its own.
    for ((i = 2; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && return
    done
    local options=""
    case $command in
        list)
            options="--days --kind --stars --json"
            case $prev in
                --kind) COMPREPLY=($(compgen -W "birthday anniversary other" -- "$cur")); return ;;
                --days) return ;;
            esac
            ;;
        next | status) options="--json" ;;
        export)
            options="--ics --vdir --stars --force"
            case $prev in
                --ics) compopt -o filenames; COMPREPLY=($(compgen -f -- "$cur") -); return ;;
                --vdir) compopt -o filenames; COMPREPLY=($(compgen -d -- "$cur")); return ;;
            esac
            ;;
        add)
            options="--note --no-reminder"
            [[ $prev == --note ]] && return
            if [[ $COMP_CWORD -eq 2 ]]; then
                COMPREPLY=($(compgen -W "birthday anniversary other" -- "$cur"))
                return
            fi
            ;;
        edit)
            options="--first-name --last-name --name --date --note --lead --time --sound --reminder --skip-next"
            case $prev in
                --first-name | --last-name | --name | --date | --note | --time) return ;;
                --lead) COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7 8 9" -- "$cur")); return ;;
                --reminder) COMPREPLY=($(compgen -W "on off" -- "$cur")); return ;;
                --sound) compopt -o filenames; COMPREPLY=($(compgen -f -- "$cur") $(compgen -W default -- "$cur")); return ;;
            esac
            ;;
        import)
            options="--birthdays --anniversaries --rule --birthday-rule --anniversary-rule"
            case $prev in
                --birthdays | --anniversaries) COMPREPLY=($(compgen -W "on off" -- "$cur")); return ;;
                --rule | --birthday-rule | --anniversary-rule) COMPREPLY=($(compgen -W "1 2 3" -- "$cur")); return ;;
            esac
            ;;
        config)
            if [[ $COMP_CWORD -eq 2 ]]; then
                COMPREPLY=($(compgen -W "get set --help" -- "$cur"))
            elif [[ $COMP_CWORD -eq 3 ]]; then
                COMPREPLY=($(compgen -W "$settings" -- "$cur"))
            elif [[ $COMP_CWORD -eq 4 && ${COMP_WORDS[2]} == set ]]; then
                case $prev in
                    sort.ascending | show.*) COMPREPLY=($(compgen -W "on off" -- "$cur")) ;;
                    *-file | export.calendar-folder) compopt -o filenames; COMPREPLY=($(compgen -f -- "$cur")) ;;
                esac
            fi
            return
            ;;
        help)
            [[ $COMP_CWORD -eq 2 ]] && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            return
            ;;
        delete | snooze | dismiss) ;;
        *) return ;;
    esac
    [[ $cur == -* ]] && COMPREPLY=($(compgen -W "$options --help --" -- "$cur"))
}
complete -F _natalo natalo
