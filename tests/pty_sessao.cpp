#include "tests/pty_sessao.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

long long agoraMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Takes what the program wrote within ms; false once the terminal is closed.
bool ler(SessaoPty& s, int ms) {
    struct pollfd p = {s.mestre, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return true;
    char buffer[4096];
    ssize_t n = read(s.mestre, buffer, sizeof buffer);
    if (n <= 0) return false;
    s.saida.append(buffer, static_cast<size_t>(n));
    return true;
}

}  // namespace

const char AVISO_PARADO[] = "[zova parado]";
const char AVISO_SHELL_LEU[] = "[o shell leu: ";

namespace {

// The shell's turn once the game has ended: whatever the terminal still
// holds would be its next command.
void lerComoOShell() {
    tcsetpgrp(STDIN_FILENO, getpgrp());
    struct termios modo;
    tcgetattr(STDIN_FILENO, &modo);
    modo.c_lflag &= ~static_cast<tcflag_t>(ICANON);
    modo.c_cc[VMIN] = 0;
    modo.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &modo);
    char lido[512];
    ssize_t n = 0;
    struct pollfd p = {STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 300) > 0) n = read(STDIN_FILENO, lido, sizeof lido);
    dprintf(STDOUT_FILENO, "\n%s%.*s]\n", AVISO_SHELL_LEU, static_cast<int>(n > 0 ? n : 0), lido);
}

void executarJogo(const OpcoesSessao& opcoes) {
    if (opcoes.entrada) {
        int fd = open(opcoes.entrada, O_RDONLY);
        dup2(fd, STDIN_FILENO);
        close(fd);
    }
    if (opcoes.saida && *opcoes.saida) {
        int fd = open(opcoes.saida, O_WRONLY);
        dup2(fd, STDOUT_FILENO);
        close(fd);
    } else if (opcoes.saida) {
        close(STDOUT_FILENO);
    }
    if (opcoes.ignorarHup) signal(SIGHUP, SIG_IGN);
    if (opcoes.semTerminalDeControle) {
        // forkpty made this process the terminal's session leader: the game
        // starts a session of its own, one process below.
        pid_t jogo = fork();
        if (jogo > 0) {
            int status = 0;
            waitpid(jogo, &status, 0);
            _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        }
        setsid();
    }
    if (opcoes.preload) setenv("LD_PRELOAD", opcoes.preload, 1);
    if (opcoes.contagem) setenv("CONTAGEM_ALOCACOES", opcoes.contagem, 1);
    setenv("TERM", "xterm-256color", 1);
    if (opcoes.strace) {
        execlp("strace", "strace", "-e", "trace=read,write", "-e", "signal=none", "-s", "32", "-o", opcoes.strace,
               ZOVA_EXECUTAVEL, static_cast<char*>(nullptr));
    }
    execl(ZOVA_EXECUTAVEL, "zova", static_cast<char*>(nullptr));
    _exit(127);
}

// The least of a job-control shell: the game runs in its own foreground
// process group; when it stops, the shell takes the terminal back, says so,
// and on a line typed gives the terminal back and continues the game (fg);
// on "bg" continues it in the background, and on "kill" sends it SIGTERM
// and SIGCONT there. It ends as the game ends.
[[noreturn]] void shellDeTarefas(const OpcoesSessao& opcoes) {
    signal(SIGTTOU, SIG_IGN);
    pid_t jogo = fork();
    if (jogo == 0) {
        setpgid(0, 0);
        tcsetpgrp(STDIN_FILENO, getpid());
        signal(SIGTTOU, SIG_DFL);
        executarJogo(opcoes);
    }
    setpgid(jogo, jogo);
    tcsetpgrp(STDIN_FILENO, jogo);
    for (;;) {
        int status;
        if (waitpid(jogo, &status, WUNTRACED) != jogo) _exit(126);
        if (WIFSTOPPED(status)) {
            tcsetpgrp(STDIN_FILENO, getpgrp());
            dprintf(STDOUT_FILENO, "\n%s\n", AVISO_PARADO);
            char linha[16];
            size_t n = 0;
            for (char c; read(STDIN_FILENO, &c, 1) == 1 && c != '\n';) {
                if (n < sizeof linha - 1) linha[n++] = c;
            }
            linha[n] = '\0';
            if (strcmp(linha, "kill") == 0) {
                // As a shell's kill does to a stopped job: it stays in the
                // background, and is continued so that it can die.
                kill(-jogo, SIGTERM);
                kill(-jogo, SIGCONT);
                continue;
            }
            if (strcmp(linha, "bg") != 0) tcsetpgrp(STDIN_FILENO, jogo);
            kill(-jogo, SIGCONT);
            continue;
        }
        if (opcoes.shellLeDepois) lerComoOShell();
        if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
        signal(WTERMSIG(status), SIG_DFL);
        kill(getpid(), WTERMSIG(status));
        _exit(125);
    }
}

}  // namespace

