// The line editor without a terminal: what each key does to the line and
// what it sends, over letters of several bytes and rows that wrap; and lines
// from the editor joining what is pending, as typed lines did before.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "console/console.h"
#include "console/editor_linha.h"
#include "console/teclas.h"
#include "tests/terminal_roteiro.h"

namespace {

EdicaoLinha e;

std::string texto() { return std::string(e.texto, static_cast<size_t>(e.tamanho)); }
std::string quadro() { return std::string(e.quadro, static_cast<size_t>(e.tamQuadro)); }

ResultadoEdicao tecla(int codigo) {
    e.tamQuadro = 0;
    return aplicarTeclaEdicao(e, codigo, 0, nullptr, 0);
}

ResultadoEdicao estendida(int segundo) {
    e.tamQuadro = 0;
    return aplicarTeclaEdicao(e, PREFIXO_ESTENDIDA, segundo, nullptr, 0);
}

void digitar(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        e.tamQuadro = 0;
        if (c < 0x80) {
            aplicarTeclaEdicao(e, c, 0, nullptr, 0);
            i++;
            continue;
        }
        size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        aplicarTeclaEdicao(e, TECLA_NAO_ASCII, 0, bytes.data() + i, static_cast<int>(n));
        i += n;
    }
}

const int BACKSPACE = 127, CTRL_D = 4, CTRL_U = 21;

}  // namespace

TEST(EditorDeLinha, MovimentosEApagamentosPorCaractere) {
    iniciarEdicao(e, 19, 120);
    digitar("Jo\xc3\xa3o");
    EXPECT_EQ(quadro(), "o");  // at the end, a key sends only itself
    estendida(SETA_ESQUERDA);
    estendida(SETA_ESQUERDA);  // over o and the two bytes of ã
    EXPECT_EQ(e.cursor, 2);
    EXPECT_EQ(quadro(), "\r\x1b[21C");
    tecla(BACKSPACE);  // the o before ã
    EXPECT_EQ(texto(), "J\xc3\xa3o");
    estendida(TECLA_DELETE);  // ã, both bytes
    EXPECT_EQ(texto(), "Jo");
    EXPECT_EQ(quadro(), "\r\x1b[20C\x1b[Jo\r\x1b[20C");
    digitar("\xc3\xa7");
    estendida(SETA_DIREITA);
    EXPECT_EQ(texto(), "J\xc3\xa7o");
    EXPECT_EQ(e.cursor, e.tamanho);
    estendida(TECLA_HOME);
    tecla(CTRL_D);  // not empty: deletes under the cursor
    EXPECT_EQ(texto(), "\xc3\xa7o");
    EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
    EXPECT_EQ(quadro(), "\r\x1b[21C\n");  // to the end of the text, then the next row
    tecla(CTRL_U);
    EXPECT_EQ(texto(), "");
    EXPECT_EQ(tecla(CTRL_D), EDICAO_FIM_DA_ENTRADA);
}

TEST(EditorDeLinha, SoEntraOQueApareceComoSiMesmo) {
    iniciarEdicao(e, 0, 80);
    for (int c : {0, 2, 3, 7, 9, 11, 12, 14, 27, 31, TECLA_NAO_ASCII}) tecla(c);
    for (int segundo : {SETA_CIMA, SETA_BAIXO, TECLA_PAGE_UP, TECLA_F1, ESTENDIDA_ALT, ESTENDIDA_DESCONHECIDA}) {
        estendida(segundo);
    }
    e.tamQuadro = 0;
    aplicarTeclaEdicao(e, TECLA_NAO_ASCII, 0, "\xc2\x9b", 2);      // a C1 control, in UTF-8
    aplicarTeclaEdicao(e, TECLA_NAO_ASCII, 0, "\xc0\x80", 2);      // an overlong NUL
    aplicarTeclaEdicao(e, TECLA_NAO_ASCII, 0, "\xed\xa0\x80", 3);  // a surrogate
    EXPECT_EQ(texto(), "");
    EXPECT_EQ(e.tamQuadro, 0);
    digitar("\xe2\x82\xac \xf0\x9f\x99\x82");
    EXPECT_EQ(texto(), "\xe2\x82\xac \xf0\x9f\x99\x82");
}

