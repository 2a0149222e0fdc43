#!/bin/sh
# Builds the Debian package twice from a build directory and checks that a
# distribution would take it: what it holds and where, its fields, the same
# bytes both times (SOURCE_DATE_EPOCH from the last commit), no lintian error
# or warning, and a valid desktop entry.
#   tests/verificar_pacote.sh BUILD VERSION SOURCES
# A missing tool skips the test (status 77), unless ZOVA_EXIGIR_FERRAMENTAS=1.
set -eu
build="$1"
versao="$2"
fontes="$3"

. "$(dirname "$0")/pular.sh"
command -v cpack >/dev/null || falta cpack
command -v dpkg-deb >/dev/null || falta "dpkg-deb (dpkg)"
command -v dpkg-shlibdeps >/dev/null || falta "dpkg-shlibdeps (dpkg-dev)"
command -v file >/dev/null || falta "file (CPack's .deb generator runs it)"

SOURCE_DATE_EPOCH=$(git -C "$fontes" log -1 --format=%ct 2>/dev/null || echo 1796688000)
export SOURCE_DATE_EPOCH
saida=$(mktemp -d)
trap 'rm -rf "$saida"' EXIT
for vez in 1 2; do
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$saida/$vez" >/dev/null
done
deb=$(ls "$saida"/1/zova_*.deb)
falhou=0
cmp -s "$deb" "$saida"/2/zova_*.deb || { echo "two builds of the same commit differ"; falhou=1; }

conteudo=$(dpkg-deb -c "$deb")
for caminho in ./usr/games/zova ./usr/share/man/man6/zova.6.gz ./usr/share/doc/zova/copyright \
    ./usr/share/doc/zova/changelog.gz ./usr/share/doc/zova/README.md ./usr/share/applications/zova.desktop \
    ./usr/share/icons/hicolor/scalable/apps/zova.svg ./usr/share/icons/hicolor/48x48/apps/zova.png; do
  echo "$conteudo" | grep -q " $caminho\$" || { echo "missing from the package: $caminho"; falhou=1; }
done
# The room goes where it was built, and its page with it where that was
# built: the program zova --sala runs, and the files it serves.
if [ -x "$build/zova-sala" ]; then
  echo "$conteudo" | grep -q " ./usr/libexec/zova/zova-sala\$" || { echo "missing from the package: the room"; falhou=1; }
  if [ -f "$build/web/site/index.html" ]; then
    echo "$conteudo" | grep -q " ./usr/share/zova/pagina/index.html\$" || { echo "missing from the package: the room's page"; falhou=1; }
  fi
fi
campo() { dpkg-deb -f "$deb" "$1"; }
[ "$(campo Package)" = zova ] || { echo "wrong Package"; falhou=1; }
[ "$(campo Version)" = "$versao" ] || { echo "wrong Version"; falhou=1; }
[ "$(campo Section)" = games ] || { echo "wrong Section"; falhou=1; }
campo Depends | grep -q libc6 || { echo "Depends not computed"; falhou=1; }
descricao=$(campo Description)
sinopse=$(echo "$descricao" | head -n 1)
[ ${#sinopse} -lt 80 ] || { echo "synopsis of ${#sinopse} characters"; falhou=1; }
[ "$(echo "$descricao" | grep -c "^$sinopse\$")" = 1 ] || { echo "synopsis repeated"; falhou=1; }
echo "$descricao" | grep -qx " \." || { echo "no paragraph break in the description"; falhou=1; }
echo "$descricao" | grep -q "jogo de palavras" || { echo "no Portuguese description"; falhou=1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$fontes/pacote/zova.desktop" || { echo "desktop entry invalid"; falhou=1; }
else
  [ "${ZOVA_EXIGIR_FERRAMENTAS:-0}" = 1 ] && { echo "missing: desktop-file-validate"; falhou=1; }
  echo "not checked: no desktop-file-validate"
fi
if command -v lintian >/dev/null; then
  relatorio=$(lintian --pedantic --tag-display-limit 0 "$deb" 2>&1 || true)
  [ -n "$relatorio" ] && echo "$relatorio"
  if echo "$relatorio" | grep -qE "^[EW]: "; then echo "lintian: errors or warnings"; falhou=1; fi
else
  [ "${ZOVA_EXIGIR_FERRAMENTAS:-0}" = 1 ] && { echo "missing: lintian"; falhou=1; }
  echo "not checked: no lintian"
fi
exit $falhou
