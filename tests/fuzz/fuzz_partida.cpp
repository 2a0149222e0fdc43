// Plays a whole match in-process on fuzzed bytes. The first two bytes give
// the length of the standard-input stream (and, by the lowest bit of the
// first, whether lines are typed into the line editor instead, at a width
// the third byte sets); the bytes after it are the key stream. Every input
// must reach the final screen, within a bounded number of key reads and
// with output of bounded size; no byte of player text may reach the output
// as a control.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/utf8.h"
#include "jogo/partida.h"
#include "tests/terminal_roteiro.h"

namespace {

const char FIM[] = "          FIM DE JOGO!\n=====================================\n";

// Ten judgings of five sheets are the largest fixed part; every byte of
// input can add at most one redrawn screen or one prompt to it.
size_t limiteDeSaida(size_t tamanho) { return 256 * 1024 + 4096 * tamanho; }

// Whether an escape sequence is one the game sends: colours (ESC [ 0 m,
// ESC [ 0 ; bg ; fg m), a screen drawn over the last (ESC [ 2 H, ESC [ J,
// ESC [ 3 J, ESC [ H, ESC [ K), the line editor's moves (ESC [ n A,
// ESC [ n C, ESC [ J) and the cursor hidden or shown (ESC [ ? 25 l/h). Not
// ESC [ 2 J or any other that merely looks like them: player text that went
// out raw is caught by what it says, not only by its first byte.
bool sequenciaDoJogo(const std::string& parametros, char final) {
    auto numero = [](const std::string& p, int minimo, int maximo) {
        if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos) return false;
        int n = atoi(p.c_str());
        return n >= minimo && n <= maximo;
    };
    switch (final) {
    case 'm': {
        if (parametros == "0") return true;
        size_t ponto = parametros.find(';', 2);
        if (parametros.compare(0, 2, "0;") != 0 || ponto == std::string::npos) return false;
        std::string fundo = parametros.substr(2, ponto - 2), texto = parametros.substr(ponto + 1);
        return (numero(fundo, 40, 47) || numero(fundo, 100, 107)) && (numero(texto, 30, 37) || numero(texto, 90, 97));
    }
    case 'H': return parametros.empty() || parametros == "2";
    case 'J': return parametros.empty() || parametros == "3";
    case 'K': return parametros.empty();
    case 'A':
    case 'C': return numero(parametros, 0, 99999);
    case 'l':
    case 'h': return parametros == "?25";
    default: return false;
    }
}

// The only controls the output may hold are newlines, the line editor's CR
// and bell, and the game's own sequences. Anything else is player text that
// went out raw. C1 controls count, raw or in UTF-8.
bool soControlesDoJogo(const unsigned char* s, size_t n) {
    for (size_t i = 0; i < n; i++) {
        unsigned char c = s[i];
        if (c == '\n' || c == '\r' || c == '\a') continue;
        if (c == 0x1B) {
            size_t j = i + 1;
            if (j >= n || s[j] != '[') return false;
            size_t inicio = ++j;
            while (j < n && j - inicio < 16 && ((s[j] >= '0' && s[j] <= '9') || s[j] == ';' || s[j] == '?')) j++;
            if (j >= n) return false;
            std::string parametros(reinterpret_cast<const char*>(s + inicio), j - inicio);
            if (!sequenciaDoJogo(parametros, static_cast<char>(s[j]))) return false;
            i = j;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return false;
        if (c < 0x80) continue;
        unsigned char car[4] = {c, 0, 0, 0};
        for (size_t k = 1; k < 4 && i + k < n; k++) car[k] = s[i + k];
        int tam = tamanhoUtf8(car);
        if (tam == 0 && c <= 0x9F) return false;                   // a raw C1 control
        if (tam == 2 && c == 0xC2 && car[1] < 0xA0) return false;  // one in UTF-8
        if (tam > 0) i += static_cast<size_t>(tam - 1);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho < 2) return 0;
    size_t resto = tamanho - 2;
    size_t tamEntrada = (static_cast<size_t>(dados[0] >> 1) << 8 | dados[1]) % (resto + 1);
    edicaoRoteiro = (dados[0] & 1) != 0;
    colunasRoteiro = tamanho > 2 ? 10 + dados[2] % 120 : 80;
    const char* entrada = reinterpret_cast<const char*>(dados + 2);
    definirRoteiro(entrada, tamEntrada, entrada + tamEntrada, resto - tamEntrada);
    // Each key byte is read once, plus one wait per sequence cut short.
    limiteLeiturasTecla = static_cast<long>(2 * resto + 100);

    Partida partida = {};
    iniciarConsole();
    jogarPartida(partida, 1);
    encerrarConsole();

    if (totalSaidaRoteiro() > limiteDeSaida(tamanho)) abort();
    size_t n = tamSaidaRoteiro();
    if (n < sizeof FIM - 1 || memcmp(saidaRoteiro() + n - (sizeof FIM - 1), FIM, sizeof FIM - 1) != 0) abort();
    if (partida.qtdJogadores < MIN_JOGADORES || partida.qtdJogadores > MAX_JOGADORES) abort();
    if (!soControlesDoJogo(reinterpret_cast<const unsigned char*>(saidaRoteiro()), n)) abort();
    return 0;
}
