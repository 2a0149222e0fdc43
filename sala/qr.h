// The link as a QR code drawn in the terminal: two rows of modules to each
// row of text (half blocks), dark on white, with a quiet zone around it, so
// that a phone's camera reads it from the screen.
#pragma once

// Writes the code of texto into destino (NUL-terminated) and returns its
// length; 0 when the text does not fit a code or the drawing destino.
int desenharQr(const char* texto, char* destino, int tamanho);
