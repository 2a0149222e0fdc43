#!/bin/sh
# The manual page renders without a single groff warning.
#   tests/manual_sem_avisos.sh build/zova.6
command -v groff >/dev/null || { echo "skipped: no groff"; exit 77; }
avisos=$(groff -ww -z -man -Tutf8 "$1" 2>&1)
[ -z "$avisos" ] || { echo "$avisos"; exit 1; }
echo "manual: 1 passed, 0 failed"
