#include "sala/aleatorio.h"

#include <cstdlib>
#include <cstring>
#if defined(__linux__)
#include <sys/random.h>
#endif

namespace {

bool bytesAleatorios(unsigned char* destino, int tamanho) {
#if defined(__linux__)
    while (tamanho > 0) {
        ssize_t n = getrandom(destino, static_cast<size_t>(tamanho), 0);
        if (n <= 0) return false;
        destino += n;
        tamanho -= static_cast<int>(n);
    }
    return true;
#else
    arc4random_buf(destino, static_cast<size_t>(tamanho));  // macOS and the BSDs
    return true;
#endif
}

}  // namespace

bool hexAleatorio(char* destino, int digitos) {
    unsigned char bytes[64];
    int tamanho = (digitos + 1) / 2;
    if (tamanho > static_cast<int>(sizeof bytes) || !bytesAleatorios(bytes, tamanho)) return false;
    const char HEX[] = "0123456789abcdef";
    for (int i = 0; i < digitos; i++) destino[i] = HEX[(bytes[i / 2] >> (i % 2 ? 0 : 4)) & 0x0F];
    destino[digitos] = '\0';
    return true;
}
