#!/bin/bash
# Plays one scripted match of the Windows build under Wine inside tmux, and
# checks what a player sees. It waits for every prompt on the screen before
# typing, as a player would.
#   tests/windows/partida_wine.sh build-win/zova.exe
set -u
exe=$(realpath "$1")
sessao="zova-wine-$$"
estado=$(mktemp)
trap 'tmux kill-session -t "$sessao" 2>/dev/null; rm -f "$estado"' EXIT

tela() { tmux capture-pane -t "$sessao" -p; }
falhar() {
  echo "FAILED: $*"
  echo "--- screen ---"
  tela
  exit 1
}
# Waits until the screen shows every one of the given texts.
esperar() {
  for _ in $(seq 300); do
    local t
    t=$(tela)
    local todos=1
    for texto in "$@"; do
      grep -qF -- "$texto" <<< "$t" || { todos=0; break; }
    done
    [ $todos = 1 ] && return 0
    sleep 0.1
  done
  falhar "waiting for: $*"
}
tecla() { tmux send-keys -t "$sessao" "$@"; }
linha() { tmux send-keys -t "$sessao" -l "$1"; tmux send-keys -t "$sessao" Enter; }

iniciar() {
  tmux new-session -d -s "$sessao" -x 120 -y 50 \
    "sh -c 'WINEDEBUG=-all /usr/lib/wine/wine64 \"$exe\"; echo \$? > \"$estado\"; sleep 600'"
}
# Wine has been seen to fail to start a process just after its services came
# up: if the game never showed its title, start it once more.
iniciar
for _ in $(seq 200); do
  tela | grep -qF "Quantidade de jogadores (2 a 5):" && break
  [ -s "$estado" ] && break
  sleep 0.1
done
if ! tela | grep -qF "Quantidade de jogadores (2 a 5):"; then
  echo "wine started nothing; trying again"
  tmux kill-session -t "$sessao"
  : > "$estado"
  iniciar
fi

esperar "                ZOVA" "Quantidade de jogadores (2 a 5):"
linha 7
esperar "Quantidade invalida!" "Digite uma quantidade entre 2 e 5:"
linha 2
esperar "          CADASTRO DOS JOGADORES" "Nome do jogador 1:"
linha Ana
esperar "Nome do jogador 2:"
linha Bia

# Ana: arrows and letters in the editor.
esperar "              RODADA 1" "JOGADOR: Ana" " -> Nome:"
tecla Up
esperar " -> Cor:"
tecla d
esperar "Digite a resposta para [Cor]:"
linha Azul
esperar " -> Cor: Azul"
tecla S
esperar " -> Nome:"
tecla Down
esperar " -> CEP:"
tecla Enter
esperar "Digite a resposta para [CEP]:"
linha Bahia
esperar " -> CEP: Bahia"
tecla Left
tecla W
esperar " -> Nome:" "    CEP: Bahia"
tecla f
esperar "JOGADOR: Bia" " -> Nome:"
tecla F

# Judging: Ana scores Bia, Bia scores Ana.
esperar "         CORRECAO DAS RESPOSTAS" "Ana (Juiz), voce esta avaliando a lista de: Bia" "    - Cor: Azul" "  -> Nome []:"
linha "1 2 3 4 5 6"
esperar "Bia (Juiz), voce esta avaliando a lista de: Ana" ">>> AVALIANDO AGORA AS RESPOSTAS DE: Ana <<<" "  -> Nome []:"
linha "10 5 0 10 10 -5"
esperar "         RESULTADO DA RODADA 1" "Ana fez 30 pontos nesta rodada" "Bia fez 21 pontos nesta rodada" \
  "Ana: 30 pontos no total" "Pressione ENTER para iniciar a proxima rodada..."
tecla Enter

esperar "              RODADA 2" "JOGADOR: Ana"
tecla f
esperar "              RODADA 2" "JOGADOR: Bia"
tecla f
esperar "Ana (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "Bia (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "         RESULTADO DA RODADA 2" "Pressione ENTER"
tecla Enter

esperar "            RESULTADO FINAL" "Ana: 30 pontos" "Bia: 21 pontos" "VENCEDOR: Ana!" "          FIM DE JOGO!"
for _ in $(seq 100); do [ -s "$estado" ] && break; sleep 0.1; done
[ "$(cat "$estado")" = 0 ] || falhar "exit status $(cat "$estado")"
echo "wine: 1 passed, 0 failed"
