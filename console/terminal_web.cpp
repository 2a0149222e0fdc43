// The console in a web page: a terminal widget (xterm.js), reached through
// the page's addon web/ligacao_jogo.js, which the page loads into the widget
// and hands over as Module.ligacao before the game starts. The widget takes
// the escape sequences of sequencias.h, which the console services put in
// the output, as a POSIX terminal does.
//
// The game's reads block; the page must not. Built with Asyncify, a read
// that finds nothing typed yet lets the page run until a key, a resize or
// the end of a pause wakes it. Keys arrive as the bytes a terminal sends
// and go through the same key decoder as on POSIX. What the game writes
// between two waits reaches the widget as one write, so a screen is never
// shown half drawn. The queue of keys, its bound and the waits are the
// addon's; here each call is one line into it.

#include <emscripten.h>

#include "console/teclas.h"
#include "console/terminal.h"

// clang-format off
EM_JS(void, webIniciar, (), { Module.ligacao.iniciar(); });
EM_JS(void, webEscrever, (const char* dados, int tamanho), { Module.ligacao.escrever(HEAPU8.slice(dados, dados + tamanho)); });
// A byte already typed, or -1: no wait, so no unwinding of the stack.
EM_JS(int, webByteTeclado, (), { return Module.ligacao.tirarByte(); });
// A byte within esperaMs (no limit when negative); semByte when none came
// in time, redesenhar when the widget changed size between keys.
EM_ASYNC_JS(int, webEsperarByte, (int esperaMs, int semByte, int redesenhar), { return await Module.ligacao.esperarByte(esperaMs, semByte, redesenhar); });
// What was left of the wait if the widget changed size first, or 0.
EM_ASYNC_JS(int, webPausar, (int ms), { return await Module.ligacao.pausar(ms); });
EM_JS(void, webDescartar, (), { Module.ligacao.descartar(); });
EM_JS(int, webColunas, (), { return Module.ligacao.colunas(); });
EM_JS(int, webLinhas, (), { return Module.ligacao.linhas(); });
// The last screen goes out, and the page is told, so it can offer a new match.
EM_JS(void, webEncerrar, (), { Module.ligacao.encerrar(); if (typeof Module.aoTerminar === "function") Module.aoTerminar(); });
// clang-format on

namespace {

LeitorTeclas leitor;
bool iniciado = false;

int lerByteTecla(int esperaMs) {
    int byte = webByteTeclado();
    if (byte >= 0) return byte;
    return webEsperarByte(esperaMs, SEM_BYTE, TECLA_REDESENHAR);
}

}  // namespace

void terminalIniciar() {
    reiniciarLeitor(leitor);
    webIniciar();
    iniciado = true;
}

void terminalEncerrar() {
    if (!iniciado) return;
    iniciado = false;
    webEncerrar();
}

bool terminalEditaLinhas() { return true; }

// A page's input never ends: Ctrl-D on an empty line must not throw the
// match away, nobody typing the screens that are left.
bool terminalEntradaPodeAcabar() { return false; }

// Every line is edited here: there is no other standard input.
int terminalLerEntrada(char*, int) { return 0; }

void terminalEscrever(const char* dados, int tamanho) {
    if (tamanho > 0) webEscrever(dados, tamanho);
}

// The page lives until it is closed: keys can always come.
int terminalLerTecla() { return lerTeclaDeBytes(leitor, lerByteTecla); }

int terminalCaractereDaTecla(char destino[4]) { return caractereDaTecla(leitor, destino); }

int terminalColunas() { return webColunas(); }

int terminalLinhas() { return webLinhas(); }

// The widget, like the terminals it copies, waits at the margin.
bool terminalQuebraDeImediato() { return false; }

bool terminalTomaSequencias() { return true; }

// The page gives the widget the console's black as its own background.
bool terminalFundoPadraoPreto() { return true; }

// The widget draws a cursor, for the sheet to hide while it waits for a key.
bool terminalEscondeCursor() { return true; }

// The last screen stays in the page, with no key to read, so no cursor.
bool terminalDevolvidoAoFim() { return false; }

// The widget keeps the colour in force by itself.
void terminalAplicarCor(int, int) {}

void terminalLimpar() {}

// Nothing stops the game and gives the widget to another program, and
// nothing interrupts it: a closed tab takes the page with it.
void terminalGuardarRetomada(const char*, int) {}

void terminalGuardarInterrupcao(const char*, int) {}

int terminalPausar(int ms) {
    if (ms <= 0) return 0;
    return webPausar(ms);
}

void terminalDescartarTeclas() {
    webDescartar();
    reiniciarLeitor(leitor);
}

// A tab closed takes the page with it whatever the game does; the page
// itself offers a new match once the last screen is shown.
bool terminalJanelaFechaComOJogo() { return false; }

void terminalConcluir() {}

// One terminal, passed from hand to hand.
bool terminalTelaPorJogador() { return false; }

void terminalDarVez(int) {}

void terminalNomearJogador(int, const char*) {}
