#include <ctime>

#include "console/console.h"
#include "jogo/partida.h"

int main() {
    // The one match of the run lives here, on the stack, until the end.
    Partida partida = {};
    iniciarConsole();
    // The letters differ from one match to the next: the clock seeds them.
    jogarPartida(partida, static_cast<unsigned>(time(nullptr)));
    // A window opened for the game alone would take the winner with it.
    // Nobody is left to read it once the input has ended.
    if (janelaFechaComOJogo() && !fimDaEntrada()) {
        escrever("\nPressione ENTER para sair...");
        esperarEnterParaSair();
    }
    encerrarConsole();
    return 0;
}
