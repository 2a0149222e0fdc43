#!/bin/sh
# The real program asked for its usage, its version, or given an unknown
# argument: the right stream, the right status, and not one escape byte (no
# clear, no colour, no mode change) on either stream.
#   tests/linha_de_comando.sh build/zova VERSION
zova="$1"
versao="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
esc=$(printf '\033')
falhou=0
casos=0

# rodar STATUS ARGUMENT: runs the game with no keyboard (a match that starts
# by mistake ends at once) and checks its status and that no ESC came out.
rodar() {
  casos=$((casos + 1))
  "$zova" "$2" </dev/null >"$dir/saida" 2>"$dir/erros"
  status=$?
  nome=$(printf '%s' "$2" | tr '\033' '?')  # this report writes no ESC either
  [ "$status" = "$1" ] || { echo "zova '$nome': status $status, not $1"; falhou=1; }
  if grep -q "$esc" "$dir/saida" "$dir/erros"; then echo "zova '$nome': an escape byte was written"; falhou=1; fi
}
linhas() { wc -l <"$1" | tr -d ' '; }

for opcao in --help -h; do
  rodar 0 "$opcao"
  [ -s "$dir/erros" ] && { echo "zova $opcao wrote to standard error"; falhou=1; }
  grep -q -- "--version" "$dir/saida" || { echo "zova $opcao: no usage on standard output"; falhou=1; }
done
for opcao in --version -V; do
  rodar 0 "$opcao"
  [ "$(cat "$dir/saida")" = "zova $versao" ] || { echo "zova $opcao printed: $(tr '\033' '?' <"$dir/saida")"; falhou=1; }
  [ -s "$dir/erros" ] && { echo "zova $opcao wrote to standard error"; falhou=1; }
done
# An unknown argument, and one that carries a clear and a colour itself
# (named with its ESCs shown as '?').
for argumento in --xyz "$(printf '\033[2J\033[31m')"; do
  rodar 2 "$argumento"
  [ -s "$dir/saida" ] && { echo "zova '$nome': a refusal wrote to standard output"; falhou=1; }
  [ "$(linhas "$dir/erros")" = 1 ] || { echo "zova '$nome': the refusal is not one line"; falhou=1; }
  grep -qF -- "\"$nome\"" "$dir/erros" || { echo "zova '$nome': the refusal does not name it"; falhou=1; }
  grep -q -- "--help" "$dir/erros" || { echo "zova '$nome': the refusal does not point to --help"; falhou=1; }
done
# A usage that could not be written is not a success.
if [ -w /dev/full ]; then
  casos=$((casos + 1))
  "$zova" --help >/dev/full 2>/dev/null && { echo "zova --help >/dev/full: status 0"; falhou=1; }
fi

# The room's options, where the room is built: its usage, and a port or an
# address it cannot take refused as any unknown argument is. With no
# terminal to show its link on, it does not open.
if [ -x "$(dirname "$zova")/zova-sala" ]; then
  sala() {
    esperado="$1"
    shift
    casos=$((casos + 1))
    "$zova" --sala "$@" </dev/null >"$dir/saida" 2>"$dir/erros"
    status=$?
    [ "$status" = "$esperado" ] || { echo "zova --sala $*: status $status, not $esperado"; falhou=1; }
    if grep -q "$esc" "$dir/saida" "$dir/erros"; then echo "zova --sala: an escape byte was written"; falhou=1; fi
  }
  sala 0 --help
  grep -q -- "--porta N" "$dir/saida" || { echo "zova --sala --help: no usage"; falhou=1; }
  for errado in "--porta 0" "--porta 65536" "--porta 8x" "--endereco 300.1.1.1" "--porta" "--xyz"; do
    # shellcheck disable=SC2086 # each case is words on purpose
    sala 2 $errado
    [ "$(linhas "$dir/erros")" = 1 ] || { echo "zova --sala $errado: the refusal is not one line"; falhou=1; }
  done
  sala 2 --endereco "$(printf '\033[2J')"
  sala 1
  grep -q "terminal" "$dir/erros" || { echo "zova --sala with no terminal: $(cat "$dir/erros")"; falhou=1; }
fi

[ $falhou = 0 ] && echo "linha de comando: $casos passed, 0 failed"
exit $falhou
