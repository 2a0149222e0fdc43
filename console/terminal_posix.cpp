// The console on a POSIX terminal (Linux, macOS).
//
// Escape sequences this program sends, all of them:
//   ESC [ 0 ; bg ; fg m   reset attributes, then background (40-47, 100-107
//                         bright) and text colour (30-37, 90-97 bright)
//   ESC [ H               cursor to the top left corner
//   ESC [ 2 J             erase the screen, in the current background colour
//   ESC [ 3 J             erase the scroll-back, so no earlier screen can be
//                         scrolled back to by the next player
//   ESC [ 0 m             back to the terminal's own colours, when the game
//                         is interrupted or suspended
//
// Terminal modes. While the game runs, the terminal rests in key mode: no
// echo and no line editing, so a key read takes one key at once and nothing
// typed outside a line read shows on the screen. Line and number reads
// switch to line mode (the terminal's own editing and echo) for as long as
// they wait. Modes change with TCSANOW, which keeps typed-ahead input.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "console/console.h"
#include "console/saida.h"
#include "console/teclas.h"
#include "console/terminal.h"

namespace {

enum Modo { MODO_ORIGINAL, MODO_TECLA, MODO_LINHA };

int fdTecla = -1;              // where keys come from; -1 when no terminal
bool teclasDaEntrada = false;  // keys and standard input share the terminal
bool modosGuardados = false;
struct termios modoOriginal;
struct termios modoTecla;
struct termios modoLinha;
volatile sig_atomic_t modoAtual = MODO_ORIGINAL;
volatile sig_atomic_t retomado = 0;  // came back from Ctrl-Z: the screen needs redrawing
bool terminalPerdido = false;        // a write or a key read failed: nobody is there
LeitorTeclas leitor;

// Standard input stays buffered by stdio, in a buffer of our own so that no
// allocation happens on the first read.
char bufferEntrada[4096];

// The colour in force, kept so that it can be put back after Ctrl-Z.
char sgrAtual[32];
volatile sig_atomic_t tamSgrAtual = 0;

const char SGR_PADRAO[] = "\x1b[0m";

// Safe in a signal handler.
void escreverDireto(const char* dados, size_t tamanho) {
    while (tamanho > 0) {
        ssize_t n = write(STDOUT_FILENO, dados, tamanho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        dados += n;
        tamanho -= static_cast<size_t>(n);
    }
}

// Safe in a signal handler.
void aplicarModo(int modo) {
    if (!modosGuardados) return;
    const struct termios* t = &modoOriginal;
    if (modo == MODO_TECLA) t = &modoTecla;
    if (modo == MODO_LINHA) t = &modoLinha;
    tcsetattr(fdTecla, TCSANOW, t);
}

void mudarModo(int modo) {
    if (!modosGuardados || modoAtual == modo) return;
    modoAtual = modo;
    aplicarModo(modo);
}

void desbloquear(int sinal) {
    sigset_t conjunto;
    sigemptyset(&conjunto);
    sigaddset(&conjunto, sinal);
    sigprocmask(SIG_UNBLOCK, &conjunto, nullptr);
}

void instalar(int sinal, void (*tratador)(int), int flags) {
    struct sigaction acao;
    memset(&acao, 0, sizeof acao);
    acao.sa_handler = tratador;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = flags;
    sigaction(sinal, &acao, nullptr);
}

// Ctrl-C, kill, or the window closed: give the terminal back, then die of
// the same signal, so the shell sees why the game ended.
void aoSinalFatal(int sinal) {
    aplicarModo(MODO_ORIGINAL);
    escreverDireto(SGR_PADRAO, sizeof SGR_PADRAO - 1);
    escreverDireto("\n", 1);
    instalar(sinal, SIG_DFL, 0);
    desbloquear(sinal);
    raise(sinal);
}

// Ctrl-Z: the shell gets its terminal back while the game is stopped; on fg
// the mode that the waiting read needs and the colours return. The read
// itself sees EINTR and redraws the screen outside the handler.
void aoSuspender(int) {
    int errnoSalvo = errno;
    aplicarModo(MODO_ORIGINAL);
    escreverDireto(SGR_PADRAO, sizeof SGR_PADRAO - 1);
    instalar(SIGTSTP, SIG_DFL, 0);
    desbloquear(SIGTSTP);
    raise(SIGTSTP);
    // Stopped here until SIGCONT.
    instalar(SIGTSTP, aoSuspender, 0);
    aplicarModo(modoAtual);
    escreverDireto(sgrAtual, static_cast<size_t>(tamSgrAtual));
    retomado = 1;
    errno = errnoSalvo;
}

// A signal ignored when the game started stays ignored: under nohup the
// window may close and the match still runs to its end.
void instalarSeNaoIgnorado(int sinal, void (*tratador)(int), int flags) {
    struct sigaction atual;
    if (sigaction(sinal, nullptr, &atual) == 0 && atual.sa_handler == SIG_IGN) return;
    instalar(sinal, tratador, flags);
}

void instalarSinais() {
    instalarSeNaoIgnorado(SIGINT, aoSinalFatal, SA_RESTART);
    instalarSeNaoIgnorado(SIGTERM, aoSinalFatal, SA_RESTART);
    instalarSeNaoIgnorado(SIGHUP, aoSinalFatal, SA_RESTART);
    instalarSeNaoIgnorado(SIGQUIT, aoSinalFatal, SA_RESTART);
    // Without SA_RESTART: the interrupted read returns, and redraws.
    instalarSeNaoIgnorado(SIGTSTP, aoSuspender, 0);
}

void aoRetomar() {
    if (!retomado) return;
    retomado = 0;
    reescreverTela();
}

// One byte of a key, SEM_BYTE when none came within esperaMs, BYTE_FIM when
// the terminal is gone. A read that returns 0 or fails ends the keys for
// good: retrying it would spin for ever on a closed terminal.
int lerByteTecla(int esperaMs) {
    if (esperaMs >= 0) {
        struct pollfd p = {fdTecla, POLLIN, 0};
        int r;
        do {
            r = poll(&p, 1, esperaMs);
        } while (r < 0 && errno == EINTR);
        if (r == 0) return SEM_BYTE;
    }
    for (;;) {
        unsigned char byte;
        ssize_t n = read(fdTecla, &byte, 1);
        if (n == 1) return byte;
        if (n < 0 && errno == EINTR) {  // a signal, not the end: wait again
            aoRetomar();
            continue;
        }
        terminalPerdido = true;
        return BYTE_FIM;
    }
}

// Windows palette order is blue, green, red by bit; ANSI's is red, green, blue.
int corAnsi(int indice) { return ((indice & 4) ? 1 : 0) | (indice & 2) | ((indice & 1) ? 4 : 0); }

int escreverNumero(char* destino, int valor) {
    int n = 0;
    if (valor >= 100) destino[n++] = static_cast<char>('0' + valor / 100);
    if (valor >= 10) destino[n++] = static_cast<char>('0' + valor / 10 % 10);
    destino[n++] = static_cast<char>('0' + valor % 10);
    return n;
}

}  // namespace

void terminalIniciar() {
    setvbuf(stdin, bufferEntrada, _IOFBF, sizeof bufferEntrada);
    reiniciarLeitor(leitor);
    // A player's pipe closing must not kill the game with the terminal in key mode.
    signal(SIGPIPE, SIG_IGN);
    // Keys come from the terminal even when standard input is redirected,
    // as a console key read does.
    if (isatty(STDIN_FILENO)) {
        fdTecla = STDIN_FILENO;
        teclasDaEntrada = true;
    } else {
        fdTecla = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    if (fdTecla < 0 || tcgetattr(fdTecla, &modoOriginal) != 0) return;
    modosGuardados = true;
    modoTecla = modoOriginal;
    // ICANON: a key is read at once, without Enter. ECHO, ECHONL: typed keys
    // stay off the screen. IEXTEN: Ctrl-V and Ctrl-O are keys like others.
    // ISIG stays: Ctrl-C and Ctrl-Z keep working.
    modoTecla.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
    // IXON: Ctrl-S would freeze the output, which looks like a hung game.
    modoTecla.c_iflag &= ~static_cast<tcflag_t>(IXON);
    modoTecla.c_cc[VMIN] = 1;  // a read returns as soon as one byte is there
    modoTecla.c_cc[VTIME] = 0;
    modoLinha = modoOriginal;
    modoLinha.c_lflag |= ICANON | ECHO;
    instalarSinais();
    atexit(terminalEncerrar);
    mudarModo(MODO_TECLA);
}

void terminalEncerrar() { mudarModo(MODO_ORIGINAL); }

FILE* terminalEntrada() { return stdin; }

void terminalEscrever(const char* dados, int tamanho) {
    while (tamanho > 0 && !terminalPerdido) {
        ssize_t n = write(STDOUT_FILENO, dados, static_cast<size_t>(tamanho));
        if (n > 0) {
            dados += n;
            tamanho -= static_cast<int>(n);
        } else if (n < 0 && errno == EINTR) {
            aoRetomar();
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            struct pollfd p = {STDOUT_FILENO, POLLOUT, 0};
            if (poll(&p, 1, -1) < 0 && errno != EINTR) terminalPerdido = true;
        } else {
            terminalPerdido = true;
        }
    }
}

int terminalLerTecla() {
    if (fdTecla < 0 || terminalPerdido) return TECLA_FIM;
    int codigo = lerTeclaDeBytes(leitor, lerByteTecla);
    return codigo == BYTE_FIM ? TECLA_FIM : codigo;
}

void terminalModoLinha() {
    if (teclasDaEntrada) mudarModo(MODO_LINHA);
}

void terminalModoTecla() { mudarModo(MODO_TECLA); }

void terminalAplicarCor(int fundo, int texto) {
    char sgr[32];
    int n = 0;
    memcpy(sgr, "\x1b[0;", 4);
    n = 4;
    n += escreverNumero(sgr + n, (fundo & 8 ? 100 : 40) + corAnsi(fundo));
    sgr[n++] = ';';
    n += escreverNumero(sgr + n, (texto & 8 ? 90 : 30) + corAnsi(texto));
    sgr[n++] = 'm';
    tamSgrAtual = 0;
    memcpy(sgrAtual, sgr, static_cast<size_t>(n));
    tamSgrAtual = n;
    acrescentarSaida(sgr, n);
}

void terminalLimpar() {
    static const char LIMPAR[] = "\x1b[H\x1b[2J\x1b[3J";
    acrescentarSaida(LIMPAR, sizeof LIMPAR - 1);
}

void terminalPausar(int ms) {
    if (terminalPerdido || ms <= 0) return;  // nobody to show the screen to
    struct timespec falta = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&falta, &falta) != 0 && errno == EINTR) aoRetomar();
}

// Terminals here speak UTF-8, as the players' names with accents need.
bool terminalEmUtf8() { return true; }
