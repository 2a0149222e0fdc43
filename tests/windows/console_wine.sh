#!/bin/bash
# Runs a Windows test program under Wine in a real console (a tmux pane),
# where the console API acts on a screen buffer, and passes only if every
# test ran and passed: none may skip for want of a console.
#   tests/windows/console_wine.sh build-win/tests/zova_testes_windows.exe
set -u
. "$(dirname "$0")/ferramentas.sh"
exe=$(realpath "$1")
prepararSessao zova-console
registro="$pasta/registro"
for inicio in 1 2; do  # Wine has been seen to start nothing just after its services came up
  : > "$estado"
  tm new-session -d -s "$sessao" -x 120 -y 50 -c "$pasta" \
    "WINEDEBUG=-all $WINE64 \"$exe\" --gtest_output=xml:\"$(caminho_windows "$registro.xml")\"; echo \$? > \"$estado\"; sleep 600"
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
