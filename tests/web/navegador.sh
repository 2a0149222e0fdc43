#!/bin/sh
# The browser edition: builds it with the web preset into a folder of the
# build, with the browser driver (this folder's package.json), then plays it
# in Chromium against the native game in tmux (navegador.cjs), and checks the
# hosted page as an app that installs and plays offline (pagina_instalavel.cjs).
#   tests/web/navegador.sh NATIVE_GAME SOURCES WEB_BUILD_FOLDER
# A missing tool skips the test (status 77), unless ZOVA_EXIGIR_FERRAMENTAS=1.
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 NATIVE_GAME SOURCES WEB_BUILD_FOLDER" >&2
  exit 2
fi
nativo="$1"
fontes="$2"
pasta="$3"
chromium="${ZOVA_CHROMIUM:-/usr/bin/chromium}"

. "$(dirname "$0")/../pular.sh"
command -v em++ >/dev/null || [ -x "${EMSDK:-/nonexistent}/upstream/emscripten/em++" ] || falta "em++ (emscripten)"
command -v node >/dev/null || falta "node (nodejs)"
command -v npm >/dev/null || falta "npm"
command -v tmux >/dev/null || falta tmux
[ -x "$chromium" ] || falta "$chromium (chromium)"

registro=$(mktemp)
trap 'rm -f "$registro"' EXIT
if ! { cmake -S "$fontes" -B "$pasta" --preset web &&
       cmake --build "$pasta" -j2 --target all pacotes_navegador; } >"$registro" 2>&1; then
  tail -n 40 "$registro"
  echo "FAILED: cmake --preset web -B $pasta && cmake --build $pasta --target all pacotes_navegador"
  exit 1
fi
falhou=0
NODE_PATH="$pasta/npm-navegador/node_modules" \
  node "$fontes/tests/web/navegador.cjs" "$nativo" "$pasta/site" "$pasta/zova.html" || falhou=1
# The hosted page as an app: installable, offline after a first visit.
NODE_PATH="$pasta/npm-navegador/node_modules" \
  node "$fontes/tests/web/pagina_instalavel.cjs" "$pasta/site" "$pasta/zova.html" || falhou=1
exit "$falhou"
