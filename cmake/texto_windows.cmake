# Copies a text file as every Notepad reads it: Windows line ends, and the
# hyphens and minus signs groff may render in Unicode as plain ASCII ones.
# With -DBOM=ON it starts with UTF-8's byte order mark: without one, older
# Notepads take the file for the ANSI code page and show each accented
# letter as two wrong ones.
#   cmake -DENTRADA=a -DSAIDA=b [-DBOM=ON] -P texto_windows.cmake
file(READ "${ENTRADA}" texto)
string(ASCII 226 128 144 hifen)        # U+2010 HYPHEN
string(ASCII 226 128 145 hifen_fixo)   # U+2011 NON-BREAKING HYPHEN
string(ASCII 226 136 146 menos)        # U+2212 MINUS SIGN
foreach(traco "${hifen}" "${hifen_fixo}" "${menos}")
  string(REPLACE "${traco}" "-" texto "${texto}")
endforeach()
string(REPLACE "\r\n" "\n" texto "${texto}")
string(REPLACE "\n" "\r\n" texto "${texto}")
string(ASCII 239 187 191 marca)
if(BOM AND NOT texto MATCHES "^${marca}")
  set(texto "${marca}${texto}")
endif()
file(WRITE "${SAIDA}" "${texto}")
