#!/bin/sh
# The room (zova --sala) played from phones: builds the page the room serves
# with the web preset, into the same folder of the build as the browser
# edition's test (the two never run at once: ctest's lock), with the browser
# driver, then plays a match in Chromium against the room in tmux
# (celulares.cjs).
#   tests/sala/sala.sh NATIVE_GAME SOURCES WEB_BUILD_FOLDER
# A missing tool, or a game built without its room, skips the test (status
# 77), unless ZOVA_EXIGIR_FERRAMENTAS=1.
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
[ -x "$(dirname "$nativo")/zova-sala" ] ||
  pular "the room was not built (it needs libcivetweb-dev and libqrencode-dev)" "zova-sala"
. "$(dirname "$0")/../web/construir_pagina.sh"
NODE_PATH="$pasta/npm-navegador/node_modules" node "$fontes/tests/sala/celulares.cjs" "$nativo" "$pasta/site"
