#!/bin/bash
# The shipped game passes its own content check: status 0, nothing printed
# (no fault and no warning). Usage: check_shipped.sh UMBRANE_EXECUTABLE GAME_FOLDER
set -u
out=$("$1" --check "$2" 2>/dev/null)
status=$?
if [ "$status" -ne 0 ] || [ -n "$out" ]; then
    printf '%s\n' "$out"
    echo "umbrane --check $2: status $status, expected 0 with nothing printed"
    exit 1
fi
exit 0
