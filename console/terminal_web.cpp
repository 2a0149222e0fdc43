// The console in a web page: a terminal widget (xterm.js) that the page
// creates and hands over as Module.terminal before the game starts. The
// widget takes the escape sequences of sequencias.h, which the console
// services put in the output, as a POSIX terminal does.
//
// The game's reads block; the page must not. Built with Asyncify, a read
// that finds nothing typed yet lets the page run until a key, a resize or
// the end of a pause wakes it. Keys arrive as the bytes a terminal sends
// and go through the same key decoder as on POSIX. What the game writes
// between two waits reaches the widget as one write, so a screen is never
// shown half drawn.

#include <emscripten.h>

#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/terminal.h"

// clang-format off
// The widget's input, as UTF-8 bytes, and the state shared with it. Keys
// typed while nothing reads them wait in the queue, as in a terminal's; as
// a terminal's input buffer, it holds so much and no more, so a huge paste
// cannot take the page's memory, and taking a byte costs the same however
// much waits.
EM_JS(void, webIniciar, (), {
    var z = Module.zova = {entrada: [], lidos: 0, saida: [], acordar: null, redesenhar: false};
    var term = Module.terminal;
    var codificador = new TextEncoder();
    var LIMITE_ENTRADA = 65536;
    function receber(bytes) {
        for (var i = 0; i < bytes.length && z.entrada.length - z.lidos < LIMITE_ENTRADA; i++)
            z.entrada.push(bytes[i]);
        if (z.acordar) z.acordar();
    }
    z.tirar = function() {
        if (z.lidos >= z.entrada.length) return -1;
        var byte = z.entrada[z.lidos++];
        if (z.lidos === z.entrada.length) {
            z.entrada = [];
            z.lidos = 0;
        } else if (z.lidos >= 4096) {
            z.entrada = z.entrada.slice(z.lidos);
            z.lidos = 0;
        }
        return byte;
    };
    term.onData(function(texto) { receber(codificador.encode(texto)); });
    term.onBinary(function(texto) {
        var bytes = new Uint8Array(texto.length);
        for (var i = 0; i < texto.length; i++) bytes[i] = texto.charCodeAt(i) & 255;
        receber(bytes);
    });
    term.onResize(function() {
        z.redesenhar = true;
        if (z.acordar) z.acordar();
    });
    z.descarregar = function() {
        if (z.saida.length === 0) return;
        var total = 0;
        for (var i = 0; i < z.saida.length; i++) total += z.saida[i].length;
        var tudo = new Uint8Array(total);
        var p = 0;
        for (var j = 0; j < z.saida.length; j++) {
            tudo.set(z.saida[j], p);
            p += z.saida[j].length;
        }
        z.saida = [];
        term.write(tudo);
    };
});

EM_JS(void, webEscrever, (const char* dados, int tamanho), {
    Module.zova.saida.push(HEAPU8.slice(dados, dados + tamanho));
});

// A byte already typed, or -1: no wait, so no unwinding of the stack.
EM_JS(int, webByteTeclado, (), { return Module.zova.tirar(); });

// Waits for a byte: up to esperaMs, or for as long as it takes when
// esperaMs < 0. SEM_BYTE when none came in time; TECLA_REDESENHAR when the
// widget changed size while the wait was between keys.
EM_ASYNC_JS(int, webEsperarByte, (int esperaMs, int semByte, int redesenhar), {
    var z = Module.zova;
    z.descarregar();
    for (;;) {
        var byte = z.tirar();
        if (byte >= 0) return byte;
        if (esperaMs < 0 && z.redesenhar) {
            z.redesenhar = false;
            return redesenhar;
        }
        var limite = null;
        var venceu = await new Promise(function(pronto) {
            z.acordar = function() { pronto(false); };
            if (esperaMs >= 0) limite = setTimeout(function() { pronto(true); }, esperaMs);
        });
        z.acordar = null;
        if (limite !== null) clearTimeout(limite);
        if (venceu) {
            byte = z.tirar();
            return byte >= 0 ? byte : semByte;
        }
    }
});

