#!/bin/bash
# In a real terminal emulator (tmux): after a screen is cleared, nothing of
# the one before can be scrolled back to, and the new colours are in force.
#   tests/tmux_rolagem.sh build/zova
set -u
command -v tmux >/dev/null || { echo "skipped: no tmux"; exit 77; }
zova=$(realpath "$1")
sessao="zova-rolagem-$$"
trap 'tmux kill-session -t "$sessao" 2>/dev/null' EXIT

tela() { tmux capture-pane -t "$sessao" -p "$@"; }
. "$(dirname "$0")/esperar_tela.sh"

tmux new-session -d -s "$sessao" -x 80 -y 8 "$zova; sleep 60"
esperar "Quantidade de jogadores"
# Six refusals: far more lines than the 8-line window, so they scroll.
for _ in 1 2 3 4 5 6; do
  tmux send-keys -t "$sessao" 9 Enter
  sleep 0.2
done
esperar "Digite uma quantidade"
[ "$(tela -S -1000 | grep -c 'Quantidade invalida')" -ge 6 ] || { echo "FAILED: nothing scrolled"; exit 1; }
tmux send-keys -t "$sessao" 2 Enter
esperar "CADASTRO DOS JOGADORES"
if tela -S -1000 | grep -qF "Quantidade invalida"; then
  echo "FAILED: the earlier screen can still be scrolled back to"; tela -S -1000; exit 1
fi
# color 0F: bright white text on black.
tela -e | grep -q $'\e\\[[0-9;]*97m' || { echo "FAILED: not bright white"; tela -e | cat -v; exit 1; }
echo "rolagem: 1 passed, 0 failed"
