#!/bin/sh
# Runs a Windows executable under Wine, quietly (the cross-build's emulator).
exec env WINEDEBUG=-all /usr/lib/wine/wine64 "$@"
