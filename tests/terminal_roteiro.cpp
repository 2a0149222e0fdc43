#include "tests/terminal_roteiro.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "console/teclas.h"
#include "console/terminal.h"

long limiteLeiturasTecla = 0;
bool edicaoRoteiro = false;
int colunasRoteiro = 80;
int linhasRoteiro = 24;
bool quebraDeImediatoRoteiro = false;
bool escondeCursorRoteiro = false;
bool fundoPadraoPretoRoteiro = false;
bool entradaAcabaRoteiro = true;

namespace {

FILE* entrada = nullptr;
const char* teclas = nullptr;
size_t tamTeclas = 0;
size_t posTecla = 0;
const size_t MAX_INTERVALOS = 64;
size_t intervalos[MAX_INTERVALOS];
size_t numIntervalos = 0;
bool intervaloPassado = false;  // the wait before the byte at posTecla has run out
LeitorTeclas leitor;

char saida[TAM_SAIDA_ROTEIRO];
size_t tamSaida = 0;
size_t totalSaida = 0;
int escritas = 0;
int pausas = 0;
long leiturasTecla = 0;
char retomada[64];
int tamRetomada = 0;
int maiorInterrupcao = 0;

bool intervaloAntes(size_t pos) {
    for (size_t i = 0; i < numIntervalos; i++) {
        if (intervalos[i] == pos) return true;
    }
    return false;
}

int lerByteRoteiro(int esperaMs) {
    if (limiteLeiturasTecla > 0 && leiturasTecla >= limiteLeiturasTecla) abort();
    leiturasTecla++;
    if (posTecla >= tamTeclas) return TECLA_FIM;
    if (esperaMs >= 0 && intervaloAntes(posTecla) && !intervaloPassado) {
        intervaloPassado = true;
        return SEM_BYTE;
    }
    intervaloPassado = false;
    return static_cast<unsigned char>(teclas[posTecla++]);
}

// A stream that reads the given bytes and then ends.
FILE* abrirEmMemoria(const char* dados, size_t tamanho) {
#ifdef _WIN32
    char pasta[MAX_PATH], nome[MAX_PATH];
    GetTempPathA(MAX_PATH, pasta);
    GetTempFileNameA(pasta, "zova", 0, nome);
    FILE* f = fopen(nome, "w+bD");  // D: deleted when closed
    if (tamanho > 0) fwrite(dados, 1, tamanho, f);
    rewind(f);
    return f;
#else
    // fmemopen refuses a size of 0: an empty input is a stream read to its end.
    static char vazio[1];
    if (tamanho == 0) {
        FILE* f = fmemopen(vazio, 1, "r");
        fgetc(f);
        return f;
    }
    return fmemopen(const_cast<char*>(dados), tamanho, "r");
#endif
}

}  // namespace

void definirRoteiro(const char* dadosEntrada, size_t tamEntrada, const char* dadosTeclas, size_t tamDadosTeclas,
                    const size_t* listaIntervalos, size_t quantosIntervalos) {
    if (entrada) fclose(entrada);
    entrada = abrirEmMemoria(dadosEntrada, tamEntrada);
    teclas = dadosTeclas;
    tamTeclas = tamDadosTeclas;
    posTecla = 0;
    numIntervalos = quantosIntervalos < MAX_INTERVALOS ? quantosIntervalos : MAX_INTERVALOS;
    for (size_t i = 0; i < numIntervalos; i++) intervalos[i] = listaIntervalos[i];
    intervaloPassado = false;
    tamSaida = totalSaida = 0;
    escritas = pausas = 0;
    leiturasTecla = 0;
    tamRetomada = maiorInterrupcao = 0;
}

const char* saidaRoteiro() { return saida; }
size_t tamSaidaRoteiro() { return tamSaida; }
size_t totalSaidaRoteiro() { return totalSaida; }
int escritasRoteiro() { return escritas; }
const char* retomadaRoteiro() { return retomada; }
int tamRetomadaRoteiro() { return tamRetomada; }
int maiorInterrupcaoRoteiro() { return maiorInterrupcao; }
int pausasRoteiro() { return pausas; }
long leiturasTeclaRoteiro() { return leiturasTecla; }

void terminalIniciar() { reiniciarLeitor(leitor); }
void terminalEncerrar() {}
bool terminalEditaLinhas() { return edicaoRoteiro; }

bool terminalEntradaPodeAcabar() { return entradaAcabaRoteiro; }

int terminalLerEntrada(char* destino, int tamanho) {
    return static_cast<int>(fread(destino, 1, static_cast<size_t>(tamanho), entrada));
}

void terminalEscrever(const char* dados, int tamanho) {
    escritas++;
    totalSaida += static_cast<size_t>(tamanho);
    size_t cabe = TAM_SAIDA_ROTEIRO - tamSaida;
    size_t n = static_cast<size_t>(tamanho) < cabe ? static_cast<size_t>(tamanho) : cabe;
    memcpy(saida + tamSaida, dados, n);
    tamSaida += n;
}

int terminalLerTecla() { return lerTeclaDeBytes(leitor, lerByteRoteiro); }

int terminalCaractereDaTecla(char destino[4]) { return caractereDaTecla(leitor, destino); }

int terminalColunas() { return colunasRoteiro; }

int terminalLinhas() { return linhasRoteiro; }

bool terminalQuebraDeImediato() { return quebraDeImediatoRoteiro; }

// Colours and clears come as a terminal's escape sequences.
bool terminalTomaSequencias() { return true; }

bool terminalFundoPadraoPreto() { return fundoPadraoPretoRoteiro; }

bool terminalEscondeCursor() { return escondeCursorRoteiro; }

bool terminalDevolvidoAoFim() { return true; }

void terminalAplicarCor(int, int) {}

void terminalLimpar() {}

int terminalPausar(int) {
    pausas++;
    return 0;
}

void terminalDescartarTeclas() {}

bool terminalJanelaFechaComOJogo() { return false; }

void terminalConcluir() {}

void terminalGuardarRetomada(const char* dados, int tamanho) {
    tamRetomada = tamanho < static_cast<int>(sizeof retomada) ? tamanho : static_cast<int>(sizeof retomada);
    memcpy(retomada, dados, static_cast<size_t>(tamRetomada));
}

void terminalGuardarInterrupcao(const char* dados, int tamanho) {
    for (int i = 0; i < tamanho; i++)
        if (dados[i] != '\n') abort();  // nothing but line feeds belongs there
    if (tamanho > maiorInterrupcao) maiorInterrupcao = tamanho;
}

// One terminal, passed from hand to hand.
bool terminalTelaPorJogador() { return false; }

void terminalDarVez(int) {}

void terminalNomearJogador(int, const char*) {}
