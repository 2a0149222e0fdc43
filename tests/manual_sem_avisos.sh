#!/bin/sh
# The manual page renders without a single groff warning, and with no word
# cut at a line's end at 60, 80 and 120 columns: groff's hyphenation knows
# only English, and cuts Portuguese words where they cannot be cut.
#   tests/manual_sem_avisos.sh build/zova.6
command -v groff >/dev/null || { echo "skipped: no groff"; exit 77; }
manual="$1"
unset MAN_KEEP_FORMATTING  # man writes plain text into a pipe
falhou=0
casos=0

avisos=$(groff -ww -z -man -Tutf8 "$manual" 2>&1)
casos=$((casos + 1))
[ -z "$avisos" ] || { echo "$avisos"; falhou=1; }

# A word cut at a line's end: anything but a blank or a dash, then a hyphen
# (groff's U+2010 or a plain one) last on the line.
cortadas() { LC_ALL=C grep -nE '[^[:space:]-](‐|-)$'; }
for largura in 60 80 120; do
  casos=$((casos + 1))
  linhas=$(groff -man -Tutf8 -P-cbou -rLL=${largura}n "$manual" 2>/dev/null | cortadas)
  [ -z "$linhas" ] || { echo "groff, $largura columns, words cut:"; echo "$linhas"; falhou=1; }
done
# As man shows it, with its own line length and the system's macros.
if command -v man >/dev/null; then
  for largura in 60 80 120; do
    casos=$((casos + 1))
    linhas=$(MANWIDTH=$largura man -l "$manual" 2>/dev/null | cortadas)
    [ -z "$linhas" ] || { echo "man, $largura columns, words cut:"; echo "$linhas"; falhou=1; }
  done
else
  echo "not checked: no man (man-db), the page as man shows it"
fi
# The NAME line is one that apropos and whatis can index.
if command -v lexgrog >/dev/null; then
  casos=$((casos + 1))
  lexgrog "$manual" | grep -q ': "zova - ' || { echo "lexgrog cannot read the NAME line"; falhou=1; }
else
  echo "not checked: no lexgrog (man-db), the NAME line"
fi

[ $falhou = 0 ] && echo "manual: $casos passed, 0 failed"
exit $falhou
