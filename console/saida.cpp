#include "console/saida.h"

#include <cstring>

#include "console/grafemas.h"
#include "console/sequencias.h"
#include "console/terminal.h"

namespace {

// It holds the current screen from its clearing on; `enviados` says how much
// of it the terminal already has. A screen is sent whole by the read that
// follows it, so the player never sees it drawn in pieces.
const int TAM_SAIDA = 64 * 1024;  // a screen as drawn is under 10 KiB: the judging panel
char saida[TAM_SAIDA];
int tamSaida = 0;
int enviados = 0;

}  // namespace

void iniciarSaida() { tamSaida = enviados = 0; }

void comecarTelaNaSaida() {
    if (enviados == tamSaida) tamSaida = enviados = 0;
}

void acrescentarSaida(const char* dados, int tamanho) {
    if (tamanho <= 0) return;
    if (tamanho > TAM_SAIDA - tamSaida) {
        // A screen past the record's size (a long run of refused answers on
        // one screen): what it holds goes out, and the record starts afresh
        // with this piece, so the end of the screen is still known.
        descarregarSaida();
        tamSaida = enviados = 0;
        if (tamanho > TAM_SAIDA) {  // no piece the game writes is this large; it still never overruns
            terminalEscrever(dados, tamanho);
            return;
        }
    }
    memcpy(saida + tamSaida, dados, static_cast<size_t>(tamanho));
    tamSaida += tamanho;
}

void descarregarSaida() {
    if (tamSaida > enviados) terminalEscrever(saida + enviados, tamSaida - enviados);
    enviados = tamSaida;
}

void reescreverSaida() {
    if (enviados > 0) terminalEscrever(saida, enviados);
}

int colunaDaSaida(int colunas) {
    int inicio = enviados;
    while (inicio > 0 && saida[inicio - 1] != '\n') inicio--;
    int x = 0;
    for (int i = inicio; i < enviados;) {
        int texto = i;
        while (texto < enviados && saida[texto] != 0x1B) texto++;
        x = colunaDepoisDe(saida + i, texto - i, x, colunas);
        i = texto;
        // A control sequence takes no column.
        if (i < enviados) i += lerSequencia(saida + i, enviados - i).tamanho;
    }
    return x == 0 ? 0 : (x - 1) % colunas + 1;
}

void registrarEco(const char* dados, int tamanho) {
    descarregarSaida();
    acrescentarSaida(dados, tamanho);
    enviados = tamSaida;
}

bool saidaEmLinhaNova() { return tamSaida == 0 || saida[tamSaida - 1] == '\n'; }
