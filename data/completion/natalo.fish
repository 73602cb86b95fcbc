# fish completion for natalo: the commands, their options and the values the
# options take, the names of the settings.

set -l natalo_commands list next export add delete edit import snooze dismiss status config help
set -l natalo_settings view.display-names view.first-line view.display-age view.days-left view.date-format \
    view.year-value view.zodiac sort.key sort.ascending show.birthdays show.anniversaries show.other-dates \
    show.stars reminder.lead reminder.time reminder.unlock reminder.show-as sound.type sound.volume \
    sound.birthday-source sound.anniversary-source sound.other-source sound.birthday-file \
    sound.anniversary-file sound.other-file export.calendar-folder

complete -c natalo -f
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -l help -d 'Show the help'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -l version -d 'Show the version'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a list -d 'The coming dates'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a next -d 'The next reminder'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a export -d 'All entries as a calendar'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a add -d 'Add a date'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a delete -d 'Delete an entry'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a edit -d 'Change an entry'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a import -d 'Take dates from the contacts'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a snooze -d 'Snooze the reminder shown'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a dismiss -d 'Dismiss the reminder shown'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a status -d 'One line for a panel'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a config -d 'Read or change the settings'
complete -c natalo -n "not __fish_seen_subcommand_from $natalo_commands" -a help -d 'The help of a command'

complete -c natalo -n "__fish_seen_subcommand_from $natalo_commands" -l help -d 'Show the help'
complete -c natalo -n "__fish_seen_subcommand_from list" -l days -x -d 'Days ahead (0 to 366)'
complete -c natalo -n "__fish_seen_subcommand_from list" -l kind -x -a 'birthday anniversary other'
complete -c natalo -n "__fish_seen_subcommand_from list" -l stars -d 'Include the stars'
complete -c natalo -n "__fish_seen_subcommand_from list next status" -l json -d 'JSON output'
complete -c natalo -n "__fish_seen_subcommand_from export" -l ics -r -F -d 'An iCalendar file, - for standard output'
complete -c natalo -n "__fish_seen_subcommand_from export" -l vdir -x -a '(__fish_complete_directories)' -d 'One file per entry'
complete -c natalo -n "__fish_seen_subcommand_from export" -l stars -d 'Include the stars'
complete -c natalo -n "__fish_seen_subcommand_from export" -l force -d 'Write what could be read'
complete -c natalo -n "__fish_seen_subcommand_from add; and __fish_is_nth_token 2" -a 'birthday anniversary other'
complete -c natalo -n "__fish_seen_subcommand_from add edit" -l note -x -d 'The note'
complete -c natalo -n "__fish_seen_subcommand_from add" -l no-reminder -d 'Switch the reminder off'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l first-name -x -d 'First name'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l last-name -x -d 'Last name'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l name -x -d 'Name'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l date -x -d 'YYYY-MM-DD or --MM-DD'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l lead -x -a '0\t"on the day" 1\t"1 day before" 2\t"2 days before" 3\t"3 days before" 4\t"4 days before" 5\t"5 days before" 6\t"6 days before" 7\t"7 days before" 8\t"14 days before" 9\t"1 month before"'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l time -x -d 'Own reminder time HH:MM'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l sound -r -F -a default -d 'Own sound file or default'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l reminder -x -a 'on off'
complete -c natalo -n "__fish_seen_subcommand_from edit" -l skip-next -d 'Skip the next reminder'
complete -c natalo -n "__fish_seen_subcommand_from import" -l birthdays -x -a 'on off'
complete -c natalo -n "__fish_seen_subcommand_from import" -l anniversaries -x -a 'on off'
complete -c natalo -n "__fish_seen_subcommand_from import" -l rule -x -a '1 2 3'
complete -c natalo -n "__fish_seen_subcommand_from import" -l birthday-rule -x -a '1 2 3'
complete -c natalo -n "__fish_seen_subcommand_from import" -l anniversary-rule -x -a '1 2 3'
complete -c natalo -n "__fish_seen_subcommand_from config; and __fish_is_nth_token 2" -a 'get set'
complete -c natalo -n "__fish_seen_subcommand_from config; and __fish_is_nth_token 3" -a "$natalo_settings"
complete -c natalo -n "__fish_seen_subcommand_from help; and __fish_is_nth_token 2" -a "$natalo_commands"
