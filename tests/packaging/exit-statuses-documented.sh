#!/usr/bin/env bash
# exit-statuses-documented.sh PROGRAM PAGE...: scripts go by the exit status, so each
# manual page, and the Windows archive's README.txt, must list every status that
# PROGRAM --help names, and no other.
set -euo pipefail
program=$1
shift
# In the usage: "Exit status: 0 ..., 1 ..., 2 ...": each number that opens the text or
# follows a comma.
known=$("$program" --help | sed -n '/^Exit status:/,$p' | tr '\n' ' ' | sed 's/^Exit status://' |
        grep -o -E '(^|,) *[0-9]+ ' | tr -dc '0-9\n' | sort -u)
status=0
for page in "$@"; do
    if [[ $page == *.txt ]]; then
        # In the text: each "N —" of the paragraph that opens with "Код завершения:".
        listed=$(sed -n '/^Код завершения:/,/^$/p' "$page" | grep -o -E '(^|[:,]) *[0-9]+ —' | tr -dc '0-9\n' |
                 sort -u)
    else
        # In the page: the ".B N" tags of its exit status section.
        listed=$(awk '/^\.SH/ { inside = /EXIT STATUS|КОД ЗАВЕРШЕНИЯ/ } inside && /^\.B [0-9]+$/ { print $2 }' "$page" |
                 sort -u)
    fi
    if [ "$known" != "$listed" ]; then
        echo "$page lists exit statuses ${listed//$'\n'/ }; ${program##*/} --help names ${known//$'\n'/ }"
        status=1
    fi
done
exit $status
