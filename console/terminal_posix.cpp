// The console on a POSIX terminal (Linux, macOS). It takes the escape
// sequences of sequencias.h, which the console services put in the output.
//
// Terminal modes. From start to end the terminal is in key mode: no echo
// and no line editing, so a key read takes one key at once and nothing typed
// shows on the screen unless the game echoes it. Line reads are edited by
// the game's own line editor in that same mode, so no mode changes between
// reads, and what was typed of a line survives Ctrl-Z. The mode set at start
// is given back at the end and on every signal that stops or ends the game.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/terminal.h"

namespace {

// Room for what the console services keep here: a colour and the cursor's
// state, or the line feeds past the rows of a line being typed.
const int MAX_GUARDADO = 8192;

int fdTecla = -1;              // where keys come from; -1 when no terminal
bool teclasDaEntrada = false;  // keys and standard input share the terminal
bool modosGuardados = false;
struct termios modoOriginal;
struct termios modoTecla;
volatile sig_atomic_t emModoTecla = 0;
volatile sig_atomic_t retomado = 0;        // came back from Ctrl-Z: the screen needs redrawing
volatile sig_atomic_t redimensionado = 0;  // the window changed size: likewise
bool terminalPerdido = false;              // a write or a key read failed: nobody is there
bool janelaDoJogo = false;                 // the game leads its terminal's session
volatile sig_atomic_t concluido = 0;       // past the last screen: an interrupt is a normal end
LeitorTeclas leitor;

// Bytes read from the terminal and not yet decoded: one read() takes all
// that a key press sent (an arrow's three bytes), and what belongs to the
// next key stays here for it.
unsigned char bytesTecla[64];
int inicioBytes = 0;
int fimBytes = 0;

// What the console services keep here for the signal handlers: what to
// send when the game comes back from a stop, and what to send when it is
// interrupted. Two copies: the new bytes go into the one no handler reads,
// and only then does it become the one to send, so a signal at any moment
// finds a whole copy, the old or the new.
struct Guardado {
    char dados[2][MAX_GUARDADO];
    int tamanho[2];
    volatile sig_atomic_t atual;
};
Guardado retomada;
Guardado interrupcao;

void guardar(Guardado& g, const char* dados, int tamanho) {
    int livre = 1 - g.atual;
    if (tamanho < 0) tamanho = 0;
    if (tamanho > MAX_GUARDADO) tamanho = MAX_GUARDADO;
    memcpy(g.dados[livre], dados, static_cast<size_t>(tamanho));
    g.tamanho[livre] = tamanho;
    std::atomic_signal_fence(std::memory_order_seq_cst);  // the copy is whole before it is the one sent
    g.atual = livre;
}

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
void enviarGuardado(const Guardado& g) {
    int atual = g.atual;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    escreverDireto(g.dados[atual], static_cast<size_t>(g.tamanho[atual]));
}

// Whether the game holds the terminal. In the background (a stopped job
// that bash's kill or bg continues) every change to it would stop the game
// again with SIGTTOU, before the signal that ends it could; the shell looks
// after the terminal meanwhile. A terminal that is not the game's
// controlling one (started by setsid, or by a su that calls it) has no
// foreground to lose: the game holds it. Safe in a signal handler.
bool emPrimeiroPlano() {
    if (!modosGuardados) return false;
    int errnoSalvo = errno;
    pid_t grupo = tcgetpgrp(fdTecla);
    bool nosso = grupo == getpgrp() || (grupo < 0 && errno == ENOTTY);
    errno = errnoSalvo;
    return nosso;
}

// Safe in a signal handler.
void aplicarModo(bool tecla) {
    if (modosGuardados) tcsetattr(fdTecla, TCSANOW, tecla ? &modoTecla : &modoOriginal);
}

// What the shell must find when the game lets go of the terminal: its own
// modes, its colours and a visible cursor. Safe in a signal handler.
void devolverTerminal() {
    aplicarModo(false);
    escreverDireto(SEQ_CORES_PADRAO, sizeof SEQ_CORES_PADRAO - 1);
    if (modosGuardados) escreverDireto(SEQ_MOSTRAR_CURSOR, sizeof SEQ_MOSTRAR_CURSOR - 1);
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
// the same signal, so the shell sees why the game ended. Once the match is
// over nothing was interrupted: the game ends as it would have.
void aoSinalFatal(int sinal) {
    if (emPrimeiroPlano()) {
        tcflush(fdTecla, TCIFLUSH);  // what was typed and not read is no command for the shell
        devolverTerminal();
        enviarGuardado(interrupcao);
    }
    if (concluido) _exit(0);
    instalar(sinal, SIG_DFL, 0);
    desbloquear(sinal);
    raise(sinal);
}

// Ctrl-Z: the shell gets its terminal back while the game is stopped; on fg
// (SIGCONT) key mode, the colours and the cursor's state return. The waiting
// read itself sees EINTR and redraws the screen outside the handler.
void aoSuspender(int) {
    int errnoSalvo = errno;
    if (emPrimeiroPlano()) devolverTerminal();
    instalar(SIGTSTP, SIG_DFL, 0);
    desbloquear(SIGTSTP);
    raise(SIGTSTP);
    // Stopped here until SIGCONT, whose handler gives the game its terminal back.
    instalar(SIGTSTP, aoSuspender, 0);
    errno = errnoSalvo;
}

// Continued after a stop that was not Ctrl-Z (kill -STOP): the shell may
// have put its own modes back meanwhile. After Ctrl-Z this repeats, harmlessly,
// what aoSuspender has just done. Continued in the background (bg, or the
// SIGCONT after a kill) it leaves the terminal alone: its next read stops it
// (SIGTTIN) until fg continues it again, in the foreground.
void aoContinuar(int) {
    if (!emPrimeiroPlano()) return;  // (which keeps errno)
    int errnoSalvo = errno;
    if (emModoTecla) aplicarModo(true);
    enviarGuardado(retomada);
    retomado = 1;
    errno = errnoSalvo;
}

// The window changed size: the read that waits redraws, outside the handler.
void aoRedimensionar(int) { redimensionado = 1; }

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
    instalarSeNaoIgnorado(SIGWINCH, aoRedimensionar, 0);
    instalarSeNaoIgnorado(SIGCONT, aoContinuar, 0);
}

// Where the game waits, never in a handler: after fg or a resize the
// console services must draw the screen again, with the line being typed.
bool redesenhoPedido() {
    if (!retomado && !redimensionado) return false;
    retomado = redimensionado = 0;
    return true;
}

// One byte of a key, SEM_BYTE when none came within esperaMs, TECLA_FIM when
// the terminal is gone, TECLA_REDESENHAR (between keys) after fg or a
// resize. A read that returns 0 or fails ends the keys for good: retrying it
// would spin for ever on a closed terminal.
int lerByteTecla(int esperaMs) {
    if (inicioBytes < fimBytes) return bytesTecla[inicioBytes++];
    bool entreTeclas = esperaMs < 0;
    if (entreTeclas && redesenhoPedido()) return TECLA_REDESENHAR;
    if (!entreTeclas) {
        // The rest of a key: a signal meanwhile only waits for the next key.
        struct pollfd p = {fdTecla, POLLIN, 0};
        int r;
        while ((r = poll(&p, 1, esperaMs)) < 0 && errno == EINTR) {
        }
        if (r == 0) return SEM_BYTE;
    }
    for (;;) {
        ssize_t n = read(fdTecla, bytesTecla, sizeof bytesTecla);
        if (n > 0) {
            inicioBytes = 1;
            fimBytes = static_cast<int>(n);
            return bytesTecla[0];
        }
        if (n < 0 && errno == EINTR) {  // a signal, not the end
            if (entreTeclas && redesenhoPedido()) return TECLA_REDESENHAR;
            continue;
        }
        terminalPerdido = true;
        return TECLA_FIM;
    }
}

}  // namespace

