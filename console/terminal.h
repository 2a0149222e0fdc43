// What each platform supplies to the console services. One backend is linked
// into a program: the POSIX terminal, the Windows console, or the scripted
// console of the in-process tests.
#pragma once

#include <cstdio>

// Takes the terminal over: keeps its modes to give back, and puts it in the
// mode in which keys are read (no echo, key by key). Called once.
void terminalIniciar();

// Gives the terminal back as it was found. Safe to call more than once.
void terminalEncerrar();

// The stream the line and number reads take their characters from.
FILE* terminalEntrada();

// Writes all of the bytes, or drops them once the terminal is gone.
void terminalEscrever(const char* dados, int tamanho);

// One key code, a prefix and its second code on two calls, or TECLA_FIM.
int terminalLerTecla();

// Before and after a read of the standard input that may wait for the player:
// line editing and echo while it lasts; key by key and silent otherwise.
void terminalModoLinha();
void terminalModoTecla();

// Recolours the screen: background and text colour, by the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white).
void terminalAplicarCor(int fundo, int texto);

// Empties the whole screen, scroll-back included, cursor to the top left.
void terminalLimpar();

void terminalPausar(int ms);

// Whether text on this terminal is UTF-8, where bytes 0x80 to 0x9F can be
// controls and a character may take several bytes. A Windows console in an
// OEM code page shows those bytes as letters (0x82 is an e with an accent).
bool terminalEmUtf8();
