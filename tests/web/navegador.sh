#!/bin/sh
# The browser edition: builds it with the web preset, then plays it in
# Chromium against the native game in tmux (navegador.cjs).
#   tests/web/navegador.sh NATIVE_GAME SOURCES
# A missing tool skips the test (status 77), unless ZOVA_EXIGIR_FERRAMENTAS=1.
set -eu
nativo="$1"
fontes="$2"
chromium="${ZOVA_CHROMIUM:-/usr/bin/chromium}"

. "$(dirname "$0")/../pular.sh"
command -v em++ >/dev/null || falta "em++ (emscripten)"
command -v node >/dev/null || falta "node (nodejs)"
command -v npm >/dev/null || falta "npm"
command -v tmux >/dev/null || falta tmux
[ -x "$chromium" ] || falta "$chromium (chromium)"

cd "$fontes"
registro=$(mktemp)
trap 'rm -f "$registro"' EXIT
if ! { cmake --preset web && cmake --build --preset web; } >"$registro" 2>&1; then
  tail -n 40 "$registro"
  echo "FAILED: cmake --preset web && cmake --build --preset web"
  exit 1
fi
NODE_PATH="$fontes/build-web/npm/node_modules" \
  node "$fontes/tests/web/navegador.cjs" "$nativo" "$fontes/build-web/site" "$fontes/build-web/zova.html"
