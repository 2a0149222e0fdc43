// In-process costs: decoding keys, and the editor's redraw on the scripted
// console (building the frame, no terminal), per key.

#include <benchmark/benchmark.h>

#include <string>

#include "console/console.h"
#include "console/teclas.h"
#include "jogo/partida.h"
#include "tests/terminal_roteiro.h"

namespace {

std::string fluxo;
size_t posicao;

int fonteMemoria(int) {
    if (posicao >= fluxo.size()) return TECLA_FIM;
    return static_cast<unsigned char>(fluxo[posicao++]);
}

// A mix of what players press: letters, both arrow forms, Enter, a left
// arrow with a modifier and an accented letter.
void BM_DecodificarTecla(benchmark::State& estado) {
    std::string mistura =
        "ws\x1b[A\x1b[BdD\r\x1bOA\x1b[1;5D\xc3\xa9"
        "f";
    const int teclasPorMistura = 11;  // w s up down d D Enter up ctrl-left é f
    fluxo.clear();
    for (int i = 0; i < 1000; i++) fluxo += mistura;
    LeitorTeclas leitor;
    for (auto _ : estado) {
        posicao = 0;
        reiniciarLeitor(leitor);
        int codigos = 0;
        while (lerTeclaDeBytes(leitor, fonteMemoria) != TECLA_FIM) codigos++;
        benchmark::DoNotOptimize(codigos);
    }
    estado.SetItemsProcessed(estado.iterations() * 1000 * teclasPorMistura);
}
BENCHMARK(BM_DecodificarTecla);

// A two-player match in which Ana presses x n times: with n large, the time
// per item is the redraw of one editor frame.
void BM_RedesenhoDoEditor(benchmark::State& estado) {
    static std::string entrada = "2\nAna\nBia\n0 0 0 0 0 0\n0 0 0 0 0 0\n\n0 0 0 0 0 0\n0 0 0 0 0 0\n\n";
    static std::string teclas;
    teclas = std::string(static_cast<size_t>(estado.range(0)), 'x') + "FFFF";
    for (auto _ : estado) {
        definirRoteiro(entrada.data(), entrada.size(), teclas.data(), teclas.size());
        Partida partida = {};
        iniciarConsole();
        jogarPartida(partida, 1);
        encerrarConsole();
        benchmark::DoNotOptimize(partida);
    }
    estado.SetItemsProcessed(estado.iterations() * estado.range(0));
}
BENCHMARK(BM_RedesenhoDoEditor)->Arg(0)->Arg(20000);

}  // namespace

BENCHMARK_MAIN();
