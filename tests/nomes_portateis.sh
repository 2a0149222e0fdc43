#!/bin/bash
# Every path the repository tracks can be checked out on Windows: no device
# name (con, prn, aux, nul, com0-com9, lpt0-lpt9, with or without an
# extension) as a file or folder, no < > : " \ | ? * or control character,
# no name ending in a dot or a blank, and no two paths that differ only in
# letter case. One such path makes `git clone` fail there for everybody.
#   tests/nomes_portateis.sh SOURCES
# Outside a git checkout, or without git, it skips (status 77), unless
# ZOVA_EXIGIR_FERRAMENTAS=1.
set -u
fontes="${1:-.}"
. "$(dirname "$0")/pular.sh"
command -v git >/dev/null || pular "no git"
git -C "$fontes" rev-parse --git-dir >/dev/null 2>&1 || pular "not a git checkout"

# git quotes a path, in C style, only where it holds a control character, a
# double quote or a backslash: all refused by Windows.
git -C "$fontes" -c core.quotePath=false ls-files | LC_ALL=C awk '
  function julgar(nome, caminho) {
    base = tolower(nome)
    sub(/\..*/, "", base)
    sub(/ +$/, "", base)
    if (base ~ /^(con|prn|aux|nul|com[0-9]|lpt[0-9])$/) {
      print "reserved on Windows: " caminho; ruim = 1
    }
    if (nome ~ /[<>:|?*]/) { print "a character Windows refuses: " caminho; ruim = 1 }
    if (nome ~ /[. ]$/) { print "ends in a dot or a blank: " caminho; ruim = 1 }
  }
  /^"/ { print "a character Windows refuses: " $0; ruim = 1; next }
  {
    n = split($0, partes, "/")
    prefixo = ""
    for (i = 1; i <= n; i++) {
      prefixo = (i == 1) ? partes[i] : prefixo "/" partes[i]
      if (prefixo in visto) continue
      visto[prefixo] = 1
      julgar(partes[i], prefixo)
      chave = tolower(prefixo)
      if (chave in grafia && grafia[chave] != prefixo) {
        print "differ only in letter case: " grafia[chave] " and " prefixo; ruim = 1
      }
      grafia[chave] = prefixo
    }
  }
  END { exit ruim }
' || exit 1
echo "nomes: 1 passed, 0 failed"
