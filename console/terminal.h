// What each platform supplies to the console services: its raw input and
// output, and nothing else. One backend is linked into a program: the POSIX
// terminal (terminal_posix.cpp), the Windows console (terminal_windows.cpp),
// the terminal widget of the web page (terminal_web.cpp), a room of devices,
// one per player (terminal_sala.cpp), or the scripted console of the
// in-process tests. What to send, when to drop keys, what a
// size defaults to: all of that is decided above, once, in the console
// services. A backend calls nothing above it: what it needs of them (a
// redraw after a resize or a stop) it asks for through what its reads
// return.
#pragma once

// Takes the terminal over: keeps its modes to give back, and puts it in the
// mode in which keys are read (no echo, key by key). Called once.
void terminalIniciar();

// Gives the terminal back as it was found. Safe to call more than once.
void terminalEncerrar();

// Whether line reads are edited by the game's own line editor, fed by the
// keys (standard input is the terminal), rather than read as bytes.
bool terminalEditaLinhas();

// Whether the player can end the input from the keyboard, as a terminal's
// Ctrl-D on an empty line does; false where the input never ends (a web
// page, where Ctrl-D is also the browser's own key).
bool terminalEntradaPodeAcabar();

// What terminalLerEntrada returns, instead of a number of bytes, when the
// screen must be drawn again before the read goes on.
const int ENTRADA_REDESENHAR = -1;

// Bytes of standard input when lines are not edited here: up to tamanho of
// them, as they come; 0 once it has ended or nobody can see the game;
// ENTRADA_REDESENHAR.
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
// buffer's width), and the window's height in rows; 0 where nothing tells
// them.
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

// Whether the terminal's own background is the console's black: then a
// black background is sent as the terminal's own, the same colour, which a
// page's widget draws without painting a background cell by cell, so each
// screen shows sooner. False wherever the player's own colours may be
// anything (a terminal emulator's theme, a console's settings).
bool terminalFundoPadraoPreto();

// Whether the cursor is hidden, by its sequences, while the sheet waits
// for a key: there is a cursor to hide (not a file). The console services
// show it again at the end; on a signal, the backend does.
bool terminalEscondeCursor();

// Whether the terminal goes back to someone who types in it when the game
// ends (a shell), and so with a visible cursor; false where the last
// screen stays with nothing more to type (a page).
bool terminalDevolvidoAoFim();

// On a console that takes no sequences: the colour from the next write on,
// by the 16-colour palette of the console (0 black ... 7 white, 8 gray ...
// F bright white).
void terminalAplicarCor(int fundo, int texto);

// On a console that takes no sequences: empties the whole screen,
// scroll-back included, cursor to the top left.
void terminalLimpar();

// Kept by the backend for when the console services cannot act: what to
// send when the game gets its terminal back after a stop (the colour in
// force, the cursor hidden), and what to send as the game ends on an
// interrupt (Ctrl-C, a closed window): past the line being typed, so the
// shell starts on a row of its own. Each call
// replaces what was kept; a signal handler may send it at any moment.
void terminalGuardarRetomada(const char* dados, int tamanho);
void terminalGuardarInterrupcao(const char* dados, int tamanho);

// Waits up to ms; returns what was left of the wait when the screen must be
// drawn again first (the console services call it again with that), or 0
// once the wait is over.
int terminalPausar(int ms);

// Drops the keys pressed and not yet read.
void terminalDescartarTeclas();

// Whether the window the game runs in closes when the game ends: a terminal
// emulator, a console host or sshd started the game itself, not a shell.
// Decided at start; false where standard input or output is not the
// terminal.
bool terminalJanelaFechaComOJogo();

// The game's work is done: from now on Ctrl-C, a hangup or a closed window
// end it as a normal end does, with status 0.
void terminalConcluir();

// Whether each player has a screen and keys of their own (a room of
// devices) instead of one terminal passed from hand to hand.
bool terminalTelaPorJogador();

// Where each player has their own: from now on what is written goes to the
// screen of vez (a player's index, or -1 for every screen) and keys come
// from that screen alone; the others show whose turn it is. A key read
// gives TECLA_FIM when that player has gone away for too long: it ends
// their turn, not the match. Elsewhere it does nothing.
void terminalDarVez(int vez);

// The name a player registered with, as the screens show it (no control
// character in it), for the screens that say whose turn it is.
void terminalNomearJogador(int jogador, const char* nome);
