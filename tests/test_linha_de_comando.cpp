// The command line: which argument vectors play, print the usage or the
// version, or are refused (and which argument is named), and the refusal's
// line as the terminal receives it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jogo/linha_de_comando.h"

namespace {

struct CasoLinha {
    std::vector<const char*> argumentos;  // after the program's name
    PedidoLinha pedido;
    int status;
    int recusado;
};

LinhaDeComando ler(const std::vector<const char*>& argumentos) {
    std::vector<const char*> argv = {"zova"};
    argv.insert(argv.end(), argumentos.begin(), argumentos.end());
    argv.push_back(nullptr);  // as the system gives it
    return lerLinhaDeComando(static_cast<int>(argv.size() - 1), argv.data());
}

std::string recusa(const std::string& argumento) {
    char linha[TAM_RECUSA];
    memset(linha, 'X', sizeof linha);
    montarRecusa(linha, argumento.c_str());
    return linha;
}

const std::string FIM = "\" (use zova --help para ver as opcoes)\n";

TEST(LinhaDeComando, CadaVetorDeArgumentosTemSeuPedido) {
    const CasoLinha casos[] = {
        {{}, PEDIDO_PARTIDA, 0, 0},
        {{"-h"}, PEDIDO_AJUDA, 0, 0},
        {{"--help"}, PEDIDO_AJUDA, 0, 0},
        {{"-V"}, PEDIDO_VERSAO, 0, 0},
        {{"--version"}, PEDIDO_VERSAO, 0, 0},
        // Known ones together: the first decides.
        {{"--help", "-V"}, PEDIDO_AJUDA, 0, 0},
        {{"-V", "--help", "-V"}, PEDIDO_VERSAO, 0, 0},
        // Near misses are refused, never taken for a match.
        {{"--xyz"}, PEDIDO_RECUSADO, 2, 1},
        {{"-v"}, PEDIDO_RECUSADO, 2, 1},
        {{"--Help"}, PEDIDO_RECUSADO, 2, 1},
        {{"-help"}, PEDIDO_RECUSADO, 2, 1},
        {{"--hel"}, PEDIDO_RECUSADO, 2, 1},
        {{"--help="}, PEDIDO_RECUSADO, 2, 1},
        {{"-hV"}, PEDIDO_RECUSADO, 2, 1},
        {{"-h "}, PEDIDO_RECUSADO, 2, 1},
        {{"-"}, PEDIDO_RECUSADO, 2, 1},
        {{"--"}, PEDIDO_RECUSADO, 2, 1},
        {{""}, PEDIDO_RECUSADO, 2, 1},
        {{"jogar"}, PEDIDO_RECUSADO, 2, 1},
        // Every argument is checked, wherever the unknown one stands; the
        // first unknown is the one named.
        {{"--help", "--xyz"}, PEDIDO_RECUSADO, 2, 2},
        {{"-V", "-h", "x", "y"}, PEDIDO_RECUSADO, 2, 3},
        {{"--xyz", "--help"}, PEDIDO_RECUSADO, 2, 1},
    };
    for (const CasoLinha& caso : casos) {
        std::string nome;
        for (const char* a : caso.argumentos) nome += std::string(" [") + a + "]";
        LinhaDeComando linha = ler(caso.argumentos);
        EXPECT_EQ(linha.pedido, caso.pedido) << nome;
        EXPECT_EQ(linha.status, caso.status) << nome;
        EXPECT_EQ(linha.recusado, caso.recusado) << nome;
    }
}

TEST(LinhaDeComando, SemNemONomeDoProgramaJoga) {
    const char* const argv[] = {nullptr};
    LinhaDeComando linha = lerLinhaDeComando(0, argv);
    EXPECT_EQ(linha.pedido, PEDIDO_PARTIDA);
}

TEST(LinhaDeComando, RecusaNomeiaOArgumentoNumaLinhaSemControles) {
    const struct {
        std::string argumento, mostrado;
    } casos[] = {
        {"--xyz", "--xyz"},
        {"", ""},
        {"São João", "São João"},
        {"日本", "日本"},
        // Nothing that would clear, recolour or move: ESC, CSI, newline,
        // carriage return, bell, backspace, DEL.
        {"\x1b[2J\x1b[3J", "?[2J?[3J"},
        {"a\nb\rc\td\ae\bf\x7f", "a?b?c?d?e?f?"},
        // C1 controls, as UTF-8 and as lone 8-bit bytes.
        {"\xc2\x9b"
         "31m",
         "?31m"},
        {"\xc2\x85x\xc2\xa0", "?x\xc2\xa0"},
        {"\x9b"
         "31m",
         "?31m"},
        // Broken UTF-8: a lead byte without its continuation, a stray one.
        {"\xc3", "?"},
        {"\xe2\x82z", "??z"},
        {"\x80\xbf", "??"},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(recusa(caso.argumento), "zova: argumento desconhecido \"" + caso.mostrado + FIM) << caso.argumento;
    }
}

TEST(LinhaDeComando, ArgumentoLongoECortadoSemPartirUmCaractere) {
    const std::string oitenta(80, 'x');
    EXPECT_EQ(recusa(oitenta), "zova: argumento desconhecido \"" + oitenta + FIM);
    EXPECT_EQ(recusa(oitenta + "y"), "zova: argumento desconhecido \"" + oitenta + "..." + FIM);
    EXPECT_EQ(recusa(std::string(100000, 'z')), "zova: argumento desconhecido \"" + std::string(80, 'z') + "..." + FIM);
    // "ã" (2 bytes) and "€" (3) straddling the 80th byte go whole to the cut.
    const std::string setentaENove(79, 'x');
    EXPECT_EQ(recusa(setentaENove + "ãb"), "zova: argumento desconhecido \"" + setentaENove + "..." + FIM);
    const std::string setentaEOito(78, 'x');
    EXPECT_EQ(recusa(setentaEOito + "€b"), "zova: argumento desconhecido \"" + setentaEOito + "..." + FIM);
    EXPECT_EQ(recusa(setentaEOito + "ãb"), "zova: argumento desconhecido \"" + setentaEOito + "ã..." + FIM);
    // Stray continuation bytes: the cut backs up no more than a character's
    // three.
    EXPECT_EQ(recusa(std::string(90, '\x80')), "zova: argumento desconhecido \"" + std::string(77, '?') + "..." + FIM);
}

// The texts go out through the C library as they are, before the console
// converts anything: plain ASCII keeps them readable in every code page, and
// the usage fits an 80-column window.
TEST(LinhaDeComando, UsoEVersaoSaoASCIISimplesEmLinhasCurtas) {
    for (const char* texto : {TEXTO_USO, TEXTO_VERSAO}) {
        std::string s = texto;
        ASSERT_FALSE(s.empty());
        EXPECT_EQ(s.back(), '\n');
        size_t coluna = 0;
        for (unsigned char c : s) {
            EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int>(c);
            coluna = c == '\n' ? 0 : coluna + 1;
            EXPECT_LT(coluna, 80u);
        }
    }
    EXPECT_EQ(std::string(TEXTO_VERSAO).rfind("zova ", 0), 0u);
}

}  // namespace
