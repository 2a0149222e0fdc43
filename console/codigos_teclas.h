// The code of every key, as the console services hand keys to the game and
// the key decoder (teclas.h) makes them.
#pragma once

// Every key is one code. An ordinary key is its character code (1 to 127);
// Enter is 13 however the terminal sends it.
const int TECLA_ENTER = 13;
const int TECLA_ESC = 27;
// One code for every character outside ASCII: one key press, one code, and
// never one the game acts on; its bytes are asked for separately.
const int TECLA_NAO_ASCII = 255;

// The extended keys, from TECLA_ESTENDIDA up: TECLA_ESTENDIDA plus the
// second code the game gets after the prefix (72 for the up arrow...).
const int TECLA_ESTENDIDA = 256;
const int SETA_CIMA = TECLA_ESTENDIDA + 72;
const int SETA_BAIXO = TECLA_ESTENDIDA + 80;
const int SETA_ESQUERDA = TECLA_ESTENDIDA + 75;
const int SETA_DIREITA = TECLA_ESTENDIDA + 77;
const int TECLA_HOME = TECLA_ESTENDIDA + 71;
const int TECLA_END = TECLA_ESTENDIDA + 79;
const int TECLA_INSERT = TECLA_ESTENDIDA + 82;
const int TECLA_DELETE = TECLA_ESTENDIDA + 83;
const int TECLA_PAGE_UP = TECLA_ESTENDIDA + 73;
const int TECLA_PAGE_DOWN = TECLA_ESTENDIDA + 81;
const int TECLA_F1 = TECLA_ESTENDIDA + 59;  // F1 to F10 follow on, F11 and F12 are apart
const int TECLA_F11 = TECLA_ESTENDIDA + 133;
const int TECLA_SHIFT_TAB = TECLA_ESTENDIDA + 15;
// Up and down with Shift, Ctrl or Alt held: distinct from the plain arrows,
// so a modified arrow never moves the cursor by surprise.
const int SETA_CIMA_MODIFICADA = TECLA_ESTENDIDA + 141;
const int SETA_BAIXO_MODIFICADA = TECLA_ESTENDIDA + 145;
const int SETA_ESQUERDA_MODIFICADA = TECLA_ESTENDIDA + 115;
const int SETA_DIREITA_MODIFICADA = TECLA_ESTENDIDA + 116;
// Alt with the keys a shell's line editor gives a meaning: a word back, a
// word on, erase the word before.
const int TECLA_ALT_B = TECLA_ESTENDIDA + 48;
const int TECLA_ALT_F = TECLA_ESTENDIDA + 33;
const int TECLA_ALT_BACKSPACE = TECLA_ESTENDIDA + 14;
// Ctrl-Backspace, which erases a word as Alt-Backspace does. Only a console
// key event tells it apart: the ^H most terminals send for it is also what
// some send for Backspace itself, so that byte stays Backspace.
const int TECLA_CTRL_BACKSPACE = TECLA_ESTENDIDA + 127;
const int ESTENDIDA_ALT = TECLA_ESTENDIDA + 1;           // Alt held with any other key
const int ESTENDIDA_DESCONHECIDA = TECLA_ESTENDIDA + 0;  // any other sequence, read whole

// No byte, and so no key, can come any more: the end of the input.
const int TECLA_FIM = -1;
