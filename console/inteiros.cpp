#include "console/inteiros.h"

int formatarInteiro(char* destino, int valor) {
    char digitos[10];
    int n = 0;
    // Work on the negative side: it holds every int, INT_MIN included.
    int v = valor < 0 ? valor : -valor;
    do {
        digitos[n++] = static_cast<char>('0' - v % 10);
        v /= 10;
    } while (v != 0);
    int tam = 0;
    if (valor < 0) destino[tam++] = '-';
    while (n > 0) destino[tam++] = digitos[--n];
    return tam;
}
