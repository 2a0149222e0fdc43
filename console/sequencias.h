// The escape sequences the console sends to a terminal that takes them (a
// POSIX terminal, a Windows console with virtual-terminal output). What each
// one does is listed at the top of terminal_posix.cpp.
#pragma once

const char SEQ_LIMPAR[] = "\x1b[H\x1b[2J\x1b[3J";
const char SEQ_CORES_PADRAO[] = "\x1b[0m";
const char SEQ_OCULTAR_CURSOR[] = "\x1b[?25l";
const char SEQ_MOSTRAR_CURSOR[] = "\x1b[?25h";
const char SEQ_APAGAR_ABAIXO[] = "\x1b[J";

// Room for the longest sequence built below.
const int TAM_SEQUENCIA = 32;

// Attributes reset, then background and text colour, by the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white).
// Returns its length.
int sequenciaCor(char destino[TAM_SEQUENCIA], int fundo, int texto);

// ESC [ n final: the cursor n rows up (A) or n columns right (C).
int sequenciaMover(char destino[TAM_SEQUENCIA], int n, char final);