// Keys pressed while no screen waited for them are dropped: those the
// terminal holds and those read but not yet decoded.
void terminalDescartarTeclas() {
    if (!modosGuardados) return;
    tcflush(fdTecla, TCIFLUSH);
    inicioBytes = fimBytes = 0;
    reiniciarLeitor(leitor);
}

// The game leads the session its terminal belongs to when a terminal
// emulator, tmux or sshd started it directly: the window goes when it ends.
// From a shell, the shell leads the session.
bool terminalJanelaFechaComOJogo() { return janelaDoJogo; }

void terminalConcluir() { concluido = 1; }

void terminalIniciar() {
    reiniciarLeitor(leitor);
    inicioBytes = fimBytes = 0;
    janelaDoJogo = false;
    concluido = 0;
    terminalPerdido = false;
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
    pid_t eu = getpid();
    janelaDoJogo = teclasDaEntrada && isatty(STDOUT_FILENO) && getsid(0) == eu && tcgetsid(fdTecla) == eu;
    modoTecla = modoOriginal;
    // ICANON: a key is read at once, without Enter, and lines are edited by
    // the game. ECHO, ECHONL: typed keys stay off the screen unless the game
    // echoes them. IEXTEN: Ctrl-V and Ctrl-O are keys like others.
    // ISIG stays: Ctrl-C and Ctrl-Z keep working.
    modoTecla.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
    // IXON: Ctrl-S would freeze the output, which looks like a hung game.
    modoTecla.c_iflag &= ~static_cast<tcflag_t>(IXON);
    modoTecla.c_cc[VMIN] = 1;  // a read returns as soon as one byte is there
    modoTecla.c_cc[VTIME] = 0;
    instalarSinais();
    atexit(terminalEncerrar);
    emModoTecla = 1;
    aplicarModo(true);
}

