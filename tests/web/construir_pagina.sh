# Sourced by the tests that play the page in Chromium (tests/web/navegador.sh,
# tests/sala/sala.sh), after pular.sh: skips (77) where a tool they need is
# missing, then builds the page with the web preset and the browser driver
# into $pasta, from the sources in $fontes; $chromium is the browser.
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
