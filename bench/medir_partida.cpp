// Whole-process figures of the real program in a pseudo-terminal: CPU per
// editor redraw (key read included), CPU and peak memory of a scripted
// five-player match, bytes and frames written, and two references measured
// in the same run: the kernel's own terminal work for one frame and one key,
// and one clear done by spawning the system's `clear`.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "console/sequencias.h"
#include "tests/pty_sessao.h"

extern char** environ;

namespace {

const std::string FIM_DO_QUADRO = "    Cor: \r\n";

double cpuUs(const struct rusage& u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 + u.ru_utime.tv_usec + u.ru_stime.tv_usec;
}

std::string notas(int jogadores) {
    std::string s;
    for (int j = 0; j < jogadores; j++) s += "10 5 0 10 10 0\n";
    return s + "\n";
}

struct Resultado {
    double cpuUs;
    long picoKiB;
    size_t bytes;
    size_t quadros;
};

// One key, then wait for the frame it causes: each key is a blocking read
// that wakes, as when a person types.
bool tecla(SessaoPty& s, const std::string& k) {
    digitar(s, k);
    return esperar(s, FIM_DO_QUADRO);
}

// Waits for a player's sheet itself (the judging panel ends in a Cor line
// too): keys typed before the round's pause has ended would be dropped.
bool folha(SessaoPty& s, const std::string& nome) {
    return esperar(s, "JOGADOR: " + nome + "\r\n") && esperar(s, FIM_DO_QUADRO);
}

// The game's own peak memory so far. Its rusage would count the image of
// the forked launcher, which exec does not shed from the figure.
long picoDeMemoriaKiB(const SessaoPty& s) {
    std::ifstream status("/proc/" + std::to_string(s.pid) + "/status");
    std::string linha;
    while (std::getline(status, linha)) {
        if (linha.compare(0, 6, "VmHWM:") == 0) return atol(linha.c_str() + 6);
    }
    return -1;
}

// Two players; Ana presses x `extras` times before F. Lines come from a file,
// so the terminal stays in key mode, and keys come from the terminal.
Resultado partidaDeDois(int extras, const char* strace = nullptr) {
    std::string entrada = arquivoTemporario("2\nAna\nBia\n" + notas(2) + notas(2));
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.entrada = entrada.c_str();
    opcoes.strace = strace;
    iniciarSessao(s, opcoes);
    folha(s, "Ana");
    for (int i = 0; i < extras; i++) {
        if (!tecla(s, "x")) exit(2);
    }
    digitar(s, "F");
    folha(s, "Bia");
    digitar(s, "F");
    folha(s, "Ana");
    digitar(s, "F");
    folha(s, "Bia");
    long pico = picoDeMemoriaKiB(s);
    digitar(s, "F");
    if (esperarFim(s) != 0) exit(3);
    unlink(entrada.c_str());
    size_t quadros = 0;
    const char INICIO_TELA[] = "\x1b[H";
    for (size_t p = s.saida.find(INICIO_TELA); p != std::string::npos; p = s.saida.find(INICIO_TELA, p + 1)) quadros++;
    Resultado r = {cpuUs(s.uso), pico, s.saida.size(), quadros};
    encerrarSessao(s);
    return r;
}

// The line editor: at the first name prompt, `teclas` keys that each change
// the middle of the line (an x put in after Home, then Backspace), so every
// one redraws the rest of the line; Ctrl-D then ends the input.
Resultado edicaoNoMeio(int teclas) {
    SessaoPty s;
    iniciarSessao(s);
    esperar(s, "(2 a 5): ");
    esperarLeitura(s, true);
    digitar(s, "2\r");
    esperar(s, "Nome do jogador 1: ");
    esperarLeitura(s, true);
    digitar(s, "Maria da Concei\xc3\xa7\xc3\xa3o\x1b[H");
    esperar(s, "\xc3\xa3o");
    for (int i = 0; i < teclas; i++) {
        digitar(s, i % 2 ? "\x7f" : "x");
        if (!esperar(s, SEQ_APAGAR_ABAIXO)) exit(5);
    }
    digitar(s, "\r\x04");
    if (esperarFim(s) != 0) exit(6);
    Resultado r = {cpuUs(s.uso), 0, s.saida.size(), 0};
    encerrarSessao(s);
    return r;
}

// Five players, three answers each per round, every sheet judged.
Resultado partidaDeCinco() {
    std::string linhas = "5\nAna\nBia\nCid\nDora\nEli\n";
    for (int rodada = 0; rodada < 2; rodada++) {
        for (int j = 0; j < 5; j++) linhas += "Arara\nAzul\nAbacate\n";
        linhas += notas(5);
    }
    std::string entrada = arquivoTemporario(linhas);
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.entrada = entrada.c_str();
    iniciarSessao(s, opcoes);
    const char* nomes[] = {"Ana", "Bia", "Cid", "Dora", "Eli"};
    long pico = 0;
    for (int vez = 0; vez < 10; vez++) {
        folha(s, nomes[vez % 5]);
        for (const char* k : {"d", "\x1b[B", "s", "d", "\x1b[A", "\x1b[B", "\x1b[B", "d"}) tecla(s, k);
        if (vez == 9) pico = picoDeMemoriaKiB(s);
        digitar(s, "F");
    }
    if (esperarFim(s) != 0) exit(4);
    unlink(entrada.c_str());
    Resultado r = {cpuUs(s.uso), pico, s.saida.size(), 0};
    encerrarSessao(s);
    return r;
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Writes per editor frame, from an strace log of the program: a frame starts
// with the write that clears for the editor and ends at the key read.
struct Escritas {
    int quadros;
    double mediana;
    int maximo;
};

Escritas escritasPorQuadro(const char* log) {
    std::ifstream arquivo(log);
    std::vector<double> porQuadro;
    std::string linha;
    int atual = -1;
    while (std::getline(arquivo, linha)) {
        if (linha.compare(0, 5, "read(") == 0) {
            if (atual > 0) porQuadro.push_back(atual);
            atual = -1;
        } else if (linha.compare(0, 8, "write(1,") == 0) {
            if (linha.find("\\33[H") != std::string::npos) atual = 0;
            if (atual >= 0) atual++;
        }
    }
    Escritas e = {static_cast<int>(porQuadro.size()), 0, 0};
    if (porQuadro.empty()) return e;
    e.mediana = mediana(porQuadro);
    e.maximo = static_cast<int>(*std::max_element(porQuadro.begin(), porQuadro.end()));
    return e;
}

double cpuFilhosUs() {
    struct rusage u;
    getrusage(RUSAGE_CHILDREN, &u);
    return cpuUs(u);
}

// CPU of spawning a program `vezes` times, its output to /dev/null.
double cpuDeProcesso(const char* programa, int vezes) {
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addopen(&acoes, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    setenv("TERM", "xterm-256color", 1);
    double antes = cpuFilhosUs();
    for (int i = 0; i < vezes; i++) {
        pid_t pid;
        char* args[] = {const_cast<char*>(programa), nullptr};
        if (posix_spawnp(&pid, programa, &acoes, nullptr, args, environ) != 0) return -1;
        waitpid(pid, nullptr, 0);
    }
    posix_spawn_file_actions_destroy(&acoes);
    return (cpuFilhosUs() - antes) / vezes;
}

// The kernel's share: a process that reads one byte from a terminal and
// writes one frame back, as the game does for a key, and nothing else.
double cpuDoKernelPorQuadro(size_t bytesQuadro, int vezes) {
    int mestre;
    pid_t pid = forkpty(&mestre, nullptr, nullptr, nullptr);
    if (pid == 0) {
        struct termios modo;
        tcgetattr(STDIN_FILENO, &modo);
        cfmakeraw(&modo);
        modo.c_oflag |= OPOST | ONLCR;
        tcsetattr(STDIN_FILENO, TCSANOW, &modo);
        std::string quadro(bytesQuadro, 'x');
        for (size_t i = 40; i < quadro.size(); i += 41) quadro[i] = '\n';
        if (write(STDOUT_FILENO, "pronto", 6) != 6) _exit(1);
        char c;
        for (int i = 0; i < vezes && read(STDIN_FILENO, &c, 1) == 1; i++) {
            if (write(STDOUT_FILENO, quadro.data(), quadro.size()) < 0) break;
        }
        _exit(0);
    }
    char buffer[65536];
    std::string visto;
    while (visto.find("pronto") == std::string::npos) {
        ssize_t n = read(mestre, buffer, sizeof buffer);
        if (n <= 0) return -1;
        visto.append(buffer, static_cast<size_t>(n));
    }
    for (int i = 0; i < vezes; i++) {
        if (write(mestre, "x", 1) != 1) return -1;
        size_t recebido = 0;
        while (recebido < bytesQuadro) {
            ssize_t n = read(mestre, buffer, sizeof buffer);
            if (n <= 0) return -1;
            recebido += static_cast<size_t>(n);
        }
    }
    struct rusage u;
    int status;
    wait4(pid, &status, 0, &u);
    close(mestre);
    return cpuUs(u) / vezes;
}

}  // namespace

int main(int argc, char** argv) {
    int teclas = argc > 1 ? atoi(argv[1]) : 20000;
    int repeticoes = argc > 2 ? atoi(argv[2]) : 5;

    printf("zova: whole-process figures in a pseudo-terminal (%d extra keys, medians of %d runs)\n\n", teclas,
           repeticoes);
    std::vector<double> porQuadro, kernels;
    Resultado curta = {}, longa = {};
    for (int r = 0; r < repeticoes; r++) {
        curta = partidaDeDois(0);
        longa = partidaDeDois(teclas);
        porQuadro.push_back((longa.cpuUs - curta.cpuUs) / teclas);
    }
    double medianaPorQuadro = mediana(porQuadro);
    double bytesPorQuadro = static_cast<double>(longa.bytes - curta.bytes) / teclas;
    for (int r = 0; r < repeticoes; r++)
        kernels.push_back(cpuDoKernelPorQuadro(static_cast<size_t>(bytesPorQuadro), teclas));
    double kernel = mediana(kernels);
    std::vector<double> porEdicao, kernelsEdicao;
    int teclasEdicao = teclas / 4;
    Resultado edicaoCurta = {}, edicaoLonga = {};
    for (int r = 0; r < repeticoes; r++) {
        edicaoCurta = edicaoNoMeio(0);
        edicaoLonga = edicaoNoMeio(teclasEdicao);
        porEdicao.push_back((edicaoLonga.cpuUs - edicaoCurta.cpuUs) / teclasEdicao);
    }
    double bytesPorEdicao = static_cast<double>(edicaoLonga.bytes - edicaoCurta.bytes) / teclasEdicao;
    for (int r = 0; r < repeticoes; r++)
        kernelsEdicao.push_back(cpuDoKernelPorQuadro(static_cast<size_t>(bytesPorEdicao), teclasEdicao));
    double medianaPorEdicao = mediana(porEdicao);
    double kernelEdicao = mediana(kernelsEdicao);
    double clear = cpuDeProcesso("clear", 200);
    double antes = cpuFilhosUs();
    for (int i = 0; i < 200; i++) {
        if (system("clear > /dev/null") != 0) break;
    }
    double clearShell = (cpuFilhosUs() - antes) / 200;
    double inicio = cpuDeProcesso("true", 200);
    Resultado cinco = partidaDeCinco();
    std::string log = arquivoTemporario("");
    bool comStrace = system("strace -V > /dev/null 2>&1") == 0;
    Escritas escritas = {0, 0, 0};
    if (comStrace) {
        partidaDeDois(200, log.c_str());
        escritas = escritasPorQuadro(log.c_str());
    }
    unlink(log.c_str());

    printf("editor redraw, key read included:   %8.2f us CPU  (%zu vs %zu frames: %.0f vs %.0f us)\n", medianaPorQuadro,
           longa.quadros, curta.quadros, longa.cpuUs, curta.cpuUs);
    printf("bytes per editor frame:             %8.0f\n", bytesPorQuadro);
    if (comStrace) {
        printf("writes per editor frame (strace):   %8.0f median, %d maximum, over %d frames\n", escritas.mediana,
               escritas.maximo, escritas.quadros);
    }
    printf("kernel alone, one key + one frame:  %8.2f us CPU\n", kernel);
    printf("  redraw / kernel alone:            %8.2f x\n", medianaPorQuadro / kernel);
    printf("line editor, an edit mid-line:      %8.2f us CPU, %.0f bytes (%d keys)\n", medianaPorEdicao, bytesPorEdicao,
           teclasEdicao);
    printf("kernel alone, one key + those bytes:%8.2f us CPU\n", kernelEdicao);
    printf("  line redraw / kernel alone:       %8.2f x\n", medianaPorEdicao / kernelEdicao);
    printf("one clear by spawning `clear`:      %8.1f us CPU\n", clear);
    printf("  spawned clear / redraw:           %8.0f x\n", clear / medianaPorQuadro);
    printf("one clear by system(\"clear\"):      %8.1f us CPU\n", clearShell);
    printf("  system(\"clear\") / redraw:         %8.0f x\n", clearShell / medianaPorQuadro);
    printf("starting a process (`true`):        %8.1f us CPU\n", inicio);
    printf("five-player match, 80 keys:         %8.1f us CPU, %.1f us besides a process start\n", cinco.cpuUs,
           cinco.cpuUs - inicio);
    printf("peak memory of the game (VmHWM):    %8ld KiB (five players), %ld KiB (%d keys)\n", cinco.picoKiB,
           longa.picoKiB, teclas);
    return 0;
}
