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
. "$(dirname "$0")/construir_pagina.sh"
falhou=0
NODE_PATH="$pasta/npm-navegador/node_modules" \
  node "$fontes/tests/web/navegador.cjs" "$nativo" "$pasta/site" "$pasta/zova.html" || falhou=1
# The hosted page as an app: installable, offline after a first visit.
NODE_PATH="$pasta/npm-navegador/node_modules" \
  node "$fontes/tests/web/pagina_instalavel.cjs" "$pasta/site" "$pasta/zova.html" || falhou=1
exit "$falhou"
