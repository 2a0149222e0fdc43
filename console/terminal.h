// What each platform supplies to the console services. One backend is linked
// into a program: the POSIX terminal, the Windows console, or the scripted
// console of the in-process tests. A backend calls nothing above it: what it
// needs of the console services (a redraw after a resize or a stop) it asks
// for through what its reads return.
#pragma once

// Takes the terminal over: keeps its modes to give back, and puts it in the
// mode in which keys are read (no echo, key by key). Called once.
void terminalIniciar();

// Gives the terminal back as it was found. Safe to call more than once.
void terminalEncerrar();

// Whether line reads are edited by the game's own line editor, fed by the
// keys (standard input is the terminal), rather than read as bytes.
bool terminalEditaLinhas();

// Bytes of standard input when lines are not edited here: up to tamanho of
// them, as they come; 0 once it has ended or nobody can see the game;
// TECLA_REDESENHAR when the screen must be drawn again before the read goes
// on.
int terminalLerEntrada(char* destino, int tamanho);

// Writes all of the bytes, or drops them once the terminal is gone.
void terminalEscrever(const char* dados, int tamanho);

// One key code (teclas.h), TECLA_FIM once no key can come, or
// TECLA_REDESENHAR when the screen must be drawn again before the read goes
// on.
int terminalLerTecla();

// The UTF-8 bytes of the last key read, when it was TECLA_NAO_ASCII for a
// whole character; 0 otherwise.
int terminalCaractereDaTecla(char destino[4]);

// The width in columns at which the terminal wraps its rows (a console's
// screen buffer may be wider than its window: its rows wrap at the
// buffer's width), and the window's height in rows.
int terminalColunas();
int terminalLinhas();

// Whether a character written in the last column moves the cursor to the
// next row at once, as a console does without virtual-terminal
// processing; false where the cursor waits at the margin until the next
// character wraps it, as a terminal's does.
bool terminalQuebraDeImediato();

// Whether the terminal takes the escape sequences of sequencias.h in its
// output: then the console services put colours, clears and the cursor's
// state in the output themselves. Otherwise they send what is pending and
// have the backend act on the console (terminalAplicarCor, terminalLimpar).
bool terminalTomaSequencias();

// The cursor is to be shown or hidden from the next write on. True when the
// console services must send the sequence for it (the backend keeps the
// state, to give a visible cursor back on every exit).
bool terminalMostrarCursor(bool mostrar);

// The colour now in force: background and text colour, by the 16-colour
// palette of the console (0 black ... 7 white, 8 gray ... F bright white).
// A console that takes no sequences is recoloured here; a terminal that
// does keeps it, to set it again after a stop.
void terminalAplicarCor(int fundo, int texto);

// On a console that takes no sequences: empties the whole screen,
// scroll-back included, cursor to the top left.
void terminalLimpar();

// Waits up to ms; returns what was left of the wait when the screen must be
// drawn again first (the console services call it again with that), or 0
// once the wait is over and the keys pressed meanwhile are dropped: they
// belong to no screen.
int terminalPausar(int ms);

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

// The line being typed ends this many rows below the cursor (0 when no line
// is open): a game that ends in the middle of it (Ctrl-C, a closed window)
// first goes past its end, so the shell starts on a row of its own.
void terminalLinhasAbaixo(int linhas);

#ifdef _WIN32
// For the tests: 1 forces the virtual-terminal output path, 0 the console
// API's, -1 (the default) lets terminalIniciar choose by the console.
void terminalWindowsForcarVt(int vt);
// Whether the console closes with the game, from how many processes share
// it and whether standard input and output are the console.
bool consoleFechaComOJogo(unsigned long processosNoConsole, bool entradaNoConsole, bool saidaNoConsole);
#endif
