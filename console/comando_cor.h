// The colour command of a console ("color 1F"): what the screens of the
// game ask for, read into palette indexes.
#pragma once

// Parses a colour command ("color " and one or two hexadecimal digits:
// background and text, or text on black) into indexes of the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white);
// false if it is not one.
bool interpretarCor(const char* comando, int& fundo, int& texto);
