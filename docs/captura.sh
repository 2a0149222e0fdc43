#!/bin/bash
# Plays the real game in tmux up to a filled-in answer sheet and saves that
# screen as docs/tela.png (needs tmux, python3-pil and fonts-dejavu-core).
set -eu
cd "$(dirname "$0")/.."
zova=${1:-build/zova}
sessao=zova-captura
tela() { tmux capture-pane -t $sessao -p; }
esperar() { for _ in $(seq 100); do tela | grep -qF -- "$1" && return 0; sleep 0.1; done; return 1; }

declare -A palavras=(
  [A]="Ana|Aracaju|Agulha|Adidas|Anta" [B]="Bruno|Belem|Bola|Bic|Baleia"
  [C]="Carla|Curitiba|Cadeira|Colgate|Cavalo" [M]="Marina|Manaus|Mesa|Motorola|Macaco"
  [P]="Paulo|Porto Alegre|Panela|Philips|Pato" [S]="Sofia|Salvador|Sapato|Sony|Sapo"
  [R]="Rafael|Recife|Relogio|Renault|Rato" [T]="Tiago|Teresina|Tesoura|Tramontina|Tatu")

# The letter is drawn by the game: play until it draws one we have words for.
while :; do
  tmux kill-session -t $sessao 2>/dev/null || true
  tmux new-session -d -s $sessao -x 90 -y 26 "$zova; sleep 5"
  esperar "Quantidade de jogadores" && tmux send-keys -t $sessao 3 Enter
  for nome in "Ana Clara" "Joao" "Marina"; do
    esperar "Nome do jogador" && sleep 0.2 && tmux send-keys -t $sessao "$nome" Enter
  done
  esperar "JOGADOR: Ana Clara"
  letra=$(tela | sed -n 's/^LETRA: \(.\) .*/\1/p')
  [ -n "${palavras[$letra]:-}" ] && break
done

IFS='|' read -r -a respostas <<< "${palavras[$letra]}"
for i in 0 1 2 3 4; do
  tmux send-keys -t $sessao d
  esperar "Digite a resposta" && sleep 0.2
  tmux send-keys -t $sessao "${respostas[$i]}" Enter
  sleep 0.3
  tmux send-keys -t $sessao s
  sleep 0.3
done
tmux capture-pane -t $sessao -p -e > build/tela.ansi
tmux kill-session -t $sessao
/usr/bin/python3 docs/renderizar.py build/tela.ansi docs/tela.png
echo "docs/tela.png: letter $letra"
