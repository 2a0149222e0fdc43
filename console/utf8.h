// The little of UTF-8 that the console needs: where a character ends, and
// the bytes of a code point that came otherwise (a console key event).
#pragma once

// Bytes that follow a lead byte of UTF-8, by the lead byte alone (0 if none).
int seguintesUtf8(int inicial);

// Length of the well-formed UTF-8 character at s (2 to 4), or 0.
int tamanhoUtf8(const unsigned char* s);

// The UTF-8 bytes of a code point past ASCII (0x80 to 0x10FFFF); returns
// their number (2 to 4).
int codificarUtf8(unsigned codigo, char destino[4]);
