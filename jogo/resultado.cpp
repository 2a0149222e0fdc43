// The scores: the round results with the board, and the final results
// with the winner.

#include "console/console.h"
#include "jogo/partida.h"

int escolherVencedor(const Partida& partida) {
    int vencedor = 0;
    int maiorPontuacao = partida.pontosTotal[0];
    for (int i = 1; i < partida.qtdJogadores; i++) {
        // Strictly greater: a tie goes to the player registered first.
        if (partida.pontosTotal[i] > maiorPontuacao) {
            maiorPontuacao = partida.pontosTotal[i];
            vencedor = i;
        }
    }
    return vencedor;
}

void mostrarResultadoRodada(Partida& partida) {
    // Everyone reads the scores before an Enter moves on.
    passarVez(VEZ_DE_TODOS);
    abrirTela(COR_RESULTADO, "         RESULTADO DA RODADA %d\n", partida.rodada);
    for (int i = 0; i < partida.qtdJogadores; i++) {
        escrever("\n%s fez %d pontos nesta rodada", partida.nomes[i], partida.pontosRodada[i]);
    }
    escreverLinha("\n\n----------- PLACAR GERAL -----------");
    for (int i = 0; i < partida.qtdJogadores; i++) {
        escrever("\n%s: %d pontos no total", partida.nomes[i], partida.pontosTotal[i]);
    }
    escrever("\n\nPressione ENTER para iniciar a proxima rodada...");
    consumirCaractere();
}

void mostrarResultadoFinal(Partida& partida) {
    passarVez(VEZ_DE_TODOS);
    abrirTela(COR_PARTIDA, "            RESULTADO FINAL");
    for (int i = 0; i < partida.qtdJogadores; i++) {
        escrever("\n%s: %d pontos", partida.nomes[i], partida.pontosTotal[i]);
    }
    escrever("\n\nVENCEDOR: %s!", partida.nomes[escolherVencedor(partida)]);
    escrever("\n\n");
    escreverLinha(LINHA_REGRA);
    escreverLinha("          FIM DE JOGO!");
    escreverLinha(LINHA_REGRA);
}
