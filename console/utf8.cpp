#include "console/utf8.h"

int seguintesUtf8(int inicial) {
    if (inicial >= 0xC2 && inicial <= 0xDF) return 1;
    if (inicial >= 0xE0 && inicial <= 0xEF) return 2;
    if (inicial >= 0xF0 && inicial <= 0xF4) return 3;
    return 0;
}

int tamanhoUtf8(const unsigned char* s) {
    int seguintes = seguintesUtf8(s[0]);
    if (seguintes == 0) return 0;
    // The second byte's range rules out overlong forms, surrogates and
    // code points beyond U+10FFFF.
    unsigned char minimo = 0x80, maximo = 0xBF;
    if (s[0] == 0xE0) minimo = 0xA0;
    if (s[0] == 0xED) maximo = 0x9F;
    if (s[0] == 0xF0) minimo = 0x90;
    if (s[0] == 0xF4) maximo = 0x8F;
    if (s[1] < minimo || s[1] > maximo) return 0;
    for (int i = 2; i <= seguintes; i++) {
        if (s[i] < 0x80 || s[i] > 0xBF) return 0;
    }
    return seguintes + 1;
}

int codificarUtf8(unsigned codigo, char destino[4]) {
    if (codigo < 0x800) {
        destino[0] = static_cast<char>(0xC0 | codigo >> 6);
        destino[1] = static_cast<char>(0x80 | (codigo & 0x3F));
        return 2;
    }
    if (codigo < 0x10000) {
        destino[0] = static_cast<char>(0xE0 | codigo >> 12);
        destino[1] = static_cast<char>(0x80 | (codigo >> 6 & 0x3F));
        destino[2] = static_cast<char>(0x80 | (codigo & 0x3F));
        return 3;
    }
    destino[0] = static_cast<char>(0xF0 | codigo >> 18);
    destino[1] = static_cast<char>(0x80 | (codigo >> 12 & 0x3F));
    destino[2] = static_cast<char>(0x80 | (codigo >> 6 & 0x3F));
    destino[3] = static_cast<char>(0x80 | (codigo & 0x3F));
    return 4;
}