TEST(EditorDeLinha, LinhaNaoPassaDoLimite) {
    iniciarEdicao(e, 0, 80);
    digitar(std::string(MAX_LINHA - 1, 'a'));
    digitar("\xc3\xa3");  // two bytes where one is left: refused whole
    digitar("bc");
    EXPECT_EQ(e.tamanho, MAX_LINHA);
    EXPECT_EQ(texto(), std::string(MAX_LINHA - 1, 'a') + "b");
}

// A prompt of 33 columns in a window of 40: the text wraps after 7.
TEST(EditorDeLinha, LinhaQueQuebraEmVariasFileiras) {
    iniciarEdicao(e, 33, 40);
    digitar("abcdefg");
    EXPECT_TRUE(e.quebraPendente);
    EXPECT_EQ(e.linhaFisica, 0);
    digitar("h");
    EXPECT_EQ(quadro(), "h");  // the terminal wraps it by itself
    EXPECT_EQ(e.linhaFisica, 1);
    estendida(SETA_ESQUERDA);
    EXPECT_EQ(quadro(), "\r");  // onto h, at the start of row 2
    estendida(SETA_ESQUERDA);
    EXPECT_EQ(quadro(), "\x1b[1A\r\x1b[39C");  // onto g, the last column of row 1
    digitar("X");                              // in the middle: the rest drawn again, the cursor put back on g
    EXPECT_EQ(quadro(),
              "\r\x1b[39C\x1b[J"
              "Xgh\r");
    EXPECT_EQ(texto(), "abcdefXgh");
    estendida(TECLA_END);
    EXPECT_EQ(quadro(), "\r\x1b[2C");
    EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
    EXPECT_EQ(quadro(), "\n");
    // A prompt wider than the window: only the columns of its last row count.
    iniciarEdicao(e, 95, 40);
    EXPECT_EQ(e.colunaInicial, 15);
    // A prompt that fills its row exactly: the text starts on the next.
    iniciarEdicao(e, 80, 40);
    digitar("ab");
    estendida(TECLA_HOME);
    EXPECT_EQ(quadro(), "\r");  // the text's first row is the one after the prompt
}

// A window resized (or fg) draws the whole line again behind the prompt,
// by the new width.
TEST(EditorDeLinha, RedesenhoPelaNovaLargura) {
    iniciarEdicao(e, 10, 80);
    digitar("abcdef");
    estendida(SETA_ESQUERDA);
    e.tamQuadro = 0;
    redesenharEdicao(e, 10, 12);
    EXPECT_EQ(quadro(),
              "\r\x1b[10C\x1b[J"
              "abcdef\r\x1b[3C");
}

// Lines typed at the terminal join what is pending, as a terminal's own
// lines did: the rest of a long one answers the next read without a key.
TEST(EditorDeLinha, LinhaEditadaDeixaORestoPendente) {
    edicaoRoteiro = true;
    std::string teclas = std::string(60, 'c') + "\r" + "x\x1b[D\x1b[3~y\r" + "3 4\r";
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    char linha[50];
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_EQ(std::string(linha), std::string(49, 'c'));
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_EQ(std::string(linha), std::string(11, 'c'));
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_STREQ(linha, "y");
    int a = 0, b = 0;
    EXPECT_TRUE(lerInteiro(a));
    EXPECT_TRUE(lerInteiro(b));
    EXPECT_EQ(a * 10 + b, 34);
    EXPECT_FALSE(lerLinha(linha, 50) && linha[0] != '\0');
    EXPECT_FALSE(lerLinha(linha, 50));  // the keys are over: the end of input
    EXPECT_TRUE(fimDaEntrada());
    edicaoRoteiro = false;
}
