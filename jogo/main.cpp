#include <cstdio>
#include <ctime>

#include "console/console.h"
#include "jogo/chamar_sala.h"
#include "jogo/linha_de_comando.h"
#include "jogo/partida.h"

namespace {

// What was asked for instead of a match, on the plain standard streams:
// the console is never started for it.
int responderSemPartida(const LinhaDeComando& linha, const char* const argv[]) {
    if (linha.pedido == PEDIDO_RECUSADO) {
        char recusa[TAM_RECUSA];
        montarRecusa(recusa, argv[linha.recusado]);
        fputs(recusa, stderr);
        return linha.status;
    }
    fputs(linha.pedido == PEDIDO_AJUDA ? TEXTO_USO : TEXTO_VERSAO, stdout);
    // A usage or a version that never arrived (a full disk) is not a success.
    if (fflush(stdout) != 0 || ferror(stdout)) return 1;
    return linha.status;
}

}  // namespace

int main(int argc, char* argv[]) {
    LinhaDeComando linha = lerLinhaDeComando(argc, argv);
    if (linha.pedido == PEDIDO_SALA) return chamarSala(argc, argv);
    if (linha.pedido != PEDIDO_PARTIDA) return responderSemPartida(linha, argv);

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
