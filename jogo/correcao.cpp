// Cross judging: every player in turn scores the next player's sheet, with
// all the sheets listed on one panel.

#include "console/console.h"
#include "jogo/partida.h"

namespace {

void desenharPainel(const Partida& partida, int juiz, int avaliado) {
    abrirTela(cores[juiz], "         CORRECAO DAS RESPOSTAS");
    escrever("\n%s (Juiz), voce esta avaliando a lista de: %s (Letra: %c)\n", partida.nomes[juiz],
             partida.nomes[avaliado], partida.letra);

    escrever("\n");
    escreverLinha(LINHA_REGRA_LARGA);
    escreverLinha("         PAINEL GERAL (PARA DAR NOTA)");
    escreverLinha(LINHA_REGRA_LARGA);
    for (int j = 0; j < partida.qtdJogadores; j++) {
        escrever("\n [%s]:\n", partida.nomes[j]);
        for (int l = 0; l < NUM_CATEGORIAS; l++) {
            escrever("    - %s: %s\n", categorias[l], partida.respostas[j][l]);
        }
    }
    escrever("\n");
    escreverLinha(LINHA_REGRA_LARGA);

    escrever(">>> AVALIANDO AGORA AS RESPOSTAS DE: %s <<<\n", partida.nomes[avaliado]);
    escreverLinha("Dica: Atribua notas (ex: 10 para valido/unico, 5 para repetido, 0 para invalido)\n");
}

// One score. Text that is not a number is dropped with the rest of its line
// and the same prompt asked again, on a line of its own; once the input has
// ended, the score is 0.
int lerNota(const Partida& partida, int avaliado, int categoria) {
    for (bool denovo = false;; denovo = true) {
        if (denovo) comecarLinha();
        escrever("  -> %s [%s]: ", categorias[categoria], partida.respostas[avaliado][categoria]);
        int nota = 0;
        if (lerInteiro(nota) || fimDaEntrada()) return nota;
        descartarLinha();
    }
}

}  // namespace

void corrigirRespostas(Partida& partida) {
    for (int juiz = 0; juiz < partida.qtdJogadores; juiz++) {
        int avaliado = (juiz + 1) % partida.qtdJogadores;
        partida.pontosRodada[avaliado] = 0;
        // The scores are this judge's own: nothing typed before the panel counts.
        passarVez(juiz);
        desenharPainel(partida, juiz, avaliado);
        for (int k = 0; k < NUM_CATEGORIAS; k++) {
            int nota = lerNota(partida, avaliado, k);
            partida.pontosRodada[avaliado] = somarPontos(partida.pontosRodada[avaliado], nota);
        }
        consumirCaractere();
        partida.pontosTotal[avaliado] = somarPontos(partida.pontosTotal[avaliado], partida.pontosRodada[avaliado]);
    }
}
