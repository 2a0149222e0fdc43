// The console in a room: each player's screen and keys are their own device
// (a phone's browser, connected to the room's server: sala/sala.h); the
// room's own terminal shows the screens that are everyone's. Keys arrive as
// the bytes the device's terminal widget sends and go through the same key
// decoder as on POSIX; only the keys of the device whose turn it is reach a
// read.

#include "console/teclas.h"
#include "console/terminal.h"
#include "sala/sala.h"

namespace {

LeitorTeclas leitor;
bool iniciado = false;

int lerByteTecla(int esperaMs) { return lerByteDaSala(esperaMs, SEM_BYTE, TECLA_REDESENHAR, TECLA_FIM); }

}  // namespace

void terminalIniciar() {
    reiniciarLeitor(leitor);
    iniciado = true;
}

// The last screen stays on every device until the room closes.
void terminalEncerrar() {
    if (!iniciado) return;
    iniciado = false;
    terminarSala();
}

bool terminalEditaLinhas() { return true; }

// A device's input never ends by a key: a phone's keyboard may send Ctrl-D
// by mistake, and a player away is ended by the room, for their turn only.
bool terminalEntradaPodeAcabar() { return false; }

int terminalLerEntrada(char*, int) { return 0; }

void terminalEscrever(const char* dados, int tamanho) {
    if (tamanho > 0) escreverNaSala(dados, tamanho);
}

int terminalLerTecla() { return lerTeclaDeBytes(leitor, lerByteTecla); }

int terminalCaractereDaTecla(char destino[4]) { return caractereDaTecla(leitor, destino); }

int terminalColunas() { return colunasDaSala(); }

int terminalLinhas() { return linhasDaSala(); }

bool terminalQuebraDeImediato() { return false; }

bool terminalTomaSequencias() { return true; }

// The game's screens show on the room's own terminal too, whose colours
// are the player's.
bool terminalFundoPadraoPreto() { return false; }

bool terminalEscondeCursor() { return true; }

// The last screen stays on the devices, with nothing more to type there.
bool terminalDevolvidoAoFim() { return false; }

void terminalAplicarCor(int, int) {}

void terminalLimpar() {}

// The room's terminal stays in its own mode, line by line: nothing to put
// back after a stop, and an interrupt closes the room (sala/principal.cpp).
void terminalGuardarRetomada(const char*, int) {}

void terminalGuardarInterrupcao(const char*, int) {}

int terminalPausar(int ms) {
    if (ms <= 0) return 0;
    return pausarNaSala(ms);
}

void terminalDescartarTeclas() {
    descartarTeclasDaSala();
    reiniciarLeitor(leitor);
}

bool terminalJanelaFechaComOJogo() { return false; }

void terminalConcluir() {}

bool terminalTelaPorJogador() { return true; }

void terminalDarVez(int vez) {
    darVezNaSala(vez < 0 ? VEZ_DE_TODOS_SALA : vez);
    reiniciarLeitor(leitor);
}

void terminalNomearJogador(int jogador, const char* nome) { nomearNaSala(jogador, nome); }
