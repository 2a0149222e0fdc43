#!/bin/sh
# Clearing and recolouring never start a process: the program does not even
# link the calls that could. execv alone is there, for zova --sala, which
# replaces the game with the room's program and never comes back to it.
#   tests/sem_processos.sh build/zova
command -v nm >/dev/null || { echo "skipped: no nm (binutils)"; exit 77; }
simbolos=$(nm -D --undefined-only "$1") || exit 1
chamadas=$(echo "$simbolos" |
  grep -wE 'system|popen|fork|vfork|execl|execlp|execle|execve|execvp|execvpe|posix_spawn|posix_spawnp|clone')
[ -z "$chamadas" ] || { echo "the game can start a process: $chamadas"; exit 1; }
echo "processos: 1 passed, 0 failed"
