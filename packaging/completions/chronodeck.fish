# fish completion for chronodeck: commands, their options, option values, and
# the day's tasks (today's, or those of the day given with --day) with their
# subjects, as chronodeck itself lists them.

# `chronodeck list --json` read into "T<tab>ID<tab>SUBJECT" and "C<tab>NAME"
# lines. Escapes that would move the cursor stay written out; line breaks and
# tabs become blanks.
function __chronodeck_listing
    set -l tokens (commandline -opc)
    set -l program $tokens[1]
    command -q -- $program; or set program chronodeck
    command -q -- $program; or return
    set -l folder $CHRONODECK_DATA_DIR
    set -l day
    set -l count (count $tokens)
    for i in (seq 2 $count)
        set -l next (math $i + 1)
        switch $tokens[$i]
            case --
                break
            case '--data-dir=*'
                set folder (string replace -- --data-dir= '' $tokens[$i])
            case '--day=*'
                set day (string replace -- --day= '' $tokens[$i])
            case --data-dir
                test $next -le $count; and set folder $tokens[$next]
            case --day
                test $next -le $count; and set day $tokens[$next]
        end
    end
    set -l args
    if test -n "$folder"
        set folder (string replace -r '^~' -- $HOME $folder)
        # A completion never makes a data folder or a database: a mistyped
        # folder offers nothing.
        test -f $folder/CDKDatabase.cdkd; or return
        set args --data-dir $folder
    end
    set -a args list --json
    test -n "$day"; and set -a args --day $day
    set -l limit
    command -q timeout; and set limit timeout 5
    $limit $program $args </dev/null 2>/dev/null | awk '
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
end

# "ID<tab>SUBJECT" for each task of the day not named on the line yet.
function __chronodeck_tasks
    set -l named (commandline -opc)
    __chronodeck_listing | string match -r '^T\t.*' | string replace -r '^T\t' '' |
        while read -l line
            set -l id (string split -m1 \t -- $line)[1]
            contains -- $id $named; or printf '%s\n' $line
        end
end

function __chronodeck_categories
    __chronodeck_listing | string match -r '^C\t.*' | string replace -r '^C\t' ''
end

# True while the command line holds one task ID for start, which takes one.
function __chronodeck_needs_task
    set -l tokens (commandline -opc)
    set -l command
    set -l ids 0
    set -l skip 0
    for token in $tokens[2..-1]
        if test $skip -eq 1
            set skip 0
            continue
        end
        switch $token
            case --data-dir --day
                set skip 1
            case '-*'
            case '*'
                if test -z "$command"
                    set command $token
                else
                    set ids (math $ids + 1)
                end
        end
    end
    switch $command
        case done
            return 0
        case start
            test $ids -eq 0
        case '*'
            return 1
    end
end

set -l commands add list start stop done status report export review sync help
complete -c chronodeck -f

complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -l data-dir -r -F -a '(__fish_complete_directories)' -d 'the data folder'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -l version -d 'show the version'
complete -c chronodeck -s h -l help -d 'show the help'

complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a add -d 'add a task to a day'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a list -d "show a day's tasks"
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a start -d 'track a task, stopping the one tracked now'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a stop -d 'stop tracking'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a done -d "check tasks off, as the window's check box does"
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a status -d 'one line about the tracked task, for status bars'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a report -d 'where the time went: planned and done by day and by category'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a export -d 'the tasks of a period as CSV or iCalendar'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a review -d 'close a day: its unfinished tasks, or all moved to the next'
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a sync -d "sync the tasks with a CalDAV server's task list"
complete -c chronodeck -n "not __fish_seen_subcommand_from $commands" -a help -d 'show the help of a command'
complete -c chronodeck -n "__fish_seen_subcommand_from help" -a "$commands[1..-2]"

set -l days 'today tomorrow yesterday'
complete -c chronodeck -n '__fish_seen_subcommand_from add list start done report export review' -l day -x -a $days -d 'the day: today, tomorrow, yesterday or YYYY-MM-DD'

complete -c chronodeck -n '__fish_seen_subcommand_from add' -l budget -x -d '45, 45m, 1h, 1h30m or 1:30 (default 1:00)'
complete -c chronodeck -n '__fish_seen_subcommand_from add' -l category -x -a '(__chronodeck_categories)' -d "a category's name, in any letter case"
complete -c chronodeck -n '__fish_seen_subcommand_from add' -l priority -x -a 'very-low low normal high very-high urgent' -d 'the priority (default normal)'
complete -c chronodeck -n '__fish_seen_subcommand_from add' -l start -d 'track the new task at once (needs the window)'

complete -c chronodeck -n '__fish_seen_subcommand_from list status sync' -l json -d 'one JSON object'
complete -c chronodeck -n '__fish_seen_subcommand_from start done; and __chronodeck_needs_task' -a '(__chronodeck_tasks)'

complete -c chronodeck -n '__fish_seen_subcommand_from status' -l format -x -d 'the line to print: {subject} {done} {budget} {percent} {id} {day}'

complete -c chronodeck -n '__fish_seen_subcommand_from report export' -l period -x -a 'day week month' -d 'day, week or month around --day'
complete -c chronodeck -n '__fish_seen_subcommand_from report export' -l from -x -a $days -d 'first day of a chosen range (with --to)'
complete -c chronodeck -n '__fish_seen_subcommand_from report export' -l to -x -a $days -d 'last day of the range'
complete -c chronodeck -n '__fish_seen_subcommand_from export' -l format -x -a 'csv ics' -d 'the file format'

complete -c chronodeck -n '__fish_seen_subcommand_from review' -l move-to -x -a tomorrow -d 'move the unfinished tasks there'

complete -c chronodeck -n '__fish_seen_subcommand_from sync' -l setup -x -d "the server's address"
complete -c chronodeck -n '__fish_seen_subcommand_from sync' -l user -x -d 'the user name'
complete -c chronodeck -n '__fish_seen_subcommand_from sync' -l password-stdin -d 'read the password from standard input'
complete -c chronodeck -n '__fish_seen_subcommand_from sync' -l list -x -d 'the task list to sync with'
complete -c chronodeck -n '__fish_seen_subcommand_from sync' -l create -x -d 'make a task list of that name and sync with it'
