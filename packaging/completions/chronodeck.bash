# bash completion for chronodeck                            -*- shell-script -*-
#
# Commands, their options, option values, and the IDs of the day's tasks
# (today's, or those of the day given with --day), which chronodeck itself
# lists: through the running window, else from the database.

# Reads `chronodeck list --json` from stdin and prints "T<tab>ID<tab>SUBJECT"
# for each task and "C<tab>NAME" for each category. Escapes that would move
# the cursor stay written out; line breaks and tabs become blanks.
_chronodeck_json_awk='
{
    s = $0; n = length(s); i = 1; key = ""; incat = 0; id = ""; subject = ""
    bs = "\134"; q = "\042"
    while (i <= n) {
        c = substr(s, i, 1)
        if (c == q) {
            v = ""; i++
            while (i <= n) {
                c = substr(s, i, 1)
                if (c == bs) {
                    e = substr(s, i + 1, 1); i += 2
                    if (e == "n" || e == "r" || e == "t") v = v " "
                    else if (e == "u") { v = v bs "u" substr(s, i, 4); i += 4 }
                    else v = v e
                    continue
                }
                if (c == q) break
                v = v c; i++
            }
            i++
            if (substr(s, i, 1) == ":") { key = v; i++; continue }
            if (incat) printf "C\t%s\n", v
            else if (key == "subject") subject = v
            continue
        }
        if (c == "[") { if (key == "categories") incat = 1 }
        else if (c == "]") incat = 0
        else if (c == "{") { id = ""; subject = "" }
        else if (c == "}") { if (id != "") printf "T\t%s\t%s\n", id, subject; id = "" }
        else if (key == "id" && c ~ /[0-9]/) {
            id = ""
            while (i <= n && substr(s, i, 1) ~ /[0-9]/) { id = id substr(s, i, 1); i++ }
            key = ""
            continue
        }
        i++
    }
}'

# The day's tasks and the categories as the awk program above prints them.
# $1 the program as typed, $2 the data folder given on the line (or empty),
# $3 the day given with --day (or empty).
_chronodeck_listing()
{
    local program=$1 folder=$2 day=$3
    program=${program/#\~/$HOME}
    command -v -- "$program" >/dev/null 2>&1 || program=chronodeck
    command -v -- "$program" >/dev/null 2>&1 || return
    local -a args=()
    [[ -n $folder ]] || folder=$CHRONODECK_DATA_DIR
    if [[ -n $folder ]]; then
        folder=${folder/#\~/$HOME}
        # A completion never makes a data folder or a database: a mistyped
        # folder offers nothing.
        [[ -f $folder/CDKDatabase.cdkd ]] || return
        args=(--data-dir "$folder")
    fi
    args+=(list --json)
    [[ -n $day ]] && args+=(--day "$day")
    local -a limit=()
    command -v timeout >/dev/null 2>&1 && limit=(timeout 5)
    "${limit[@]}" "$program" "${args[@]}" </dev/null 2>/dev/null | awk "$_chronodeck_json_awk"
}

_chronodeck()
{
    local cur prev words cword split
    if declare -F _init_completion >/dev/null; then
        _init_completion -s || return
    else
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        split=false
    fi

    local commands="add list start stop done status report export review sync"
    local -A options=(
        [add]="--budget --day --category --priority --start"
        [list]="--day --json"
        [start]="--day"
        [stop]=""
        [done]="--day"
        [status]="--json --format"
        [report]="--day --period --from --to"
        [export]="--day --period --from --to --format"
        [review]="--day --move-to"
        [sync]="--setup --user --password-stdin --list --create --json"
    )
    # Options that take a value, in any command.
    local valued="--data-dir --budget --day --category --priority --format --period --from --to --move-to --setup --user --list --create"

    # What the words before the cursor say: the command, the data folder,
    # the day, the options already given and the positional arguments.
    local command="" folder="" day="" ended=false i word
    local -a given=() positionals=()
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if $ended || [[ $word != -* || $word == - ]]; then
            if [[ -z $command ]]; then
                command=$word
            else
                positionals+=("$word")
            fi
            continue
        fi
        case $word in
            --) ended=true ;;
            --data-dir=*) folder=${word#*=} ;;
            --data-dir) folder=${words[i + 1]}; ((i++)) ;;
            --day=*) day=${word#*=}; given+=(--day) ;;
            --*=*) given+=("${word%%=*}") ;;
            *)
                given+=("$word")
                [[ " $valued " == *" $word "* ]] || continue
                [[ $word == --day ]] && day=${words[i + 1]}
                ((i++))
                ;;
        esac
    done

    # Bash completion's -s splits "--day=x"; without it, do the same here.
    if [[ $split != true && $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
        split=true
    fi

    if [[ $split == true || ( " $valued " == *" $prev "* && $ended == false ) ]]; then
        case $prev in
            --data-dir)
                if declare -F _filedir >/dev/null; then
                    _filedir -d
                else
                    COMPREPLY=($(compgen -d -- "$cur"))
                fi
                ;;
            --day | --from | --to)
                COMPREPLY=($(compgen -W "today tomorrow yesterday $(date +%F 2>/dev/null)" -- "$cur"))
                ;;
            --priority)
                COMPREPLY=($(compgen -W "very-low low normal high very-high urgent" -- "$cur"))
                ;;
            --period)
                COMPREPLY=($(compgen -W "day week month" -- "$cur"))
                ;;
            --move-to)
                COMPREPLY=($(compgen -W "tomorrow" -- "$cur"))
                ;;
            --format)
                [[ $command == export ]] && COMPREPLY=($(compgen -W "csv ics" -- "$cur"))
                ;;
            --category)
                local -a names=()
                local kind name
                while IFS=$'\t' read -r kind name; do
                    [[ $kind == C && ${name,,} == "${cur,,}"* ]] && names+=("$name")
                done < <(_chronodeck_listing "${words[0]}" "$folder" "$day")
                # Names may hold blanks: each candidate is quoted whole.
                local IFS=$'\n'
                ((${#names[@]})) && COMPREPLY=($(printf '%q\n' "${names[@]}"))
                ;;
        esac
        return
    fi

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--data-dir --help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands help" -- "$cur"))
        fi
        return
    fi

    if [[ $command == help ]]; then
        ((${#positionals[@]} == 0)) && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi
    [[ -v options[$command] ]] || return

    if [[ $cur == -* && $ended == false ]]; then
        # An option may be given once.
        local option offered=""
        for option in ${options[$command]} --help; do
            [[ " ${given[*]} " == *" $option "* ]] || offered+=" $option"
        done
        COMPREPLY=($(compgen -W "$offered" -- "$cur"))
        return
    fi

    case $command in
        start | done)
            [[ $command == start ]] && ((${#positionals[@]} > 0)) && return
            local -a ids=()
            local kind id subject
            while IFS=$'\t' read -r kind id subject; do
                [[ $kind == T && " ${positionals[*]} " != *" $id "* ]] && ids+=("$id")
            done < <(_chronodeck_listing "${words[0]}" "$folder" "$day")
            COMPREPLY=($(compgen -W "${ids[*]}" -- "$cur"))
            ;;
    esac
} &&
    complete -F _chronodeck chronodeck

# ex: filetype=sh
