// The match: its limits, its constant tables, the one record every phase
// works on, and the phases in the order the match calls them.
#pragma once

const int MIN_JOGADORES = 2;
const int MAX_JOGADORES = 5;
const int NUM_CATEGORIAS = 6;
const int TAM_TEXTO = 50;  // a name or an answer: at most 49 bytes and the NUL
const int TAM_CATEGORIA = 20;
const int NUM_RODADAS = 2;
const int PAUSA_MS = 1500;

// Category labels in the order they are shown, edited and scored.
extern const char categorias[NUM_CATEGORIAS][TAM_CATEGORIA];

// The colour command of each player's own screens, by player index.
extern const char* const cores[MAX_JOGADORES];

// Fixed colours of the screens that belong to nobody.
extern const char COR_PARTIDA[];    // title, start, round and final screens
extern const char COR_CADASTRO[];   // registration
extern const char COR_RESULTADO[];  // round results

struct Partida {
    int qtdJogadores;
    char nomes[MAX_JOGADORES][TAM_TEXTO];
    char respostas[MAX_JOGADORES][NUM_CATEGORIAS][TAM_TEXTO];
    int pontosRodada[MAX_JOGADORES];
    int pontosTotal[MAX_JOGADORES];
    int rodada;
    char letra;
};

// The whole match, from the seeding of the letter draw to the final screen,
// on a match record it empties first.
void jogarPartida(Partida& partida, unsigned semente);
void jogarRodada(Partida& partida);
char sortearLetra();

// The phases, one file each.
void cadastrarJogadores(Partida& partida);
void preencherRespostas(Partida& partida, int jogador);
void corrigirRespostas(Partida& partida);
void mostrarResultadoRodada(Partida& partida);
void mostrarResultadoFinal(Partida& partida);

// Scores are plain sums, held at the limits of an int instead of overflowing.
int somarPontos(int a, int b);

// The best total; among equal best totals, the player registered first.
int escolherVencedor(const Partida& partida);
