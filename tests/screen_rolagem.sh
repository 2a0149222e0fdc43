#!/bin/bash
# In GNU screen, which copies the whole screen into its own scroll-back
# whenever the screen is erased from its top left corner (and ignores
# ESC [ 3 J): after a player's sheet, nothing of it can be scrolled back to
# from the next player's.
#   tests/screen_rolagem.sh build/zova
set -u
. "$(dirname "$0")/pular.sh"
command -v screen >/dev/null || falta screen
zova=$(realpath "$1")
pasta=$(mktemp -d)
sessao="zova-screen-$$"
trap 'screen -S "$sessao" -X quit >/dev/null 2>&1; rm -rf "$pasta"' EXIT

tela() { screen -S "$sessao" -p 0 -X hardcopy "$@" "$pasta/tela"; cat "$pasta/tela" 2>/dev/null; }
. "$(dirname "$0")/esperar_tela.sh"
teclar() { screen -S "$sessao" -p 0 -X stuff "$1"; }

SCREENRC=/dev/null TERM=xterm screen -dmS "$sessao" -h 1000 "$zova"
sleep 0.3
esperar "Quantidade de jogadores"
teclar $'2\r'; esperar "Nome do jogador 1:"
teclar $'Ana\r'; esperar "Nome do jogador 2:"
teclar $'Bia\r'; esperar "JOGADOR: Ana"
teclar d; esperar "Digite a resposta para [Nome]:"
teclar $'SEGREDOANA\r'; esperar " -> Nome: SEGREDOANA"
teclar f; esperar "JOGADOR: Bia"
sleep 0.3
if tela -h | grep -qF SEGREDOANA; then
  echo "FAILED: Ana's answer is in GNU screen's scroll-back, under Bia's sheet"; tela -h; exit 1
fi
echo "screen: 1 passed, 0 failed"
