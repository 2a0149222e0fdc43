// Runs the real program in a pseudo-terminal and talks to it as a player.
#pragma once

#include <sys/types.h>

#include <string>

struct SessaoPty {
    pid_t pid = -1;
    int mestre = -1;
    std::string saida;  // everything the program wrote
    size_t visto = 0;   // how far esperar has looked
};

// Starts the game in a new 120x45 terminal in line mode with echo. With
// entrada, standard input comes from that file instead of the terminal.
bool iniciarSessao(SessaoPty& s, const char* entrada = nullptr);

// Reads output until it holds texto after what was already seen.
bool esperar(SessaoPty& s, const std::string& texto, int ms = 10000);

// Waits until the terminal is in line mode (a line read waits) or in key mode.
bool esperarModoLinha(SessaoPty& s, bool linha, int ms = 10000);

void digitar(SessaoPty& s, const std::string& teclas);

// Waits for the program to end; its wait status, or -1 if it did not end.
int esperarFim(SessaoPty& s, int ms = 20000);

// The terminal's local flags (ECHO, ICANON...) as the program left them.
unsigned modoLocal(const SessaoPty& s);

// Closes the terminal as a closed window does.
void fecharTerminal(SessaoPty& s);

void encerrarSessao(SessaoPty& s);
