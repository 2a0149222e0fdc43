#include "console/console.h"
#include "jogo/partida.h"

int main() {
    // The one match of the run lives here, on the stack, until the end.
    Partida partida = {};
    iniciarConsole();
    jogarPartida(partida);
    // A window opened for the game alone would take the winner with it.
    // Nobody is left to read it once the input has ended.
    if (janelaFechaComOJogo() && !fimDaEntrada()) {
        escrever("\nPressione ENTER para sair...");
        esperarEnterParaSair();
    }
    encerrarConsole();
    return 0;
}
