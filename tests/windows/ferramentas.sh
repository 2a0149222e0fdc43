# Sourced by the Wine scripts: finds what they run, and says which tool is
# missing instead of letting a missing one pass for a Wine that started
# nothing.
WINE64=${ZOVA_WINE64:-/usr/lib/wine/wine64}
for ferramenta in tmux "$WINE64"; do
  command -v "$ferramenta" >/dev/null || { echo "FAILED: missing $ferramenta (apt-get install tmux wine64)"; exit 1; }
done
# A Unix path as the Windows programs under Wine see it; winepath itself is
# a Wine program, run by the same wine64, so no other package is needed.
caminho_windows() {
  WINEDEBUG=-all "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# A session's name, a folder of its own for its files (removed at the end)
# and tm, tmux on a server of its own for every start: a new session asked
# of a server that is exiting, its last session just killed, has been seen
# to fail. Each start adds one to inicio.
prepararSessao() {
  sessao="$1-$$"
  pasta=$(mktemp -d)
  estado="$pasta/estado"
  inicio=0
  trap 'tm kill-server 2>/dev/null; rm -rf "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$sessao-"* "$pasta"' EXIT
}
tm() { tmux -L "$sessao-$inicio" "$@"; }
