// Plays a whole match in-process on fuzzed bytes. The first two bytes give
// the length of the standard-input stream; the bytes after it are the key
// stream. Every input must reach the final screen, within a bounded number
// of key reads and with output of bounded size.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/console.h"
#include "jogo/partida.h"
#include "tests/terminal_roteiro.h"

namespace {

const char FIM[] = "          FIM DE JOGO!\n=====================================\n";

// Ten judgings of five sheets are the largest fixed part; every byte of
// input can add at most one redrawn screen or one prompt to it.
size_t limiteDeSaida(size_t tamanho) { return 256 * 1024 + 4096 * tamanho; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho < 2) return 0;
    size_t resto = tamanho - 2;
    size_t tamEntrada = (static_cast<size_t>(dados[0]) << 8 | dados[1]) % (resto + 1);
    const char* entrada = reinterpret_cast<const char*>(dados + 2);
    definirRoteiro(entrada, tamEntrada, entrada + tamEntrada, resto - tamEntrada);
    // Each key byte is read once, plus one wait per sequence cut short.
    limiteLeiturasTecla = static_cast<long>(2 * resto + 100);

    Partida partida = {};
    iniciarConsole();
    jogarPartida(partida);
    encerrarConsole();

    if (totalSaidaRoteiro() > limiteDeSaida(tamanho)) abort();
    size_t n = tamSaidaRoteiro();
    if (n < sizeof FIM - 1 || memcmp(saidaRoteiro() + n - (sizeof FIM - 1), FIM, sizeof FIM - 1) != 0) abort();
    if (partida.qtdJogadores < MIN_JOGADORES || partida.qtdJogadores > MAX_JOGADORES) abort();
    return 0;
}
