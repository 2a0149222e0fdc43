// What each platform supplies to the console services. One backend is linked
// into a program: the POSIX terminal, the Windows console, or the scripted
// console of the in-process tests.
#pragma once

// Takes the terminal over: keeps its modes to give back, and puts it in the
// mode in which keys are read (no echo, key by key). Called once.
void terminalIniciar();

// Gives the terminal back as it was found. Safe to call more than once.
void terminalEncerrar();

// Whether line reads are edited by the console's own line editor (standard
// input is the terminal, which stays in key mode), rather than read as bytes.
bool terminalEditaLinhas();

// Bytes of standard input when lines are not edited here: up to tamanho of
// them, as they come; 0 once it has ended or nobody can see the game.
int terminalLerEntrada(char* destino, int tamanho);

// Writes all of the bytes, or drops them once the terminal is gone.
void terminalEscrever(const char* dados, int tamanho);

// One key code, a prefix and its second code on two calls, or TECLA_FIM.
int terminalLerTecla();

// The UTF-8 bytes of the last key read, when it was TECLA_NAO_ASCII for a
// whole character; 0 otherwise.
int terminalCaractereDaTecla(char destino[4]);

// The window's width in columns.
int terminalColunas();

// Shows or hides the cursor, from the next write on.
void terminalMostrarCursor(bool mostrar);

// Recolours the screen: background and text colour, by the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white).
void terminalAplicarCor(int fundo, int texto);

// Empties the whole screen, scroll-back included, cursor to the top left.
void terminalLimpar();

// Waits, then drops the keys pressed meanwhile: they belong to no screen.
void terminalPausar(int ms);

// Drops the keys pressed while no screen waited for them.
void terminalDescartarTeclas();

// Whether the window the game runs in closes when the game ends: a terminal
// emulator, a console host or sshd started the game itself, not a shell.
// Decided at start; false where standard input or output is not the
// terminal.
bool terminalJanelaFechaComOJogo();

// The game's work is done: from now on Ctrl-C, a hangup or a closed window
// end it as a normal end does, with status 0.
void terminalConcluir();

// Whether text on this terminal is UTF-8, where bytes 0x80 to 0x9F can be
// controls and a character may take several bytes. A Windows console in an
// OEM code page shows those bytes as letters (0x82 is an e with an accent).
bool terminalEmUtf8();

#ifdef _WIN32
// For the tests: 1 forces the virtual-terminal output path, 0 the console
// API's, -1 (the default) lets terminalIniciar choose by the console.
void terminalWindowsForcarVt(int vt);
// Whether the console closes with the game, from how many processes share
// it and whether standard input and output are the console.
bool consoleFechaComOJogo(unsigned long processosNoConsole, bool entradaNoConsole, bool saidaNoConsole);
#endif
