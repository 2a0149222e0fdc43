#include "console/sequencias.h"

#include <cstring>

#include "console/inteiros.h"

namespace {

// Windows palette order is blue, green, red by bit; ANSI's is red, green, blue.
int corAnsi(int indice) { return ((indice & 4) ? 1 : 0) | (indice & 2) | ((indice & 1) ? 4 : 0); }

}  // namespace

int sequenciaCor(char destino[TAM_SEQUENCIA], int fundo, int texto) {
    memcpy(destino, "\x1b[0;", 4);
    int n = 4;
    n += formatarInteiro(destino + n, fundo == FUNDO_PADRAO ? 49 : (fundo & 8 ? 100 : 40) + corAnsi(fundo & 7));
    destino[n++] = ';';
    n += formatarInteiro(destino + n, (texto & 8 ? 90 : 30) + corAnsi(texto & 7));
    destino[n++] = 'm';
    return n;
}

int sequenciaMover(char destino[TAM_SEQUENCIA], int n, char final) {
    destino[0] = '\x1b';
    destino[1] = '[';
    int tam = 2 + formatarInteiro(destino + 2, n < 0 ? 0 : n);
    destino[tam++] = final;
    return tam;
}

Sequencia lerSequencia(const char* dados, int tamanho) {
    Sequencia s = {tamanho < 2 ? tamanho : 2, 0, 0};
    if (tamanho < 2) return s;
    if (dados[1] != '[') {
        s.final = dados[1];
        return s;
    }
    // Parameters and intermediates, up to the final byte (@ to ~).
    int i = 2;
    bool primeiro = true;
    for (; i < tamanho && !(dados[i] >= 0x40 && dados[i] <= 0x7E); i++) {
        if (dados[i] >= '0' && dados[i] <= '9' && primeiro) {
            if (s.numero < 100000) s.numero = s.numero * 10 + (dados[i] - '0');
        } else {
            primeiro = false;
        }
    }
    if (i < tamanho) {
        s.final = dados[i];
        i++;
    }
    s.tamanho = i;
    return s;
}
