// Whole numbers as text, without the C library's formatting.
#pragma once

// The decimal digits of any int, INT_MIN included, with its sign, in room
// for 11 bytes; returns their number.
int formatarInteiro(char* destino, int valor);
