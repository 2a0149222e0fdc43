#!/bin/sh
# Builds the Debian package from a build directory and checks its contents
# and metadata: the executable and the manual at their install paths.
set -eu
build="$1"
versao="$2"
saida=$(mktemp -d)
trap 'rm -rf "$saida"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$saida" >/dev/null
deb=$(ls "$saida"/zova_*.deb)
conteudo=$(dpkg-deb -c "$deb")
falhou=0
for caminho in ./usr/bin/zova ./usr/share/man/man6/zova.6.gz; do
  echo "$conteudo" | grep -q " $caminho\$" || { echo "missing from the package: $caminho"; falhou=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = zova ] || { echo "wrong Package"; falhou=1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$versao" ] || { echo "wrong Version"; falhou=1; }
[ "$(dpkg-deb -f "$deb" Section)" = games ] || { echo "wrong Section"; falhou=1; }
dpkg-deb -f "$deb" Depends | grep -q libc6 || { echo "Depends not computed"; falhou=1; }
dpkg-deb -f "$deb" Description | grep -q "jogo de palavras" || { echo "no Portuguese description"; falhou=1; }
exit $falhou
