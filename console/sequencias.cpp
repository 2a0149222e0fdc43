#include "console/sequencias.h"

#include <cstring>

namespace {

// Windows palette order is blue, green, red by bit; ANSI's is red, green, blue.
int corAnsi(int indice) { return ((indice & 4) ? 1 : 0) | (indice & 2) | ((indice & 1) ? 4 : 0); }

int escreverNumero(char* destino, int valor) {
    char digitos[12];
    int n = 0;
    do {
        digitos[n++] = static_cast<char>('0' + valor % 10);
        valor /= 10;
    } while (valor > 0 && n < 10);
    for (int i = 0; i < n; i++) destino[i] = digitos[n - 1 - i];
    return n;
}

}  // namespace

int sequenciaCor(char destino[TAM_SEQUENCIA], int fundo, int texto) {
    memcpy(destino, "\x1b[0;", 4);
    int n = 4;
    n += escreverNumero(destino + n, (fundo & 8 ? 100 : 40) + corAnsi(fundo & 7));
    destino[n++] = ';';
    n += escreverNumero(destino + n, (texto & 8 ? 90 : 30) + corAnsi(texto & 7));
    destino[n++] = 'm';
    return n;
}

int sequenciaMover(char destino[TAM_SEQUENCIA], int n, char final) {
    destino[0] = '\x1b';
    destino[1] = '[';
    int tam = 2 + escreverNumero(destino + 2, n < 0 ? 0 : n);
    destino[tam++] = final;
    return tam;
}
