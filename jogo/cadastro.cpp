// Registration: the title screen, the number of players, their names.

#include "console/console.h"
#include "jogo/partida.h"

namespace {

// A count that is not a number is refused like one out of range; the rest
// of its line goes, so the same text is not read again for ever. Once the
// input has ended nobody can answer: the smallest match is played.
void lerQuantidade(Partida& partida) {
    if (lerInteiro(partida.qtdJogadores)) return;
    if (fimDaEntrada()) {
        partida.qtdJogadores = MIN_JOGADORES;
        return;
    }
    descartarLinha();
    partida.qtdJogadores = 0;
}

}  // namespace

void cadastrarJogadores(Partida& partida) {
    abrirTela(COR_PARTIDA, "                ZOVA");
    escrever("\nQuantidade de jogadores (2 a 5): ");
    lerQuantidade(partida);
    while (partida.qtdJogadores < MIN_JOGADORES || partida.qtdJogadores > MAX_JOGADORES) {
        escrever("\nQuantidade invalida!");
        escrever("\nDigite uma quantidade entre 2 e 5: ");
        lerQuantidade(partida);
    }
    consumirCaractere();

    abrirTela(COR_CADASTRO, "          CADASTRO DOS JOGADORES");
    for (int i = 0; i < partida.qtdJogadores; i++) {
        // Each player types their own name.
        cederTeclado(i);
        escrever("\nNome do jogador %d: ", i + 1);
        partida.nomes[i][0] = '\0';  // stays empty if the input ends first
        lerLinha(partida.nomes[i], TAM_TEXTO);
        apresentarJogador(i, partida.nomes[i]);
    }
    // The screens up to the first sheet (the start, the letter) are
    // everyone's.
    cederTeclado(VEZ_DE_TODOS);
}
