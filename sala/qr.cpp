#include "sala/qr.h"

#include <qrencode.h>

#include <cstring>

namespace {

// Modules of light around the code: a camera finds its edges by them.
const int MARGEM = 2;

// Black on bright white, whatever colours the terminal has.
const char INICIO_LINHA[] = "\x1b[30;107m";
const char FIM_LINHA[] = "\x1b[0m\n";
// Upper half, lower half, both, none: (top dark) + 2 * (bottom dark).
const char* const BLOCOS[4] = {" ", "\xe2\x96\x80", "\xe2\x96\x84", "\xe2\x96\x88"};

bool escuro(const QRcode* qr, int x, int y) {
    if (x < 0 || y < 0 || x >= qr->width || y >= qr->width) return false;
    return qr->data[y * qr->width + x] & 1;
}

bool acrescentar(char* destino, int tamanho, int& n, const char* texto) {
    int t = static_cast<int>(strlen(texto));
    if (n + t >= tamanho) return false;
    memcpy(destino + n, texto, static_cast<size_t>(t));
    n += t;
    return true;
}

}  // namespace

int desenharQr(const char* texto, char* destino, int tamanho) {
    QRcode* qr = QRcode_encodeString(texto, 0, QR_ECLEVEL_L, QR_MODE_8, 1);
    if (!qr) return 0;
    int n = 0;
    bool coube = true;
    for (int y = -MARGEM; coube && y < qr->width + MARGEM; y += 2) {
        coube = acrescentar(destino, tamanho, n, INICIO_LINHA);
        for (int x = -MARGEM; coube && x < qr->width + MARGEM; x++) {
            int bloco = (escuro(qr, x, y) ? 1 : 0) + (escuro(qr, x, y + 1) ? 2 : 0);
            coube = acrescentar(destino, tamanho, n, BLOCOS[bloco]);
        }
        coube = coube && acrescentar(destino, tamanho, n, FIM_LINHA);
    }
    QRcode_free(qr);
    if (!coube) return 0;
    destino[n] = '\0';
    return n;
}
