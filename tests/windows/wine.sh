#!/bin/sh
# Runs a Windows executable under Wine, quietly (the cross-build's emulator).
# Wine has been seen to fail to start a process, printing nothing, just after
# its services came up: such a run (no output at all, and a failure) is tried
# once more. A test that fails always prints something, so it is not retried.
saida=$(mktemp)
trap 'rm -f "$saida"' EXIT
for tentativa in 1 2; do
  env WINEDEBUG=-all /usr/lib/wine/wine64 "$@" >"$saida" 2>&1
  estado=$?
  if [ "$estado" -eq 0 ] || [ -s "$saida" ] || [ "$tentativa" -eq 2 ]; then
    cat "$saida"
    exit "$estado"
  fi
  echo "wine started nothing (status $estado); trying again" >&2
done
