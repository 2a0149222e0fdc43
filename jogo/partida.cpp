#include "jogo/partida.h"

#include <climits>
#include <cstdlib>

#include "console/console.h"

const char categorias[NUM_CATEGORIAS][TAM_CATEGORIA] = {"Nome", "CEP", "Objeto", "Marca", "Animal", "Cor"};

const char* const cores[MAX_JOGADORES] = {"color D", "color B", "color A", "color E", "color C"};

const char COR_PARTIDA[] = "color D";
const char COR_CADASTRO[] = "color 0F";
const char COR_RESULTADO[] = "color E";

char sortearLetra() { return static_cast<char>('A' + rand() % 26); }

int somarPontos(int a, int b) {
    if (b > 0 && a > INT_MAX - b) return INT_MAX;
    if (b < 0 && a < INT_MIN - b) return INT_MIN;
    return a + b;
}

void jogarRodada(Partida& partida) {
    abrirTela(COR_PARTIDA, "              RODADA %d\n", partida.rodada);
    partida.letra = sortearLetra();
    escrever("\nA letra sorteada foi: %c\n", partida.letra);
    pausar(PAUSA_MS);

    for (int jogador = 0; jogador < partida.qtdJogadores; jogador++) {
        preencherRespostas(partida, jogador);
    }
    corrigirRespostas(partida);
    mostrarResultadoRodada(partida);
}

void jogarPartida(Partida& partida, unsigned semente) {
    // Every total starts at zero; each sheet empties its own answers when
    // its turn begins.
    partida = Partida{};
    srand(semente);

    cadastrarJogadores(partida);

    abrirTela(COR_PARTIDA, "         JOGO INICIANDO...");
    pausar(PAUSA_MS);

    for (partida.rodada = 1; partida.rodada <= NUM_RODADAS; partida.rodada++) {
        jogarRodada(partida);
    }

    mostrarResultadoFinal(partida);
}
