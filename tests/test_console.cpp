// Console services on the scripted console: line and number reads with
// their leftovers, colour commands, and what player text becomes on screen.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "console/comando_cor.h"
#include "console/console.h"
#include "console/editor_linha.h"
#include "console/saida.h"
#include "console/sequencias.h"
#include "tests/terminal_roteiro.h"

namespace {

std::string entrada;

void comEntrada(const std::string& texto) {
    entrada = texto;
    definirRoteiro(entrada.data(), entrada.size(), "", 0);
    iniciarConsole();
}

std::string linha(bool* leu = nullptr) {
    char buffer[50];
    strcpy(buffer, "intocado");
    bool ok = lerLinha(buffer, 50);
    if (leu) *leu = ok;
    return buffer;
}

std::string escrito() {
    descarregarSaida();
    return std::string(saidaRoteiro(), tamSaidaRoteiro());
}

}  // namespace

TEST(Console, TirarEnterSoONewlineFinal) {
    char vazio[4] = "";
    tirarEnter(vazio);
    EXPECT_STREQ(vazio, "");
    char tres[8] = "abc\n";
    tirarEnter(tres);
    EXPECT_STREQ(tres, "abc");
    char semNewline[8] = "abc";
    tirarEnter(semNewline);
    EXPECT_STREQ(semNewline, "abc");
    char dois[8] = "a\r\n\n";
    tirarEnter(dois);
    EXPECT_STREQ(dois, "a\r\n");
}

TEST(Console, LerLinhaLinhasLongasDeixamORestoParaALeituraSeguinte) {
    std::string l48(48, 'a'), l49(49, 'b'), l60(60, 'c');
    comEntrada(l48 + "\n" + l49 + "\n" + l60 + "\n");
    EXPECT_EQ(linha(), l48);
    EXPECT_EQ(linha(), l49);
    EXPECT_EQ(linha(), "");  // only the newline of the 49 was left
    EXPECT_EQ(linha(), std::string(49, 'c'));
    EXPECT_EQ(linha(), std::string(11, 'c'));
}

TEST(Console, LerLinhaCaractereDeVariosBytesNuncaECortado) {
    // 48 bytes, then a two-byte letter that would end at byte 50: it waits.
    std::string inicio(48, 'x');
    comEntrada(inicio + "\xc3\xa3o\n");
    EXPECT_EQ(linha(), inicio);
    EXPECT_EQ(linha(), "\xc3\xa3o");
    // Nor is what the player sees as one: an e whose accent comes after it,
    // an emoji whose skin tone would pass byte 49.
    comEntrada(inicio + "e\xcc\x81u\n" + std::string(45, 'x') + "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd\n");
    EXPECT_EQ(linha(), inicio);
    EXPECT_EQ(linha(), "e\xcc\x81u");
    EXPECT_EQ(linha(), std::string(45, 'x'));
    EXPECT_EQ(linha(), "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd");
    // One that ends exactly at byte 49 stays.
    comEntrada(std::string(47, 'y') + "\xc3\xa3\n");
    EXPECT_EQ(linha(), std::string(47, 'y') + "\xc3\xa3");
    EXPECT_EQ(linha(), "");
}

TEST(Console, LerLinhaFimDaEntrada) {
    comEntrada("sem newline");
    bool leu = false;
    EXPECT_EQ(linha(&leu), "sem newline");
    EXPECT_TRUE(leu);
    EXPECT_EQ(linha(&leu), "intocado");
    EXPECT_FALSE(leu);
    EXPECT_TRUE(fimDaEntrada());
    EXPECT_EQ(linha(&leu), "intocado");  // and stays ended
}

