#!/bin/bash
# Plays the Windows build in a real Wine console inside tmux, and checks what
# a player sees: the screens and their colours, keys that only redraw,
# leftovers of a long name, six scores on one line, nothing left in the
# pane's history after a clear, the final screen, the wait for Enter in a
# console of its own and exit status 0; then, in
# each of the code pages 850, 1252 and 65001, names with accents and the
# 49-byte cut. It waits for every screen before typing, as a player would.
#   tests/windows/partida_wine.sh build-win/zova.exe
set -u
. "$(dirname "$0")/ferramentas.sh"
exe=$(realpath "$1")
sessao="zova-wine-$$"
pasta=$(mktemp -d)
estado="$pasta/estado"
roteiro="$pasta/roteiro"
# Every start gets a tmux server of its own: a new session asked of a server
# that is exiting, its last session just killed, has been seen to fail.
inicios=0
tm() { tmux -L "$sessao-$inicios" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$sessao-"* "$pasta"' EXIT

tela() { tm capture-pane -t "$sessao" -p "$@"; }
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
tecla() { tm send-keys -t "$sessao" "$@"; }
linha() { tm send-keys -t "$sessao" -l "$1"; tm send-keys -t "$sessao" Enter; }
# The screen's first line carries its colour: light purple 95, light aqua
# 96, light yellow 93, bright white 97.
cor() { tela -e | head -n 1 | grep -q $'\e\\[[0-9;]*'"$1"'m' || falhar "colour $1 expected"; }
# Nothing of an earlier screen can be scrolled back to.
sem_historico() {
  tela -S - | grep -qF -- "$1" && falhar "the pane's history still holds: $1"
  return 0
}

# Starts the game, in the given console code page if one is given. Wine has
# been seen to fail to start a process just after its services came up: if
# the game never showed its title, it is started once more.
iniciar() {
  # chcp's own line is left unredirected: the game's first clear takes it,
  # and no redirection meant for cmd can reach the shell as a file name.
  if [ -n "${1:-}" ]; then
    printf 'WINEDEBUG=-all %s cmd /c "chcp %s & %s"\n' "$WINE64" "$1" "$(caminho_windows "$exe")" > "$roteiro"
  else
    printf 'WINEDEBUG=-all %s "%s"\n' "$WINE64" "$exe" > "$roteiro"
  fi
  printf 'echo $? > "%s"\nsleep 600\n' "$estado" >> "$roteiro"
  for _ in 1 2; do
    : > "$estado"
    tm kill-server 2>/dev/null
    inicios=$((inicios + 1))
    tm new-session -d -s "$sessao" -x 120 -y 50 -c "$pasta" "sh $roteiro"
    for _ in $(seq 300); do
      tela | grep -qF "Quantidade de jogadores (2 a 5):" && return 0
      [ -s "$estado" ] && break
      sleep 0.1
    done
    echo "wine started nothing; trying again"
  done
  falhar "the game did not start"
}

# --- One whole match -------------------------------------------------------
iniciar
esperar "                ZOVA" "Quantidade de jogadores (2 a 5):"
cor 95
linha 7
esperar "Quantidade invalida!" "Digite uma quantidade entre 2 e 5:"
linha 2
esperar "          CADASTRO DOS JOGADORES" "Nome do jogador 1:"
cor 97
sem_historico "Quantidade invalida!"
# 52 characters: the first 49 are Ana's name, the rest names Bia at once.
ana="Anabela$(printf 'a%.0s' $(seq 42))"
linha "${ana}Bia"

esperar "              RODADA 1" "JOGADOR: $ana" " -> Nome:"
cor 95
sem_historico "CADASTRO DOS JOGADORES"
tecla Down
esperar " -> CEP:"
tecla Down
esperar " -> Objeto:"
tecla D
esperar "Digite a resposta para [Objeto]:"
linha Osso
esperar " -> Objeto: Osso"
# An accented letter, Left, Right, Escape and Home: each only redraws.
antes=$(tela)
tecla -l "é"
tecla Left Right Escape Home
sleep 1
[ "$(tela)" = "$antes" ] || falhar "a key that means nothing changed the sheet"
tecla f
esperar "JOGADOR: Bia" " -> Nome:"
cor 96
tecla Up
esperar " -> Cor:"
tecla Enter
esperar "Digite a resposta para [Cor]:"
linha Azul
esperar " -> Cor: Azul"
tecla F

# Judging: Ana scores Bia, Bia scores Ana, six scores on one line each.
esperar "         CORRECAO DAS RESPOSTAS" "$ana (Juiz), voce esta avaliando a lista de: Bia" "    - Objeto: Osso" \
  "    - Cor: Azul" "  -> Nome []:"
cor 95
sem_historico "JOGADOR:"
linha "1 2 3 4 5 6"
esperar "Bia (Juiz), voce esta avaliando a lista de: $ana" ">>> AVALIANDO AGORA AS RESPOSTAS DE: $ana <<<" \
  "  -> Nome []:"
cor 96
linha "10 5 0 10 10 -5"
esperar "         RESULTADO DA RODADA 1" "$ana fez 30 pontos nesta rodada" "Bia fez 21 pontos nesta rodada" \
  "$ana: 30 pontos no total" "Pressione ENTER para iniciar a proxima rodada..."
cor 93
sem_historico "CORRECAO DAS RESPOSTAS"
tecla Enter

# Keys pressed while the letter is shown belong to no screen.
esperar "              RODADA 2" "A letra sorteada foi:"
tecla s s d
esperar "              RODADA 2" "JOGADOR: $ana" " -> Nome:"
sleep 0.5
tela | grep -qF "Digite a resposta" && falhar "a key pressed during the pause opened a prompt"
tela | grep -qF " -> Nome:" || falhar "a key pressed during the pause moved the cursor"
tecla f
esperar "              RODADA 2" "JOGADOR: Bia"
tecla f
esperar "$ana (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "Bia (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "         RESULTADO DA RODADA 2" "Pressione ENTER"
tecla Enter

esperar "            RESULTADO FINAL" "$ana: 30 pontos" "Bia: 21 pontos" "VENCEDOR: $ana!" "          FIM DE JOGO!"
cor 95
sem_historico "RESULTADO DA RODADA 2"
# Wine gives the game a console of its own, as a double click does: no other
# process is attached, so it would close with the game, and the winner
# stays until Enter.
esperar "Pressione ENTER para sair..."
tecla x Up
sleep 1
[ -s "$estado" ] && falhar "the game ended without waiting for Enter"
tecla Enter
for _ in $(seq 100); do [ -s "$estado" ] && break; sleep 0.1; done
[ "$(cat "$estado")" = 0 ] || falhar "exit status $(cat "$estado")"

# --- Names with accents in each code page ----------------------------------
# 48 digits and an e with an acute: one byte more in code pages 850 and
# 1252, where it fits the 49; two in 65001, where it waits whole for the
# next read instead of being cut in half.
zeros=$(printf '0%.0s' $(seq 48))
for pagina in 850 1252 65001; do
  iniciar $pagina
  linha 2
  esperar "Nome do jogador 1:"
  linha "José Conceição"
  esperar "Nome do jogador 2:"
  linha "${zeros}éu"
  esperar "JOGADOR: José Conceição" " -> Nome:"
  tecla f
  esperar "JOGADOR: $zeros"
  nome=$(tela | grep -F "JOGADOR: $zeros" | sed 's/.*JOGADOR: //')
  if [ "$pagina" = 65001 ]; then esperado=$zeros; else esperado="${zeros}é"; fi
  [ "$nome" = "$esperado" ] || falhar "code page $pagina: name shown as '$nome', expected '$esperado'"
  tecla f
  esperar "José Conceição (Juiz)"
done

echo "wine: 1 passed, 0 failed"
