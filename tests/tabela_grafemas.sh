#!/bin/sh
# The table of widths and grapheme clusters is the one the generator makes
# from the Unicode Character Database installed here, when it is of the
# table's Unicode version.
#   tests/tabela_grafemas.sh SOURCES
fontes="$1"
ucd=/usr/share/unicode
command -v python3 >/dev/null || { echo "skipped: no python3"; exit 77; }
[ -f "$ucd/auxiliary/GraphemeBreakProperty.txt" ] || { echo "skipped: no Unicode data (apt-get install unicode-data)"; exit 77; }
gerada=$(python3 "$fontes/tools/gerar_grafemas.py" "$ucd") || exit 1
versao() { sed -n 's/^const char VERSAO_UNICODE\[\] = "\(.*\)";/\1/p'; }
instalada=$(echo "$gerada" | versao)
tabela=$(versao < "$fontes/console/grafemas_tabela.h")
[ "$instalada" = "$tabela" ] || { echo "skipped: Unicode $instalada installed, the table is of $tabela"; exit 77; }
echo "$gerada" | cmp -s - "$fontes/console/grafemas_tabela.h" ||
  { echo "console/grafemas_tabela.h is not what tools/gerar_grafemas.py makes: run it again"; exit 1; }
echo "tabela: 1 passed, 0 failed"
