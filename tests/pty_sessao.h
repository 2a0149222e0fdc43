// Runs the real program in a pseudo-terminal and talks to it as a player.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <termios.h>

// forkpty, where this system declares it (found at configure time).
#if defined(ZOVA_COM_UTIL_H)
#include <util.h>
#elif defined(ZOVA_COM_LIBUTIL_H)
#include <libutil.h>
#else
#include <pty.h>
#endif

#include <string>

struct SessaoPty {
    pid_t pid = -1;
    int mestre = -1;
    std::string saida;       // everything the program wrote
    size_t visto = 0;        // how far esperar has looked
    struct rusage uso = {};  // the program's CPU and memory, once it has ended
};

struct OpcoesSessao {
    const char* entrada = nullptr;   // standard input from this file, not the terminal
    const char* saida = nullptr;     // standard output to this file; "" closes it
    bool controleDeTarefas = false;  // run under a small shell that handles Ctrl-Z
    bool shellLeDepois = false;      // and that, as a shell's prompt would, reads what is typed after the game
    bool ignorarHup = false;         // started as nohup does
    bool semTerminalDeControle = false;  // started by setsid: the terminal is its streams, not its controlling one
    const char* preload = nullptr;   // a library to preload into the program
    const char* contagem = nullptr;  // where that library writes its count
    const char* strace = nullptr;    // run under strace, its log here
};

// Written by the small shell when the game has stopped; a line typed then
// continues it, as fg does; "bg" and "kill" do what a shell's do.
extern const char AVISO_PARADO[];
// Written by the small shell after the game ended, with shellLeDepois: what
// it read then follows, up to a closing bracket.
extern const char AVISO_SHELL_LEU[];

// Starts the game in a new 120x45 terminal in line mode with echo.
bool iniciarSessao(SessaoPty& s, const OpcoesSessao& opcoes = OpcoesSessao());

// Reads output until it holds texto after what was already seen.
bool esperar(SessaoPty& s, const std::string& texto, int ms = 10000);

// Waits until the game waits for the player in a line read (its cursor
// shown) or in a key read (its cursor hidden).
bool esperarLeitura(SessaoPty& s, bool deLinha, int ms = 10000);

void digitar(SessaoPty& s, const std::string& teclas);

// Takes what the program wrote, until nothing more comes within ms.
void lerTudo(SessaoPty& s, int ms = 100);

// Gives the terminal a new size, as a resized window does (SIGWINCH).
void redimensionar(SessaoPty& s, int linhas, int colunas);

// Waits until the game (under the job-control shell too) sleeps in read(),
// waiting for the player.
bool esperarBloqueadoEmLeitura(SessaoPty& s, int ms = 10000);

// Waits for the program to end; its wait status, or -1 if it did not end.
int esperarFim(SessaoPty& s, int ms = 20000);

// The terminal's local flags (ECHO, ICANON...) as the program left them.
unsigned modoLocal(const SessaoPty& s);

// Closes the terminal as a closed window does.
void fecharTerminal(SessaoPty& s);

void encerrarSessao(SessaoPty& s);

// A new temporary file holding conteudo; its path.
std::string arquivoTemporario(const std::string& conteudo);
