#!/usr/bin/env bash
# options-documented.sh PROGRAM PAGE...: the manual pages are written by hand, so each must
# name every option that PROGRAM --help names, and no option that the program lacks.
set -euo pipefail
program=$1
shift
options() { grep -o -E -- '--[a-z][a-z-]*' | sort -u; }
known=$("$program" --help | options)
status=0
for page in "$@"; do
    named=$(sed 's/\\-/-/g' "$page" | options)
    missing=$(comm -23 <(echo "$known") <(echo "$named"))
    unknown=$(comm -13 <(echo "$known") <(echo "$named"))
    if [ -n "$missing" ]; then
        echo "$page lacks: ${missing//$'\n'/ }"
        status=1
    fi
    if [ -n "$unknown" ]; then
        echo "$page names options that ${program##*/} lacks: ${unknown//$'\n'/ }"
        status=1
    fi
done
exit $status
