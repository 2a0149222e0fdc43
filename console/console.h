// Console services: every screen change and every read of the game goes
// through here. The game knows nothing of the terminal behind them.
#pragma once

#include "console/codigos_teclas.h"

// Rule lines of the screen headers (37 signs) and of the judging panel (53).
extern const char LINHA_REGRA[];
extern const char LINHA_REGRA_LARGA[];

// lerTecla gives an extended key (an arrow...) as two codes on two calls:
// the prefix, then its second code.
const int PREFIXO_ESTENDIDA = 224;
const int SEGUNDA_SETA_CIMA = SETA_CIMA - TECLA_ESTENDIDA;    // 72
const int SEGUNDA_SETA_BAIXO = SETA_BAIXO - TECLA_ESTENDIDA;  // 80

void iniciarConsole();
void encerrarConsole();

void limparTela();
// Runs a colour command: "color " and one or two hexadecimal digits
// (background and text, or text on black). Anything else changes nothing.
void aplicarCor(const char* comando);
// The header of every screen: colour, clearing, rule, title, rule.
void abrirTela(const char* comando, const char* titulo);
void abrirTela(const char* comando, const char* formatoTitulo, int rodada);

// The text, then a newline. For the game's own texts.
void escreverLinha(const char* texto);
// Formatted output with %s, %d, %c and %%. The arguments may be player text:
// control characters in them are shown in caret form (^[), never sent raw.
void escrever(const char* formato, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// One key press: its code, or the prefix and then the second code of an
// extended key on the next call. No echo, no Enter. TECLA_FIM at the end.
int lerTecla();

// One line of standard input, at most tamanho-1 bytes, newline removed.
// False at the end of input, and destino is left as it was.
bool lerLinha(char* destino, int tamanho);
// Removes the one newline at the end of the text, if there is one.
void tirarEnter(char* texto);
// A whole number, after any blanks and newlines; beyond the range of an int
// it is taken as the nearest limit. False, with destino unchanged, when no
// number comes first; what stopped it stays pending.
bool lerInteiro(int& destino);
// Reads one character of standard input and drops it.
void consumirCaractere();
// Drops what is left of the current line, its newline included.
void descartarLinha();
// True once standard input has ended: from then on no read waits.
bool fimDaEntrada();
// Ends the line the cursor is on, unless it is already at the start of one:
// a prompt asked again after text that was not echoed (it came from what
// was pending) starts on a line of its own.
void comecarLinha();

void pausar(int ms);

// Who a screen hands the keyboard to: a player's index, or VEZ_DE_TODOS for
// a screen that everyone reads (the results).
const int VEZ_DE_TODOS = -1;
// The screen about to be drawn hands the keyboard over; its first read
// starts the turn. Keys pressed before the screen appeared belong to no one
// there (a burst that ended the last player's turn, keys typed during a
// pause) and are dropped. Where the players type at the terminal, so is
// whatever an earlier line left pending (the rest of a long line, numbers
// past a judge's last score): one player's text never answers another's
// turn. A screen for everyone also takes no key for a moment after it
// appears, so that a second Enter pressed in haste does not pass it unread.
// Where standard input is not the terminal (a file, a pipe), what is
// pending in it stays for the next read, as in any stream.
void passarVez(int vez);

// The reads that follow, on the screen already shown, are vez's (a player's
// index, or VEZ_DE_TODOS), with no new screen. Where the players share one
// terminal nothing changes: what is pending stays for the next read, as in
// any stream. Where each has a screen of their own, the screen so far goes
// to theirs, and nothing of another player's keys is left to read.
void cederTeclado(int vez);

// The name a player registered with, for the screens that say whose turn
// it is where each player has a screen of their own.
void apresentarJogador(int jogador, const char* nome);

// Whether the window closes with the game, so the last screen would vanish
// with it.
bool janelaFechaComOJogo();
// After the last screen, which passed the turn to everyone: waits for
// Enter (or Ctrl-D, or the end of input); other keys do nothing. Ctrl-C or a
// closed window end the wait, and the game, with status 0.
void esperarEnterParaSair();
