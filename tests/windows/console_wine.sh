#!/bin/bash
# Runs a Windows test program under Wine in a real console (a tmux pane),
# where the console API acts on a screen buffer, and passes only if every
# test ran and passed: none may skip for want of a console.
#   tests/windows/console_wine.sh build-win/tests/zova_testes_windows.exe
set -u
exe=$(realpath "$1")
sessao="zova-console-$$"
registro=$(mktemp)
estado=$(mktemp)
# Each try gets a tmux server of its own, never one that is still exiting.
tentativa=0
tm() { tmux -L "$sessao-$tentativa" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$sessao-"* "$registro" "$estado"' EXIT
for tentativa in 1 2; do  # Wine has been seen to start nothing just after its services came up
  : > "$estado"
  tm new-session -d -s "$sessao" -x 120 -y 50 \
    "WINEDEBUG=-all /usr/lib/wine/wine64 \"$exe\" --gtest_output=xml:\"$(winepath -w "$registro.xml")\"; echo \$? > \"$estado\"; sleep 600"
  for _ in $(seq 600); do [ -s "$estado" ] && break; sleep 0.1; done
  tm kill-server 2>/dev/null
  [ -s "$registro.xml" ] && break
  echo "wine started nothing; trying again"
done
[ -s "$registro.xml" ] || { echo "FAILED: no report"; exit 1; }
relatorio=$(cat "$registro.xml")
rm -f "$registro.xml"
echo "$relatorio" | grep -E '<testcase|<failure'
[ "$(cat "$estado")" = 0 ] || { echo "FAILED: status $(cat "$estado")"; exit 1; }
grep -q 'result="skipped"' <<< "$relatorio" && { echo "FAILED: a test skipped"; exit 1; }
echo "console: 1 passed, 0 failed"