// Waits ms; what was left of the wait if the widget changed size first.
EM_ASYNC_JS(int, webPausar, (int ms), {
    var z = Module.zova;
    z.descarregar();
    var fim = performance.now() + ms;
    for (;;) {
        if (z.redesenhar) {
            z.redesenhar = false;
            return Math.max(1, Math.ceil(fim - performance.now()));
        }
        var resta = fim - performance.now();
        if (resta <= 0) return 0;
        await new Promise(function(pronto) {
            var limite = setTimeout(pronto, resta);
            z.acordar = function() {
                // Keys do not shorten a pause: only a resize ends it early.
                if (z.redesenhar) {
                    clearTimeout(limite);
                    pronto();
                }
            };
        });
        z.acordar = null;
    }
});

EM_JS(void, webDescartar, (), {
    Module.zova.entrada = [];
    Module.zova.lidos = 0;
});
EM_JS(int, webColunas, (), { return Module.terminal.cols; });
EM_JS(int, webLinhas, (), { return Module.terminal.rows; });

// The game is over: the last screen goes out, without a cursor since no
// key is read any more, and the page is told, so it can offer a new match.
EM_JS(void, webEncerrar, (), {
    var z = Module.zova;
    z.descarregar();
    z.encerrado = true;
    if (typeof Module.aoTerminar === "function") Module.aoTerminar();
});

// clang-format on

namespace {

LeitorTeclas leitor;
bool iniciado = false;
bool cursorOculto = false;

int lerByteTecla(int esperaMs) {
    int byte = webByteTeclado();
    if (byte >= 0) return byte;
    return webEsperarByte(esperaMs, SEM_BYTE, TECLA_REDESENHAR);
}

}  // namespace

void terminalIniciar() {
    reiniciarLeitor(leitor);
    cursorOculto = false;
    webIniciar();
    iniciado = true;
}

void terminalEncerrar() {
    if (!iniciado) return;
    iniciado = false;
    terminalEscrever(SEQ_OCULTAR_CURSOR, sizeof SEQ_OCULTAR_CURSOR - 1);
    webEncerrar();
}

bool terminalEditaLinhas() { return true; }

// Every line is edited here: there is no other standard input.
int terminalLerEntrada(char*, int) { return 0; }

void terminalEscrever(const char* dados, int tamanho) {
    if (tamanho > 0) webEscrever(dados, tamanho);
}

// The page lives until it is closed: keys can always come.
int terminalLerTecla() { return lerTeclaDeBytes(leitor, lerByteTecla); }

int terminalCaractereDaTecla(char destino[4]) { return caractereDaTecla(leitor, destino); }

int terminalColunas() {
    int colunas = webColunas();
    return colunas > 0 ? colunas : 80;
}

int terminalLinhas() {
    int linhas = webLinhas();
    return linhas > 0 ? linhas : 24;
}

// The widget, like the terminals it copies, waits at the margin.
bool terminalQuebraDeImediato() { return false; }

bool terminalTomaSequencias() { return true; }

bool terminalMostrarCursor(bool mostrar) {
    if (mostrar == !cursorOculto) return false;
    cursorOculto = !mostrar;
    return true;
}

// The widget keeps the colour in force by itself: nothing stops the game
// and gives it to another program meanwhile.
void terminalAplicarCor(int, int) {}

void terminalLimpar() {}

int terminalPausar(int ms) {
    if (ms <= 0) return 0;
    int resta = webPausar(ms);
    if (resta > 0) return resta;
    terminalDescartarTeclas();
    return 0;
}

void terminalDescartarTeclas() {
    webDescartar();
    reiniciarLeitor(leitor);
}

// A tab closed takes the page with it whatever the game does; the page
// itself offers a new match once the last screen is shown.
bool terminalJanelaFechaComOJogo() { return false; }

void terminalConcluir() {}

void terminalLinhasAbaixo(int) {}
