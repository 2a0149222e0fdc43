#include "console/sequencias.h"

#include <cctype>
#include <cstring>

namespace {

// Windows palette order is blue, green, red by bit; ANSI's is red, green, blue.
int corAnsi(int indice) { return ((indice & 4) ? 1 : 0) | (indice & 2) | ((indice & 1) ? 4 : 0); }

}  // namespace

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

bool interpretarCor(const char* comando, int& fundo, int& texto) {
    const char* nome = "color";
    for (int i = 0; nome[i]; i++) {
        if (tolower(static_cast<unsigned char>(comando[i])) != nome[i]) return false;
    }
    const char* p = comando + 5;
    if (*p != ' ') return false;
    while (*p == ' ') p++;
    int digitos[2];
    int n = 0;
    while (n < 2 && isxdigit(static_cast<unsigned char>(*p))) {
        int c = tolower(static_cast<unsigned char>(*p++));
        digitos[n++] = c <= '9' ? c - '0' : c - 'a' + 10;
    }
    while (*p == ' ') p++;
    if (n == 0 || *p != '\0') return false;
    fundo = n == 2 ? digitos[0] : 0;
    texto = n == 2 ? digitos[1] : digitos[0];
    // As the console's own command, the same colour for both is refused.
    return fundo != texto;
}

int sequenciaCor(char destino[TAM_SEQUENCIA], int fundo, int texto) {
    memcpy(destino, "\x1b[0;", 4);
    int n = 4;
    n += formatarInteiro(destino + n, (fundo & 8 ? 100 : 40) + corAnsi(fundo & 7));
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
