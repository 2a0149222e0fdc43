# Copies a text file with Windows line ends: cmake -DENTRADA=a -DSAIDA=b -P crlf.cmake
file(READ "${ENTRADA}" texto)
string(REPLACE "\r\n" "\n" texto "${texto}")
string(REPLACE "\n" "\r\n" texto "${texto}")
file(WRITE "${SAIDA}" "${texto}")
