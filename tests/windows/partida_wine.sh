#!/bin/bash
# Plays the Windows build in a real Wine console inside tmux, and checks what
# a player sees: the screens and their colours, keys that only redraw, a
# name or an answer that takes no more than its 49 bytes and leaves nothing
# for the next prompt, six scores on one line, nothing left in the pane's
# history after a clear, no earlier line recalled by Up or F8, a resize, a
# burst of keys that ended a turn or a screen, the final screen, the wait
# for Enter in a console of its own and exit status 0; then, in each of the
# code pages 437, 850, 1252 and 65001, two matches in one console: names
# with accents, the line keys, the 49-byte cut, nothing of the first match
# recalled in the second; keys typed with the last Enter of a match played
# from cmd, which never reach cmd; Ctrl-C at a prompt; and lines that end
# at the right margin or one column past it, typed, erased and edited at
# the start, with the window as wide as the console's buffer and narrower
# (a helper built here with MinGW-w64 narrows it). It waits for every
# screen before typing, as a player would, and at a results screen for
# longer than the moment it takes no key.
#   tests/windows/partida_wine.sh build-win/zova.exe
set -u
. "$(dirname "$0")/ferramentas.sh"
exe=$(realpath "$1")
prepararSessao zova-wine
roteiro="$pasta/roteiro"

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
# Waits until a row of the screen is exactly the given text, blanks at its
# end aside.
esperar_linha() {
  for _ in $(seq 300); do
    tela | sed 's/ *$//' | grep -qxF -- "$1" && return 0
    sleep 0.1
  done
  falhar "waiting for the row: $1"
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

# Starts the game, in the given console code page if one is given, and
# then, with a second argument, again in the same console (duas), or with
# cmd left reading commands there once it ends (cmd), or in a window made
# LARGURA_ESTREITA columns wide, narrower than the console's buffer
# (estreita). Wine has been
# seen to fail to start a process just after its services came up: if the
# game never showed its title, it is started once more. When it ends, SAIU
# is written where the shell's next words would go.
iniciar() {
  # chcp's own line is left unredirected: the game's first clear takes it,
  # and no redirection meant for cmd can reach the shell as a file name.
  # Ctrl-C reaches the whole pane as SIGINT: the shell outlives it, and
  # Wine turns it into the console's Ctrl-C for the game.
  printf "trap 'true' INT\n" > "$roteiro"
  if [ -n "${1:-}" ]; then
    jogo=$(caminho_windows "$exe")
    local modo=/c depois= antes=
    [ "${2:-}" = duas ] && depois=" & $jogo"
    [ "${2:-}" = cmd ] && modo=/k
    [ "${2:-}" = estreita ] && antes="$estreitar $LARGURA_ESTREITA & "
    printf 'WINEDEBUG=-all %s cmd %s "chcp %s & %s%s%s"\n' "$WINE64" "$modo" "$1" "$antes" "$jogo" "$depois" >> "$roteiro"
  else
    printf 'WINEDEBUG=-all %s "%s"\n' "$WINE64" "$exe" >> "$roteiro"
  fi
  printf 'echo $? > "%s"\nprintf SAIU\nsleep 600\n' "$estado" >> "$roteiro"
  for _ in 1 2; do
    : > "$estado"
    tm kill-server 2>/dev/null
    inicio=$((inicio + 1))
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
# 52 characters: the line takes the first 49, Ana's name, and refuses the
# rest; the next name's prompt opens empty.
ana="Anabela$(printf 'a%.0s' $(seq 42))"
linha "${ana}Bia"
esperar "Nome do jogador 2:"
sleep 0.5
tela | grep -qxF "Nome do jogador 1: $ana" || falhar "the name's line took more than 49 bytes"
tela | grep -qx "Nome do jogador 2: *" || falhar "the next name's prompt did not open empty"
# Alt-Backspace erases the word before the cursor, with the punctuation
# between them: twice here, the whole line.
tm send-keys -t "$sessao" -l "Lixo-Lixo"
esperar "Nome do jogador 2: Lixo-Lixo"
tecla M-BSpace M-BSpace
esperar_linha "Nome do jogador 2:"
linha Bia

esperar "              RODADA 1" "JOGADOR: $ana" " -> Nome:"
tela | grep -qF "JOGADOR: ${ana}B" && falhar "Ana's name took more than 49 bytes"
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
# An answer takes 49 bytes; what is typed past them is refused, not kept
# for the next prompt, which is Bia's: hers opens empty and waits.
tecla Up Up
esperar " -> Nome:"
tecla d
esperar "Digite a resposta para [Nome]:"
cheia=$(printf 'a%.0s' $(seq 49))
tm send-keys -t "$sessao" -l "${cheia}SEGREDO-DA-ANA"
tecla Enter f
esperar "JOGADOR: Bia" " -> Nome:"
cor 96
tecla d
esperar "Digite a resposta para [Nome]:"
sleep 1
tela | grep -qx "Digite a resposta para \[Nome\]: *" || falhar "Bia's answer did not open empty and wait"
tecla Enter
tecla Up
esperar " -> Cor:"
tecla Enter
esperar "Digite a resposta para [Cor]:"
# No earlier line, Ana's answers among them, can be recalled: the console's
# own history keys bring nothing.
tecla Up F8 F3
linha Azul
esperar " -> Cor: Azul"
tecla F

# Judging: Ana scores Bia, Bia scores Ana, six scores on one line each.
esperar "         CORRECAO DAS RESPOSTAS" "$ana (Juiz), voce esta avaliando a lista de: Bia" "    - Objeto: Osso" \
  "    - Cor: Azul" "  -> Nome []:"
cor 95
sem_historico "JOGADOR:"
tela | grep -qxF "    - Nome: $cheia" || falhar "Ana's answer is not her 49 bytes"
tela | grep -qF "SEGREDO" && falhar "text refused at Ana's prompt reached a sheet"
# A seventh number is past Ana's last score: it is not Bia's first.
linha "1 2 3 4 5 6 7"
esperar "Bia (Juiz), voce esta avaliando a lista de: $ana" ">>> AVALIANDO AGORA AS RESPOSTAS DE: $ana <<<" \
  "  -> Nome [$cheia]:"
cor 96
tecla Up F8
# A second Enter in haste: the results wait for one pressed once they are read.
linha "10 5 0 10 10 -5"
tecla Enter
esperar "         RESULTADO DA RODADA 1" "$ana fez 30 pontos nesta rodada" "Bia fez 21 pontos nesta rodada" \
  "$ana: 30 pontos no total" "Pressione ENTER para iniciar a proxima rodada..."
cor 93
sem_historico "CORRECAO DAS RESPOSTAS"
sleep 1
tela | grep -qF "RESULTADO DA RODADA 1" || falhar "an Enter pressed before the results appeared passed them"
tecla Enter

# Keys pressed while the letter is shown belong to no screen.
esperar "              RODADA 2" "A letra sorteada foi:"
tecla s s d
esperar "              RODADA 2" "JOGADOR: $ana" " -> Nome:"
sleep 0.5
tela | grep -qF "Digite a resposta" && falhar "a key pressed during the pause opened a prompt"
tela | grep -qF " -> Nome:" || falhar "a key pressed during the pause moved the cursor"
# A resized window is drawn again at once.
tm resize-window -t "$sessao" -x 100 -y 40
sleep 1
tecla Down
esperar " -> CEP:"
tm send-keys -t "$sessao" C-l 2>/dev/null
# A burst: the second f is not Bia's.
tecla f f
esperar "              RODADA 2" "JOGADOR: Bia"
sleep 1
tela | grep -qF "CORRECAO" && falhar "the second f of a burst ended Bia's turn"
tecla f
esperar "$ana (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "Bia (Juiz)" "  -> Nome []:"
linha "0 0 0 0 0 0"
esperar "         RESULTADO DA RODADA 2" "Pressione ENTER"
sleep 0.8
tecla Enter

esperar "            RESULTADO FINAL" "$ana: 30 pontos" "Bia: 21 pontos" "VENCEDOR: $ana!" "          FIM DE JOGO!"
cor 95
sem_historico "RESULTADO DA RODADA 2"
# Wine gives the game a console of its own, as a double click does: no other
# process is attached, so it would close with the game, and the winner
# stays until Enter.
esperar "Pressione ENTER para sair..."
sleep 0.8
tecla x Up
sleep 1
[ -s "$estado" ] && falhar "the game ended without waiting for Enter"
tecla Enter
for _ in $(seq 100); do [ -s "$estado" ] && break; sleep 0.1; done
[ "$(cat "$estado")" = 0 ] || falhar "exit status $(cat "$estado")"

# --- Names with accents in each code page ----------------------------------
# Letters of every code page survive whole: text goes to and from the
# console as UTF-16, and is UTF-8 inside, as on POSIX. 48 digits, an e
# with an acute and a u: the e's two bytes would end past the 49th, so it
# is refused whole, and the u still fits. Tab is no letter, Ctrl-A goes to
# the start, and nothing typed in another match in the same console comes
# back with Up or F8; Ctrl-W erases the last word whole. Ctrl-D ends the
# first match.
zeros=$(printf '0%.0s' $(seq 48))
for pagina in 437 850 1252 65001; do
  iniciar $pagina duas
  for vez in 1 2; do
    esperar "Quantidade de jogadores (2 a 5):"
    tecla Up F8
    linha 2
    esperar "Nome do jogador 1:"
    tecla Up F8
    # Ctrl-W erases back to the blank before, accents and hyphen included.
    tm send-keys -t "$sessao" -l "João € Conceição çé-ã"
    tecla C-w BSpace Tab C-a
    tm send-keys -t "$sessao" -l "São "
    esperar "Nome do jogador 1: São João € Conceição"  # drawn in place through the console API
    esperar_linha "Nome do jogador 1: São João € Conceição"
    tecla Enter
    esperar "Nome do jogador 2:"
    tecla Up F8
    linha "${zeros}éu"
    esperar "JOGADOR: São João € Conceição" " -> Nome:"
    if [ $vez = 1 ]; then
      tecla f
      esperar "JOGADOR: $zeros"
      nome=$(tela | grep -F "JOGADOR: $zeros" | sed 's/.*JOGADOR: //')
      [ "$nome" = "${zeros}u" ] || falhar "code page $pagina: name shown as '$nome', expected '${zeros}u'"
      tecla f
      esperar "São João € Conceição (Juiz)" "  -> Nome []:"
      tecla C-d  # the match runs to its end, and the second one starts
    fi
  done
done

# --- Keys typed with the last Enter stay with the game ----------------------
# A whole match played from cmd, whose last Enter comes in one burst with a
# command: the game ends on that Enter, and what came with it goes with the
# game instead of reaching cmd. A command typed once cmd reads shows cmd
# would have run it.
iniciar 437 cmd
linha 2
esperar "Nome do jogador 1:"
linha Ana
esperar "Nome do jogador 2:"
linha Bia
for rodada in 1 2; do
  esperar "RODADA $rodada" "JOGADOR: Ana" " -> Nome:"
  tecla f
  esperar "RODADA $rodada" "JOGADOR: Bia" " -> Nome:"
  tecla f
  esperar "Ana (Juiz)" "  -> Nome []:"
  linha "0 0 0 0 0 0"
  esperar "Bia (Juiz)" "  -> Nome []:"
  linha "0 0 0 0 0 0"
  esperar "RESULTADO DA RODADA $rodada" "Pressione ENTER"
  sleep 0.8
  if [ $rodada = 1 ]; then tecla Enter; fi
done
tecla Enter "echo VAZOU" Enter
esperar "          FIM DE JOGO!"
sleep 1
linha "echo LIDO"
for _ in $(seq 100); do tela | grep -qx LIDO && break; sleep 0.1; done
tela | grep -qx LIDO || falhar "cmd did not read a command after the game"
tela | grep -qx VAZOU && falhar "keys typed with the game's last Enter reached cmd"
linha exit
for _ in $(seq 100); do [ -s "$estado" ] && break; sleep 0.1; done

# --- Ctrl-C at a prompt ends the line first ---------------------------------
# Started directly, so the shell goes on only once the game has ended.
iniciar
linha 2
esperar "Nome do jogador 1:"
tm send-keys -t "$sessao" -l "Ana"
esperar "Nome do jogador 1: Ana"
sleep 0.5
tecla C-c
for _ in $(seq 100); do [ -s "$estado" ] && break; sleep 0.1; done
tela | grep -q '^SAIU' || falhar "the line was not ended before the game exited"

# --- Lines that reach the right margin --------------------------------------
# Without virtual-terminal processing a console moves the cursor to the next
# row as soon as a character fills the last column, and it wraps at its
# buffer's width, 120 columns here. At the first prompt, 33 columns wide,
# lines of exactly the 87 columns left and of one more are typed, erased and
# edited at the start, the screen checked after each key: the rows of the
# line and the one below, and the cursor where the next letter goes. Then
# the same with the window made 100 columns wide, narrower than the buffer,
# by a helper built here.
letras=$(printf 'abcdefghijklmnopqrstuvwxyz%.0s' 1 2 3 4)
P="Quantidade de jogadores (2 a 5): "
A=${letras:0:87}
B=${letras:0:88}
# The prompt's row and the two below show the given texts (blanks at their
# ends aside), and the cursor is at the given column of the prompt's row
# plus the given number.
na_margem() {
  local esperado atual cursor
  esperado=$(printf '%s\n%s\n%s' "$1" "$2" "" | sed 's/ *$//')
  for _ in $(seq 50); do
    atual=$(tela | sed -n "$((fileira + 1)),$((fileira + 3))p" | sed 's/ *$//')
    cursor=$(tm display -p -t "$sessao" '#{cursor_x},#{cursor_y}')
    [ "$atual" = "$esperado" ] && [ "$cursor" = "$3,$((fileira + $4))" ] && return 0
    sleep 0.1
  done
  falhar "$5: expected '$1' / '$2' / '', the cursor at $3,$((fileira + $4)); it is at $cursor"
}
margem() {
  esperar "${P% }"
  fileira=$(($(tela | grep -nF "${P% }" | cut -d: -f1) - 1))
  tm send-keys -t "$sessao" -l "$A"
  na_margem "$P$A" "" 0 1 "$1: typed to the margin"
  tecla BSpace
  na_margem "$P${A:0:86}" "" 119 0 "$1: the last letter erased"
  tm send-keys -t "$sessao" -l "${B:86:2}"
  na_margem "$P$A" "${B:87}" 1 1 "$1: one letter past the margin"
  tecla BSpace
  na_margem "$P$A" "" 0 1 "$1: that letter erased"
  tecla C-a
  tm send-keys -t "$sessao" -l Q
  na_margem "${P}Q${A:0:86}" "${A:86}" 34 0 "$1: a letter put in at the start"
  tm send-keys -t "$sessao" -l RS
  na_margem "${P}QRS${A:0:84}" "${A:84}" 36 0 "$1: two more"
  tecla C-u
  na_margem "$P" "" 33 0 "$1: the line erased"
  tm send-keys -t "$sessao" -l "$B"
  na_margem "$P$A" "${B:87}" 1 1 "$1: typed past the margin"
  tecla C-a
  tm send-keys -t "$sessao" -l Q
  na_margem "${P}Q${A:0:86}" "${B:86}" 34 0 "$1: a letter put in at its start"
  tecla C-a
  tecla Delete
  na_margem "$P$A" "${B:87}" 33 0 "$1: and taken away"
  tecla C-e
  na_margem "$P$A" "${B:87}" 1 1 "$1: at its end"
  tecla BSpace
  na_margem "$P$A" "" 0 1 "$1: its last letter erased"
}
iniciar
margem "window as wide as the buffer"
tecla C-c
estreitar=
LARGURA_ESTREITA=100
cxx=
for c in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do command -v $c >/dev/null && { cxx=$c; break; }; done
if [ -z "$cxx" ]; then
  [ "${ZOVA_EXIGIR_FERRAMENTAS:-0}" = 1 ] && { echo "FAILED: missing x86_64-w64-mingw32-g++"; exit 1; }
  echo "skipped: a window narrower than the buffer (no MinGW-w64 compiler to build the helper that sets it)"
else
  $cxx -O -static -o "$pasta/estreitar_janela.exe" "$(dirname "$0")/estreitar_janela.cpp" || falhar "the helper did not build"
  estreitar=$(caminho_windows "$pasta/estreitar_janela.exe")
  # Whether this Wine lets a program make the window narrower than the buffer.
  : > "$estado"
  tm kill-server 2>/dev/null
  inicio=$((inicio + 1))
  tm new-session -d -s "$sessao" -x 120 -y 50 -c "$pasta" \
    "WINEDEBUG=-all $WINE64 \"$pasta/estreitar_janela.exe\" $LARGURA_ESTREITA; echo \$? > \"$estado\"; sleep 600"
  for _ in $(seq 300); do [ -s "$estado" ] && break; sleep 0.1; done
  if [ "$(cat "$estado")" = 0 ]; then
    iniciar 437 estreita
    margem "window of 100 columns, buffer of 120"
    tecla C-c
  else
    echo "skipped: a window narrower than the buffer (this Wine refuses it: status $(cat "$estado"))"
  fi
fi

echo "wine: 1 passed, 0 failed"