void terminalEncerrar() {
    if (!emModoTecla) return;
    emModoTecla = 0;
    if (!emPrimeiroPlano()) return;
    tcflush(fdTecla, TCIFLUSH);  // what was typed and not read is no command for the shell
    aplicarModo(false);
}

bool terminalEditaLinhas() { return teclasDaEntrada && modosGuardados; }

bool terminalEntradaPodeAcabar() { return true; }

int terminalLerEntrada(char* destino, int tamanho) {
    for (;;) {
        if (terminalPerdido) return 0;  // nobody can see a prompt: as at the end of input
        ssize_t n = read(STDIN_FILENO, destino, static_cast<size_t>(tamanho));
        if (n >= 0) return static_cast<int>(n);
        if (errno != EINTR) return 0;
        if (redesenhoPedido()) return ENTRADA_REDESENHAR;
    }
}

void terminalEscrever(const char* dados, int tamanho) {
    while (tamanho > 0 && !terminalPerdido) {
        ssize_t n = write(STDOUT_FILENO, dados, static_cast<size_t>(tamanho));
        if (n > 0) {
            dados += n;
            tamanho -= static_cast<int>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;  // a redraw it asked for waits for the next read
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            struct pollfd p = {STDOUT_FILENO, POLLOUT, 0};
            if (poll(&p, 1, -1) < 0 && errno != EINTR) terminalPerdido = true;
        } else {
            terminalPerdido = true;  // EIO, EPIPE, ENOSPC, EBADF: the output is gone for good
        }
    }
}

int terminalLerTecla() {
    if (fdTecla < 0 || terminalPerdido) return TECLA_FIM;
    return lerTeclaDeBytes(leitor, lerByteTecla);
}

int terminalCaractereDaTecla(char destino[4]) { return caractereDaTecla(leitor, destino); }

namespace {
// The window's size, or 0 by 0 where no terminal tells it.
struct winsize tamanhoDaJanela() {
    struct winsize tamanho;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &tamanho) == 0 && tamanho.ws_col > 0 && tamanho.ws_row > 0) return tamanho;
    if (fdTecla >= 0 && ioctl(fdTecla, TIOCGWINSZ, &tamanho) == 0 && tamanho.ws_col > 0 && tamanho.ws_row > 0)
        return tamanho;
    memset(&tamanho, 0, sizeof tamanho);
    return tamanho;
}
}  // namespace

int terminalColunas() { return tamanhoDaJanela().ws_col; }

int terminalLinhas() { return tamanhoDaJanela().ws_row; }

// A terminal holds the cursor at the margin until the next character.
bool terminalQuebraDeImediato() { return false; }

bool terminalTomaSequencias() { return true; }

bool terminalFundoPadraoPreto() { return false; }

// Without a terminal the cursor is left alone: the output may be a file.
bool terminalEscondeCursor() { return modosGuardados; }

bool terminalDevolvidoAoFim() { return true; }

// The terminal takes the colours as sequences, in the output.
void terminalAplicarCor(int, int) {}

void terminalLimpar() {}

void terminalGuardarRetomada(const char* dados, int tamanho) { guardar(retomada, dados, tamanho); }

void terminalGuardarInterrupcao(const char* dados, int tamanho) { guardar(interrupcao, dados, tamanho); }

int terminalPausar(int ms) {
    if (terminalPerdido || ms <= 0) return 0;  // nobody to show the screen to
    struct timespec falta = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&falta, &falta) != 0 && errno == EINTR) {
        if (redesenhoPedido()) {
            int resta = static_cast<int>(falta.tv_sec * 1000 + falta.tv_nsec / 1000000);
            return resta > 0 ? resta : 1;
        }
    }
    return 0;
}

// One terminal, passed from hand to hand.
bool terminalTelaPorJogador() { return false; }

void terminalDarVez(int) {}

void terminalNomearJogador(int, const char*) {}
