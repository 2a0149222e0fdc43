// The escape sequences the console sends to a terminal that takes them (a
// POSIX terminal, a Windows console with virtual-terminal output), all of
// them:
//   ESC [ 0 ; bg ; fg m   reset attributes, then background (40-47, 100-107
//                         bright; 49, the terminal's own, where that is the
//                         console's black) and text colour (30-37, 90-97
//                         bright)
//   ESC [ 2 H  ESC [ J    a new screen: the old one erased from the start
//                         of the second row down (wrapped rows included)
//   ESC [ 3 J             the scroll-back erased, so no earlier screen can
//                         be scrolled back to by the next player; sent from
//                         the second row too, where a terminal that takes
//                         it for ESC [ J erases nothing more
//   ESC [ H  ESC [ K      then the top row, from the top left corner, and
//                         the screen is drawn from there.
//   ESC [ 0 m             back to the terminal's own colours, when the game
//                         is interrupted or suspended
//   ESC [ ? 25 l          hide the cursor while the sheet waits for a key
//                         (its arrow is the cursor there)
//   ESC [ ? 25 h          show it again: at every line prompt, at the end,
//                         on Ctrl-C, Ctrl-Z and any fatal signal
//   ESC [ n A             line editor: the cursor n rows up, to a row of a
//                         line that wraps
//   ESC [ n C             line editor: the cursor n columns right, from the
//                         start of the row (after a CR)
//   ESC [ J               line editor too, before the rest of the line is
//                         drawn
// The line editor also sends CR (to the start of the row) and LF (to the
// row below, scrolling at the bottom).
// A screen is never erased from the top left corner (ESC [ 2 J, or ESC [ J
// there): some terminals (GNU screen, Windows consoles) copy the whole
// screen into a scroll-back of their own when it is, where the next player
// could scroll up to it.
#pragma once

const char SEQ_INICIO_TELA[] = "\x1b[2H\x1b[J\x1b[3J\x1b[H\x1b[K";
const char SEQ_CORES_PADRAO[] = "\x1b[0m";
const char SEQ_OCULTAR_CURSOR[] = "\x1b[?25l";
const char SEQ_MOSTRAR_CURSOR[] = "\x1b[?25h";
const char SEQ_APAGAR_ABAIXO[] = "\x1b[J";

// Room for the longest sequence built below.
const int TAM_SEQUENCIA = 32;

// As a background: the terminal's own (49), for a terminal whose own is the
// console's black.
const int FUNDO_PADRAO = -1;

// Attributes reset, then background and text colour, by the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white),
// or FUNDO_PADRAO. Returns its length.
int sequenciaCor(char destino[TAM_SEQUENCIA], int fundo, int texto);

// ESC [ n final: the cursor n rows up (A) or n columns right (C).
int sequenciaMover(char destino[TAM_SEQUENCIA], int n, char final);

// One of the sequences above, read back where the output must be measured
// or carried out by other means (a console that takes none): ESC [, its
// parameters and its final byte; or ESC and the one byte after it.
struct Sequencia {
    int tamanho;  // bytes it takes: at least 1 from an ESC, all that is left when cut short
    int numero;   // its first parameter, 0 when it has none
    char final;   // its final byte, 0 when cut short
};
// The sequence at the start of dados, which holds tamanho bytes from an ESC.
Sequencia lerSequencia(const char* dados, int tamanho);
