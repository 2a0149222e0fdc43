// The command line, read before the console starts: asking for the usage or
// the version, or mistyping an option, must leave the terminal, its colours
// and its scroll-back as they were.

#include "jogo/linha_de_comando.h"

#include <cstring>

#ifndef ZOVA_VERSAO
#error "ZOVA_VERSAO: the build passes the project's version"
#endif

const char TEXTO_USO[] =
    "Uso: zova [opcao]\n"
    "Jogo de palavras para 2 a 5 pessoas num so terminal.\n"
    "Sem opcao, comeca uma partida.\n"
    "\n"
    "  -h, --help      mostra esta ajuda e sai\n"
    "  -V, --version   mostra a versao e sai\n"
    "      --sala      abre uma sala: cada jogador joga no seu celular\n"
    "                  (zova --sala --help mostra as opcoes da sala)\n";

const char TEXTO_VERSAO[] = "zova " ZOVA_VERSAO "\n";

namespace {

const char INICIO_RECUSA[] = "zova: argumento desconhecido \"";
const char CORTE_RECUSA[] = "...";
const char FIM_RECUSA[] = "\" (use zova --help para ver as opcoes)\n";

// Each byte of the argument gives at most one byte of the line.
static_assert(sizeof INICIO_RECUSA - 1 + MAX_ARGUMENTO_MOSTRADO + sizeof CORTE_RECUSA - 1 + sizeof FIM_RECUSA <=
                  TAM_RECUSA,
              "TAM_RECUSA holds the longest refusal");

PedidoLinha pedidoDoArgumento(const char* argumento) {
    if (strcmp(argumento, "-h") == 0 || strcmp(argumento, "--help") == 0) return PEDIDO_AJUDA;
    if (strcmp(argumento, "-V") == 0 || strcmp(argumento, "--version") == 0) return PEDIDO_VERSAO;
    return PEDIDO_RECUSADO;
}

bool continuacao(unsigned char c) { return (c & 0xC0) == 0x80; }

// The bytes of the UTF-8 character this byte starts; 0 where none starts.
int bytesDoCaractere(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

char* acrescentar(char* fim, const char* texto) {
    size_t n = strlen(texto);
    memcpy(fim, texto, n);
    return fim + n;
}

}  // namespace

LinhaDeComando lerLinhaDeComando(int argc, const char* const argv[]) {
    LinhaDeComando linha = {PEDIDO_PARTIDA, 0, 0};
    if (argc > 1 && strcmp(argv[1], "--sala") == 0) return {PEDIDO_SALA, 0, 0};
    for (int i = 1; i < argc; i++) {
        PedidoLinha pedido = pedidoDoArgumento(argv[i]);
        if (pedido == PEDIDO_RECUSADO) return {PEDIDO_RECUSADO, STATUS_USO_ERRADO, i};
        if (linha.pedido == PEDIDO_PARTIDA) linha.pedido = pedido;
    }
    return linha;
}

void montarRecusa(char destino[TAM_RECUSA], const char* argumento) {
    // Measured only as far as it is shown: an argument can be as long as
    // the system allows.
    int tamanho = 0;
    while (tamanho <= MAX_ARGUMENTO_MOSTRADO && argumento[tamanho] != '\0') tamanho++;
    int mostrado = tamanho;
    if (tamanho > MAX_ARGUMENTO_MOSTRADO) {
        mostrado = MAX_ARGUMENTO_MOSTRADO;
        // Back to the start of the character under the cut (at most three
        // continuation bytes, however malformed the argument).
        for (int k = 0; k < 3 && mostrado > 0 && continuacao(argumento[mostrado]); k++) mostrado--;
    }

    char* fim = acrescentar(destino, INICIO_RECUSA);
    for (int i = 0; i < mostrado;) {
        unsigned char c = argumento[i];
        int n = bytesDoCaractere(c);
        bool inteiro = n > 0 && i + n <= mostrado;
        for (int k = 1; inteiro && k < n; k++) inteiro = continuacao(argumento[i + k]);
        // Shown as '?': C0 controls and DEL, C1 controls (U+0080 to U+009F),
        // and any byte outside a whole UTF-8 character, which takes in the
        // lone 0x80 to 0x9F an 8-bit terminal would obey.
        bool controle =
            c < 0x20 || c == 0x7F || (c == 0xC2 && inteiro && static_cast<unsigned char>(argumento[i + 1]) < 0xA0);
        if (!inteiro || controle) {
            *fim++ = '?';
            i += inteiro ? n : 1;
            continue;
        }
        memcpy(fim, argumento + i, n);
        fim += n;
        i += n;
    }
    if (mostrado < tamanho) fim = acrescentar(fim, CORTE_RECUSA);
    fim = acrescentar(fim, FIM_RECUSA);
    *fim = '\0';
}
