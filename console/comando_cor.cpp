#include "console/comando_cor.h"

#include <cctype>

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
