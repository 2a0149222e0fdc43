// A console without a terminal, for playing matches inside a test process:
// standard input and keys come from memory, what is written is kept, and
// pauses are counted instead of waited.
#pragma once

#include <cstddef>

const size_t TAM_SAIDA_ROTEIRO = 1 << 20;

// Sets what the next match reads. Keys are the bytes a terminal would send;
// at each position listed in intervalos, the byte comes only after the wait
// for the rest of a sequence has run out (so "\x1b" then "w" with an
// interval between is Escape and then w, not Alt-w).
void definirRoteiro(const char* entrada, size_t tamEntrada, const char* teclas, size_t tamTeclas,
                    const size_t* intervalos = nullptr, size_t numIntervalos = 0);

// What the match wrote: the first TAM_SAIDA_ROTEIRO bytes, and the total.
const char* saidaRoteiro();
size_t tamSaidaRoteiro();
size_t totalSaidaRoteiro();

int escritasRoteiro();        // calls that wrote to the "terminal"
int pausasRoteiro();          // pauses asked for
long leiturasTeclaRoteiro();  // bytes or waits asked of the key source

// Whether lines come from the line editor fed by the keys (a terminal as
// standard input) instead of from the input stream, and the window's width.
extern bool edicaoRoteiro;
extern int colunasRoteiro;
extern int linhasRoteiro;
// Whether the "terminal" wraps a full row at once, as a console without
// virtual-terminal processing does.
extern bool quebraDeImediatoRoteiro;

// Whether Ctrl-D on an empty line ends the input, as at a terminal (not in
// a page).
extern bool entradaAcabaRoteiro;
// Whether the "terminal" has a cursor for the console services to hide.
extern bool escondeCursorRoteiro;
// Whether its own background is the console's black, as a page's widget's.
extern bool fundoPadraoPretoRoteiro;
// What the console services last kept for a stop (the colour, the cursor's
// state), and the most line feeds they ever kept for an interrupt, since
// definirRoteiro.
const char* retomadaRoteiro();
int tamRetomadaRoteiro();
int maiorInterrupcaoRoteiro();

// Called once per read of a key byte; a test can stop a runaway match here.
extern long limiteLeiturasTecla;