TEST(Console, LerInteiroNumerosSinaisEBrancos) {
    comEntrada("  42\n\n -7 +5 3x");
    int n = 0;
    EXPECT_TRUE(lerInteiro(n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(lerInteiro(n));
    EXPECT_EQ(n, -7);
    EXPECT_TRUE(lerInteiro(n));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(lerInteiro(n));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(linha(), "x");  // what follows a number stays pending
}

TEST(Console, LerInteiroLetrasNaoSaoNumeroEFicamPendentes) {
    comEntrada("abc\n- 4\n");
    int n = 99;
    EXPECT_FALSE(lerInteiro(n));
    EXPECT_EQ(n, 99);
    EXPECT_FALSE(fimDaEntrada());
    EXPECT_EQ(linha(), "abc");
    EXPECT_FALSE(lerInteiro(n));  // a sign alone is taken, the rest stays
    EXPECT_EQ(linha(), " 4");
    EXPECT_FALSE(lerInteiro(n));
    EXPECT_TRUE(fimDaEntrada());
    EXPECT_EQ(n, 99);
}

TEST(Console, LerInteiroForaDaFaixaFicaNoLimite) {
    comEntrada("2147483647 2147483648 99999999999999999999 -2147483648 -2147483649 -99999999999999999999 7");
    int esperados[] = {INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MIN, 7};
    for (int esperado : esperados) {
        int n = 0;
        EXPECT_TRUE(lerInteiro(n));
        EXPECT_EQ(n, esperado);
    }
}

TEST(Console, LerInteiroConsumirEDescartar) {
    comEntrada("3 x\nresto da linha\nproxima\n");
    int n;
    ASSERT_TRUE(lerInteiro(n));
    consumirCaractere();
    EXPECT_EQ(linha(), "x");
    descartarLinha();
    EXPECT_EQ(linha(), "proxima");
}

TEST(Sequencias, ComandoDeCorComUmOuDoisDigitos) {
    int fundo = -1, texto = -1;
    EXPECT_TRUE(interpretarCor("color D", fundo, texto));
    EXPECT_EQ(fundo, 0);
    EXPECT_EQ(texto, 13);
    EXPECT_TRUE(interpretarCor("color 0F", fundo, texto));
    EXPECT_EQ(fundo, 0);
    EXPECT_EQ(texto, 15);
    EXPECT_TRUE(interpretarCor("COLOR 1e", fundo, texto));
    EXPECT_EQ(fundo, 1);
    EXPECT_EQ(texto, 14);
    for (const char* invalido :
         {"color", "color ", "color G", "color 123", "colour D", "colorD", "color 00", "color 77"}) {
        EXPECT_FALSE(interpretarCor(invalido, fundo, texto)) << invalido;
    }
}

TEST(Console, TelaCabecalhoAplicaACorAntesDeLimpar) {
    comEntrada("");
    abrirTela("color D", "  TITULO");
    abrirTela("color 0F", "  RODADA %d\n", 2);
    aplicarCor("color nada");
    EXPECT_EQ(escrito(), std::string("\x1b[0;40;95m") + SEQ_INICIO_TELA + LINHA_REGRA + "\n  TITULO\n" + LINHA_REGRA +
                             "\n" + "\x1b[0;40;97m" + SEQ_INICIO_TELA + LINHA_REGRA + "\n  RODADA 2\n" + LINHA_REGRA +
                             "\n");
    // Erased from the second row down, then the top row: never from the top
    // left corner, which some terminals copy into a scroll-back of their own.
    EXPECT_STREQ(SEQ_INICIO_TELA, "\x1b[2H\x1b[J\x1b[3J\x1b[H\x1b[K");
}

// Where the terminal's own background is the console's black (a page's
// widget), black goes as that background; any other stays as it is, and so
// does black everywhere else.
TEST(Console, TelaFundoPretoComoOFundoDoTerminalOndeEleEPreto) {
    fundoPadraoPretoRoteiro = true;
    comEntrada("");
    abrirTela("color D", "T");
    aplicarCor("color 1F");
    aplicarCor("color 8E");
    fundoPadraoPretoRoteiro = false;
    aplicarCor("color 0F");
    EXPECT_EQ(escrito(), std::string("\x1b[0;49;95m") + SEQ_INICIO_TELA + LINHA_REGRA + "\nT\n" + LINHA_REGRA + "\n" +
                             "\x1b[0;44;97m" + "\x1b[0;100;93m" + "\x1b[0;40;97m");
}

TEST(Console, TelaTextoDoJogadorNuncaViraControle) {
    comEntrada("");
    escrever("[%s|%s|%s|%s|%s|%c|%d|%d]", "a\x1b[2Jb", "del\x7f", "Jo\xc3\xa3o Concei\xc3\xa7\xc3\xa3o",
             "c1\xc2\x9b"
             "x",
             "solto\x9b\xe9", '\x07', INT_MIN, -0);
    EXPECT_EQ(escrito(), "[a^[[2Jb|del^?|Jo\xc3\xa3o Concei\xc3\xa7\xc3\xa3o|c1M-^[x|soltoM-^[\xe9|^G|-2147483648|0]");
}

TEST(Console, TelaUmaTelaEUmaEscrita) {
    comEntrada("5\n");
    abrirTela("color D", "TITULO");
    escrever("\nQuantidade: ");
    int n;
    lerInteiro(n);
    EXPECT_EQ(escritasRoteiro(), 1);
}

// What a backend keeps for the moments the console services cannot act:
// after fg, the colour in force and the cursor hidden where the sheet hid
// it; on Ctrl-C, a line feed per row down to the end of the line being
// typed, plus one. A terminal that tells no size is taken as 80 by 24.
TEST(Console, RetomadaEInterrupcaoGuardadasNoTerminal) {
    escondeCursorRoteiro = true;
    colunasRoteiro = linhasRoteiro = 0;
    edicaoRoteiro = true;
    // 100 letters: two rows at 80 columns; Home takes the cursor to the first.
    const std::string teclas = "w" + std::string(100, 'x') + "\x1b[H\rs";
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    abrirTela("color 1F", "T");
    EXPECT_EQ(lerTecla(), 'w');
    EXPECT_EQ(std::string(retomadaRoteiro(), static_cast<size_t>(tamRetomadaRoteiro())), "\x1b[0;44;97m\x1b[?25l");
    char linhaLida[MAX_LINHA + 1];
    EXPECT_TRUE(lerLinha(linhaLida, sizeof linhaLida));
    EXPECT_EQ(strlen(linhaLida), 100u);
    EXPECT_EQ(std::string(retomadaRoteiro(), static_cast<size_t>(tamRetomadaRoteiro())), "\x1b[0;44;97m");
    EXPECT_EQ(maiorInterrupcaoRoteiro(), 2);
    EXPECT_EQ(lerTecla(), 's');  // hidden again, and the game ends there
    encerrarConsole();
    const std::string tudo(saidaRoteiro(), tamSaidaRoteiro());
    ASSERT_GE(tudo.size(), 6u);
    EXPECT_EQ(tudo.substr(tudo.size() - 6), "\x1b[?25h");  // the shell gets its cursor back
    escondeCursorRoteiro = edicaoRoteiro = false;
    colunasRoteiro = 80;
    linhasRoteiro = 24;
}

// Where the input never ends (a page), Ctrl-D on an empty line does
// nothing: the match goes on with the line typed after it. At a terminal
// it ends the input, and the read says so.
TEST(Console, CtrlDNumaLinhaVaziaSoAcabaAEntradaOndeElaAcaba) {
    const std::string teclas =
        "\x04"
        "ab\r";
    edicaoRoteiro = true;
    entradaAcabaRoteiro = false;
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    bool leu = false;
    EXPECT_EQ(linha(&leu), "ab");
    EXPECT_TRUE(leu);
    EXPECT_FALSE(fimDaEntrada());
    entradaAcabaRoteiro = true;
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    EXPECT_EQ(linha(&leu), "intocado");
    EXPECT_FALSE(leu);
    EXPECT_TRUE(fimDaEntrada());
    edicaoRoteiro = false;
}

// The sequences read back where the output is measured, or carried out by a
// console that takes none: whole, with their first parameter and final
// byte, and never past the bytes there are.
TEST(Sequencias, LidasDeVolta) {
    struct Caso {
        const char* bytes;
        int tamanho, numero;
        char final;
    } casos[] = {
        {"\x1b", 1, 0, 0},        {"\x1b[", 2, 0, 0},       {"\x1b[12", 4, 12, 0}, {"\x1b[12A", 5, 12, 'A'},
        {"\x1b[?25l", 6, 0, 'l'}, {"\x1b[1;2A", 6, 1, 'A'}, {"\x1bX", 2, 0, 'X'}, {"\x1b[0;44;97mz", 10, 0, 'm'},
        {"\x1b[JJ", 3, 0, 'J'},
    };
    for (const Caso& c : casos) {
        Sequencia s = lerSequencia(c.bytes, static_cast<int>(strlen(c.bytes)));
        EXPECT_EQ(s.tamanho, c.tamanho) << c.bytes + 1;
        EXPECT_EQ(s.numero, c.numero) << c.bytes + 1;
        EXPECT_EQ(s.final, c.final) << c.bytes + 1;
    }
    // A number past any screen is held, never overflowed.
    Sequencia longa = lerSequencia("\x1b[99999999999C", 15);
    EXPECT_EQ(longa.final, 'C');
    EXPECT_GT(longa.numero, 10000);
}