bool iniciarSessao(SessaoPty& s, const OpcoesSessao& opcoes) {
    struct termios modo;
    memset(&modo, 0, sizeof modo);
    modo.c_cc[VINTR] = 3;
    modo.c_cc[VQUIT] = 28;
    modo.c_cc[VERASE] = 127;
    modo.c_cc[VKILL] = 21;
    modo.c_cc[VEOF] = 4;
    modo.c_cc[VSUSP] = 26;
    modo.c_cc[VSTART] = 17;
    modo.c_cc[VSTOP] = 19;
    modo.c_cc[VMIN] = 1;
    modo.c_iflag = ICRNL | IXON;
    modo.c_oflag = OPOST | ONLCR;
    modo.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHOCTL | IEXTEN;
    modo.c_cflag |= CS8 | CREAD;
    cfsetispeed(&modo, B38400);
    cfsetospeed(&modo, B38400);
    struct winsize tamanho = {45, 120, 0, 0};
    s.pid = forkpty(&s.mestre, nullptr, &modo, &tamanho);
    if (s.pid < 0) return false;
    if (s.pid == 0) {
        if (opcoes.controleDeTarefas) shellDeTarefas(opcoes);
        executarJogo(opcoes);
    }
    return true;
}

bool esperar(SessaoPty& s, const std::string& texto, int ms) {
    long long limite = agoraMs() + ms;
    for (;;) {
        size_t achado = s.saida.find(texto, s.visto);
        if (achado != std::string::npos) {
            s.visto = achado + texto.size();
            return true;
        }
        long long falta = limite - agoraMs();
        if (falta <= 0 || !ler(s, static_cast<int>(falta < 50 ? falta : 50))) return false;
    }
}

namespace {

// The game's process: the session's own, or the child of the small shell.
pid_t pidDoJogo(const SessaoPty& s) {
    std::ifstream filhos("/proc/" + std::to_string(s.pid) + "/task/" + std::to_string(s.pid) + "/children");
    pid_t filho = 0;
    if (filhos >> filho && filho > 0) return filho;
    return s.pid;
}

bool bloqueadoEmLeitura(const SessaoPty& s) {
    std::ifstream chamada("/proc/" + std::to_string(pidDoJogo(s)) + "/syscall");
    long numero = -1;
    return chamada >> numero && numero == SYS_read;
}

}  // namespace

bool esperarBloqueadoEmLeitura(SessaoPty& s, int ms) {
    long long limite = agoraMs() + ms;
    while (agoraMs() < limite) {
        if (bloqueadoEmLeitura(s)) return true;
        if (!ler(s, 5)) return false;
    }
    return false;
}

bool esperarLeitura(SessaoPty& s, bool deLinha, int ms) {
    long long limite = agoraMs() + ms;
    while (agoraMs() < limite) {
        size_t mostrado = s.saida.rfind("\x1b[?25h");
        size_t oculto = s.saida.rfind("\x1b[?25l");
        bool cursorVisivel = oculto == std::string::npos || (mostrado != std::string::npos && mostrado > oculto);
        if (cursorVisivel == deLinha && bloqueadoEmLeitura(s)) return true;
        if (!ler(s, 5)) return false;
    }
    return false;
}

void lerTudo(SessaoPty& s, int ms) {
    for (;;) {
        size_t antes = s.saida.size();
        if (!ler(s, ms) || s.saida.size() == antes) return;
    }
}

void digitar(SessaoPty& s, const std::string& teclas) {
    size_t feito = 0;
    while (feito < teclas.size()) {
        ssize_t n = write(s.mestre, teclas.data() + feito, teclas.size() - feito);
        if (n <= 0) return;
        feito += static_cast<size_t>(n);
    }
}

void redimensionar(SessaoPty& s, int linhas, int colunas) {
    struct winsize tamanho = {static_cast<unsigned short>(linhas), static_cast<unsigned short>(colunas), 0, 0};
    ioctl(s.mestre, TIOCSWINSZ, &tamanho);
}

int esperarFim(SessaoPty& s, int ms) {
    long long limite = agoraMs() + ms;
    for (;;) {
        int status;
        if (wait4(s.pid, &status, WNOHANG, &s.uso) == s.pid) {
            while (s.mestre >= 0 && ler(s, 0) && s.saida.size() < (1u << 24)) {
                struct pollfd p = {s.mestre, POLLIN, 0};
                if (poll(&p, 1, 0) <= 0) break;
            }
            s.pid = -1;
            return status;
        }
        if (agoraMs() > limite) return -1;
        if (s.mestre < 0 || !ler(s, 20)) usleep(20000);
    }
}

unsigned modoLocal(const SessaoPty& s) {
    struct termios modo;
    if (tcgetattr(s.mestre, &modo) != 0) return 0;
    return static_cast<unsigned>(modo.c_lflag);
}

void fecharTerminal(SessaoPty& s) {
    close(s.mestre);
    s.mestre = -1;
}

void encerrarSessao(SessaoPty& s) {
    if (s.pid > 0) {
        kill(s.pid, SIGKILL);
        waitpid(s.pid, nullptr, 0);
        s.pid = -1;
    }
    if (s.mestre >= 0) close(s.mestre);
    s.mestre = -1;
}

std::string arquivoTemporario(const std::string& conteudo) {
    char nome[] = "/tmp/zova-XXXXXX";
    int fd = mkstemp(nome);
    if (fd < 0) return "";
    ssize_t n = write(fd, conteudo.data(), conteudo.size());
    close(fd);
    return n == static_cast<ssize_t>(conteudo.size()) ? nome : "";
}
