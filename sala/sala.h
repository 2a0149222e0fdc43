// The room: its server (the page's files and the devices' WebSocket, with
// CivetWeb), the seats, the keys waiting for the turn, and the room's own
// terminal, which shows the link, who joined and whose turn it is. Every
// function here may be called from any thread: one lock keeps the room.
#pragma once

#include "sala/assentos.h"

// Before any seat: the screens of the start, which every device and the
// room's terminal show, and whose keys (the number of players) the room
// types itself.
const int VEZ_DA_SALA = -2;

struct AberturaSala {
    const char* endereco;      // where to listen
    const char* enderecoLink;  // the address in the link
    int porta;
    bool procurarPorta;    // the next free port if porta is taken
    const char* pasta;     // the page's files
    const char* politica;  // the page's Content-Security-Policy
    const char* token;
};

// Starts the server; the port it listens on, or 0 (with why, on stderr).
int abrirSala(const AberturaSala& abertura);

// Tells every device why (MSG_FIM) and stops the server. Safe to call twice.
void fecharSala(const char* motivo);

// The same, on a signal (Ctrl-C): the match is not played on, and no read
// or wait of the game returns again; the caller ends the process.
void fecharSalaPorSinal();

// The link the devices open, once the room is open.
const char* linkDaSala();

// The lobby: waits until the room's terminal presses Enter with 2 to 5
// seats taken (the room's terminal shows the link, its QR code and the
// seats meanwhile), then starts the match. The number of players.
int esperarJogadores();

// The room's own Enter, read from its terminal (in cooked mode) by a
// thread of its own: in the lobby it starts the match; on everyone's
// screens it is a key like a device's; at the end it closes the room.
void iniciarLeituraDaSala();

// Where each screen goes from now on (a seat, VEZ_DE_TODOS_SALA or
// VEZ_DA_SALA); drops the keys waiting; the other devices and the room's
// terminal show whose turn it is.
void darVezNaSala(int vez);
void nomearNaSala(int assento, const char* nome);

// The output, to the devices whose screen it is (and the room's terminal,
// on everyone's screens).
void escreverNaSala(const char* dados, int tamanho);

// A byte of the keys of the turn within esperaMs (no limit when negative):
// SEM_BYTE, TECLA_FIM (the player of the turn has been away too long, or
// the room is closing), or, between keys (esperaMs < 0), TECLA_REDESENHAR
// when a device of the turn needs the screen again (it came back, or its
// widget changed size).
int lerByteDaSala(int esperaMs, int semByte, int redesenhar, int fim);

// Waits up to ms; what was left of it when a device needs the screen again.
int pausarNaSala(int ms);

void descartarTeclasDaSala();

// The narrowest widget of the turn's devices; 0 while none has said.
int colunasDaSala();
int linhasDaSala();

// The match is over: the room's terminal says so and waits for its Enter
// (or Ctrl-C); then the room closes.
void terminarSala();
