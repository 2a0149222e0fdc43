#include "console/console.h"
#include "jogo/partida.h"

int main() {
    // The one match of the run lives here, on the stack, until the end.
    Partida partida = {};
    iniciarConsole();
    jogarPartida(partida);
    encerrarConsole();
    return 0;
}
