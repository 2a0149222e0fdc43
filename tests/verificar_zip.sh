#!/bin/bash
# Checks the Windows download as a player gets it: the game and its three
# texts in one folder; the texts with Windows line ends, README and manual
# in UTF-8 with a byte order mark (older Notepads read anything else in the
# ANSI code page, and the accents come out wrong), hyphens in plain ASCII;
# the manual in the wording of Windows (no job control, no xterm); the
# README a players' text, not the developers' Markdown; and a game that
# needs no DLL beyond Windows' own.
#   tests/verificar_zip.sh zova-VERSION-win64.zip VERSION
set -u
zip="$1"
versao="$2"

pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
unzip -q "$zip" -d "$pasta" || { echo "cannot unzip $zip"; exit 1; }
raiz="$pasta/zova-$versao-win64"
falhou=0
erro() { echo "$*"; falhou=1; }

for arquivo in zova.exe LICENSE.txt README.txt zova.txt; do
  [ -s "$raiz/$arquivo" ] || erro "missing from the zip: zova-$versao-win64/$arquivo"
done
mais=$(cd "$pasta" && find . -type f | grep -vxE "\./zova-$versao-win64/(zova\.exe|LICENSE\.txt|README\.txt|zova\.txt)")
[ -z "$mais" ] || erro "more in the zip than the game and its three texts: $mais"
[ $falhou = 0 ] || exit 1

bom=$(printf '\357\273\277')
# groff's hyphen, non-breaking hyphen and minus sign.
tracos=$(printf '\342\200\220\n\342\200\221\n\342\210\222')

for arquivo in LICENSE.txt README.txt zova.txt; do
  texto="$raiz/$arquivo"
  linhas=$(LC_ALL=C tr -cd '\n' < "$texto" | wc -c)
  crlf=$(LC_ALL=C grep -c $'\r$' "$texto")
  if [ "$linhas" = 0 ] || [ "$crlf" != "$linhas" ]; then erro "$arquivo: $crlf of $linhas lines end in CR LF"; fi
  [ "$(LC_ALL=C tail -c 1 "$texto")" = "" ] || erro "$arquivo: the last line has no line end"
  [ "$(LC_ALL=C tr -cd '\r' < "$texto" | wc -c)" = "$crlf" ] || erro "$arquivo: a CR that ends no line"
  iconv -f UTF-8 -t UTF-8 "$texto" >/dev/null 2>&1 || erro "$arquivo: not UTF-8"
  LC_ALL=C grep -qF "$tracos" "$texto" && erro "$arquivo: a Unicode hyphen or minus sign, not ASCII's"
  if [ "$arquivo" = LICENSE.txt ]; then
    LC_ALL=C grep -q $'[^\t\r -~]' "$texto" && erro "$arquivo: not ASCII"
  else
    [ "$(head -c 3 "$texto")" = "$bom" ] || erro "$arquivo: no UTF-8 byte order mark"
    [ "$(LC_ALL=C grep -c "$bom" "$texto")" -le 1 ] || erro "$arquivo: a byte order mark inside the text"
    LC_ALL=C grep -q 'ç' "$texto" || erro "$arquivo: no accented letter: the Portuguese text is gone"
  fi
done

# The manual in the wording of Windows.
manual="$raiz/zova.txt"
grep -q "zova $versao" "$manual" || erro "zova.txt: not the manual of zova $versao"
for posix in Ctrl-Z xterm SIGINT SIGTERM; do
  grep -qF "$posix" "$manual" && erro "zova.txt: $posix, which Windows has not"
done
grep -qw fg "$manual" && erro "zova.txt: fg, which Windows has not"
grep -qF "ao shell" "$manual" && erro "zova.txt: the shell, where Windows has the Prompt de Comando"
for windows in zova.exe Ctrl-Break Ctrl-Backspace "Prompt de Comando"; do
  grep -qF "$windows" "$manual" || erro "zova.txt: no $windows: not the Windows wording"
done
# A word cut at a line's end (groff's hyphenation knows only English).
LC_ALL=C grep -nE $'[^[:space:]-]-\r$' "$manual" && erro "zova.txt: words cut at a line's end"

# The README: a players' text, not the developers' Markdown.
leiame="$raiz/README.txt"
LC_ALL=C grep -nE '\]\(|```|^#|^\|.*\|' "$leiame" && erro "README.txt: Markdown"
for trecho in "zova $versao" zova.exe --help --version LICENSE.txt MIT zova.txt Ctrl-Backspace; do
  grep -qF -- "$trecho" "$leiame" || erro "README.txt: no $trecho"
done
for desenvolvedor in cmake ctest apt-get; do
  grep -qiF "$desenvolvedor" "$leiame" && erro "README.txt: $desenvolvedor, which is for developers"
done

# Self-contained: no DLL but Windows' own.
if command -v x86_64-w64-mingw32-objdump >/dev/null; then
  dlls=$(x86_64-w64-mingw32-objdump -p "$raiz/zova.exe" | sed -n 's/^\s*DLL Name: //p')
  echo "DLLs: $(paste -sd ' ' <<< "$dlls")"
  [ -n "$dlls" ] || erro "zova.exe: no import table read"
  grep -viE '^(kernel32|msvcrt|user32|advapi32|ntdll)\.dll$' <<< "$dlls" && erro "zova.exe needs a DLL that Windows does not have"
else
  [ "${ZOVA_EXIGIR_FERRAMENTAS:-0}" = 1 ] && erro "missing: x86_64-w64-mingw32-objdump (binutils-mingw-w64-x86-64)"
  echo "not checked: the DLLs (no x86_64-w64-mingw32-objdump)"
fi

[ $falhou = 0 ] && echo "zip: zova.exe, LICENSE.txt, README.txt and zova.txt as Windows reads them"
exit $falhou
