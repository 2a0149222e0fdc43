// Whole matches played in-process on the scripted console: registration,
// the answer editor, the judging and the results, end of input included.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/sequencias.h"
#include "jogo/partida.h"
#include "jogo/respostas.h"
#include "tests/tela_modelo.h"
#include "tests/terminal_roteiro.h"

namespace {

const std::string REGRA = LINHA_REGRA;

struct Jogo {
    Partida partida;
    std::string saida;
};

std::string entradaJogo, teclasJogo;

Jogo jogar(const std::string& entrada, const std::string& teclas, std::vector<size_t> intervalos = {}) {
    entradaJogo = entrada;
    teclasJogo = teclas;
    definirRoteiro(entradaJogo.data(), entradaJogo.size(), teclasJogo.data(), teclasJogo.size(), intervalos.data(),
                   intervalos.size());
    limiteLeiturasTecla = 100000;
    Jogo jogo;
    memset(&jogo.partida, 'X', sizeof jogo.partida);  // the match empties the record itself
    iniciarConsole();
    jogarPartida(jogo.partida, 1);
    encerrarConsole();
    jogo.saida.assign(saidaRoteiro(), tamSaidaRoteiro());
    return jogo;
}

int contar(const std::string& texto, const std::string& trecho) {
    int n = 0;
    for (size_t p = texto.find(trecho); p != std::string::npos; p = texto.find(trecho, p + 1)) n++;
    return n;
}

// Scores for every judge of one round, each judge's six on one line, and
// the Enter of the round's end.
std::string notasRodada(int jogadores, const std::string& linha = "0 0 0 0 0 0") {
    std::string s;
    for (int j = 0; j < jogadores; j++) s += linha + "\n";
    return s + "\n";
}

std::string notas(int jogadores, const std::string& linha = "0 0 0 0 0 0") {
    return notasRodada(jogadores, linha) + notasRodada(jogadores, linha);
}

// Round 1 ends at once for two players; the keys then play round 2.
const std::string PULAR_RODADA = "FF";

// The colour commands' sequences, on black: the console's palette numbers
// blue, green and red from the lowest bit, ANSI's red, green and blue, so
// its aqua (3, B bright) is ANSI's 6 and its yellow (6, E bright) ANSI's 3.
const std::string ROXO = "\x1b[0;40;95m";     // color D
const std::string BRANCO = "\x1b[0;40;97m";   // color 0F
const std::string AQUA = "\x1b[0;40;96m";     // color B
const std::string AMARELO = "\x1b[0;40;93m";  // color E

std::string tela(const std::string& cor, const std::string& titulo) {
    return cor + SEQ_INICIO_TELA + REGRA + "\n" + titulo + "\n" + REGRA + "\n";
}

}  // namespace

TEST(Cadastro, RecusasENomesNaTela) {
    Jogo j = jogar("1\n6\n3\nAna\nBia\nCid\n" + notas(3), "");
    std::string esperado =
        tela(ROXO, "                ZOVA") +
        "\nQuantidade de jogadores (2 a 5): " + "\nQuantidade invalida!\nDigite uma quantidade entre 2 e 5: " +
        "\nQuantidade invalida!\nDigite uma quantidade entre 2 e 5: " +
        tela(BRANCO, "          CADASTRO DOS JOGADORES") +
        "\nNome do jogador 1: \nNome do jogador 2: \nNome do jogador 3: " + tela(ROXO, "         JOGO INICIANDO...") +
        tela(ROXO, "              RODADA 1") + "\nA letra sorteada foi: ";
    EXPECT_EQ(j.saida.substr(0, esperado.size()), esperado);
    EXPECT_EQ(j.partida.qtdJogadores, 3);
    EXPECT_STREQ(j.partida.nomes[0], "Ana");
    EXPECT_STREQ(j.partida.nomes[2], "Cid");
}

TEST(Cadastro, SoUmCaractereDepoisDaQuantidadeEDescartado) {
    Jogo j = jogar("3 x\nBia\nCid\n" + notas(3), "");
    EXPECT_STREQ(j.partida.nomes[0], "x");
    EXPECT_STREQ(j.partida.nomes[1], "Bia");
}

TEST(Cadastro, QuantidadeQueNaoENumeroERecusadaSemLaco) {
    Jogo j = jogar("tres jogadores\n2\nAna\nBia\n" + notas(2), "");
    EXPECT_EQ(contar(j.saida, "Quantidade invalida!"), 1);
    EXPECT_EQ(j.partida.qtdJogadores, 2);
    EXPECT_STREQ(j.partida.nomes[1], "Bia");
}

TEST(Cadastro, NomesLongosDeixamORestoParaOProximo) {
    std::string n49(49, 'a'), n60(60, 'b');
    Jogo j = jogar("3\n" + n49 + "\n" + n60 + "\n" + notas(3), "");
    EXPECT_EQ(std::string(j.partida.nomes[0]), n49);
    EXPECT_STREQ(j.partida.nomes[1], "");
    EXPECT_EQ(std::string(j.partida.nomes[2]), std::string(49, 'b'));
}

TEST(Partida, DuasRodadasComPausasEFolhasDeOutrosVazias) {
    Jogo j = jogar("2\nAna\nBia\n" + notas(2), "");
    EXPECT_EQ(pausasRoteiro(), 3);
    EXPECT_EQ(contar(j.saida, "              RODADA 1\n"), 3);  // round screen, one editor per player
    EXPECT_EQ(contar(j.saida, "              RODADA 2\n"), 3);
    EXPECT_EQ(contar(j.saida, "RODADA 3"), 0);
    EXPECT_EQ(j.partida.rodada, 3);
    EXPECT_GE(j.partida.letra, 'A');
    EXPECT_LE(j.partida.letra, 'Z');
    for (int jogador = 2; jogador < MAX_JOGADORES; jogador++)
        for (int k = 0; k < NUM_CATEGORIAS; k++) EXPECT_STREQ(j.partida.respostas[jogador][k], "");
}

// A redrawn screen reaches the terminal in one write.
TEST(Partida, CadaQuadroEUmaEscrita) {
    jogar("2\nAna\nBia\n" + notas(2), "FFFF");
    int escritasBase = escritasRoteiro();
    Jogo j = jogar("2\nAna\nBia\n" + notas(2), std::string(50, 'x') + "\x1b[A\x1b[B" + "FFFF");
    EXPECT_EQ(escritasRoteiro() - escritasBase, 52);
    EXPECT_EQ(contar(j.saida, "JOGADOR: Ana\n"), 2 + 52);
}

TEST(Respostas, CursorDaVoltaNasDuasPontas) {
    EXPECT_EQ(moverCursor(0, -1), 5);
    EXPECT_EQ(moverCursor(5, +1), 0);
    EXPECT_EQ(moverCursor(2, +1), 3);
    EXPECT_EQ(moverCursor(3, -1), 2);
}

TEST(Respostas, TeclasMovemRespondemEFinalizam) {
    // Ana: d on Nome; S, down arrow, Enter on Objeto; W from Objeto, then up
    // twice (CSI and SS3) wraps to Cor: D; Nome answered again; F.
    // Bia: up arrow from Nome to Cor, Enter, f.
    std::string teclas =
        "dS\x1b[B\rW\x1b[A\x1bOAD"
        "sdF"
        "\x1b[A\rf";
    Jogo j = jogar("2\nAna\nBia\n" + notasRodada(2) + "Arara\nOvo\nCinza\nAnta\nCoral\n" + notasRodada(2),
                   PULAR_RODADA + teclas);
    EXPECT_STREQ(j.partida.respostas[0][0], "Anta");
    EXPECT_STREQ(j.partida.respostas[0][2], "Ovo");
    EXPECT_STREQ(j.partida.respostas[0][5], "Cinza");
    EXPECT_STREQ(j.partida.respostas[0][1], "");
    EXPECT_STREQ(j.partida.respostas[1][5], "Coral");
    EXPECT_NE(j.saida.find(" -> Cor: Cinza\n"), std::string::npos);
    EXPECT_NE(j.saida.find("\nDigite a resposta para [Objeto]: "), std::string::npos);
    EXPECT_NE(j.saida.find("    - Cor: Coral\n"), std::string::npos);  // Bia's sheet on the panel
}

TEST(Respostas, CadaRodadaComecaComAFolhaEmBranco) {
    Jogo j = jogar("2\nAna\nBia\nArara\n" + notas(2), "dFFFF");
    EXPECT_NE(j.saida.find("    - Nome: Arara\n"), std::string::npos);
    EXPECT_STREQ(j.partida.respostas[0][0], "");
}

TEST(Respostas, TelaDoEditorExata) {
    Jogo j = jogar("2\nAna\nBia\n" + notasRodada(2) + "Arara\n" + notasRodada(2), PULAR_RODADA + "dsf");
    std::string letra(1, j.partida.letra);
    std::string corpo = "\nLETRA: " + letra + " | JOGADOR: Ana\n" +
                        "(W/S ou Setas para navegar | ENTER ou D para responder | F para finalizar)\n\n" +
                        "    Nome: Arara\n -> CEP: \n    Objeto: \n    Marca: \n    Animal: \n    Cor: \n";
    EXPECT_NE(j.saida.find(tela(ROXO, "              RODADA 2") + corpo), std::string::npos);
}

TEST(Respostas, OutrasTeclasSoRedesenham) {
    // x, left arrow, Home, Escape alone, é, Alt-d, F5: seven redraws, then F.
    std::string teclas =
        "x\x1b[D\x1b[H\x1b\xc3\xa9\x1b"
        "d\x1b[15~F";
    size_t aposEsc = std::string("x\x1b[D\x1b[H\x1b").size();
    Jogo j = jogar("2\nAna\nBia\n" + notas(2), teclas, {aposEsc});
    EXPECT_EQ(contar(j.saida, "JOGADOR: Ana\n"), 8 + 1);  // and one frame in round 2
    EXPECT_EQ(contar(j.saida, "Digite a resposta"), 0);
}

TEST(Respostas, RestoDeRespostaLongaVaiParaAProximaResposta) {
    std::string longa(55, 'r');
    Jogo j = jogar("2\nAna\nBia\n" + notasRodada(2) + longa + "\n" + notasRodada(2), PULAR_RODADA + "dsdF");
    EXPECT_EQ(std::string(j.partida.respostas[0][0]), std::string(49, 'r'));
    EXPECT_EQ(std::string(j.partida.respostas[0][1]), std::string(6, 'r'));
}

TEST(Correcao, RodizioEPainel) {
    Jogo j = jogar("3\nAna\nBia\nCid\n" + notas(3), "");
    size_t a = j.saida.find("Ana (Juiz), voce esta avaliando a lista de: Bia (Letra: ");
    size_t b = j.saida.find("Bia (Juiz), voce esta avaliando a lista de: Cid (Letra: ");
    size_t c = j.saida.find("Cid (Juiz), voce esta avaliando a lista de: Ana (Letra: ");
    ASSERT_NE(a, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    std::string largo = LINHA_REGRA_LARGA;
    std::string painel = "\n" + largo + "\n         PAINEL GERAL (PARA DAR NOTA)\n" + largo + "\n" +
                         "\n [Ana]:\n    - Nome: \n    - CEP: \n    - Objeto: \n    - Marca: \n    - Animal: \n"
                         "    - Cor: \n";
    EXPECT_NE(j.saida.find(tela(ROXO, "         CORRECAO DAS RESPOSTAS") + "\nAna (Juiz)"), std::string::npos);
    EXPECT_NE(j.saida.find(tela(AQUA, "         CORRECAO DAS RESPOSTAS") + "\nBia (Juiz)"), std::string::npos);
    EXPECT_NE(j.saida.find(painel), std::string::npos);
    EXPECT_NE(j.saida.find("    - Cor: \n\n" + largo + "\n>>> AVALIANDO AGORA AS RESPOSTAS DE: Bia <<<\n" +
                           "Dica: Atribua notas (ex: 10 para valido/unico, 5 para repetido, 0 para invalido)\n\n" +
                           "  -> Nome []:   -> CEP []: "),
              std::string::npos);
}

TEST(Correcao, SomasDasNotas) {
    // Round 1: Ana gives Bia 10 5 0 10 10 0; Bia gives Cid a negative score;
    // Cid gives Ana a number beyond an int. Round 2: the same again.
    std::string rodada = "10 5 0 10 10 0\n-20 0 0 0 0 0\n99999999999 1 1 1 1 1\n\n";
    Jogo j = jogar("3\nAna\nBia\nCid\n" + rodada + rodada, "");
    EXPECT_EQ(j.partida.pontosRodada[1], 35);
    EXPECT_EQ(j.partida.pontosTotal[1], 70);
    EXPECT_EQ(j.partida.pontosTotal[2], -40);
    EXPECT_EQ(j.partida.pontosTotal[0], INT_MAX);
    EXPECT_NE(j.saida.find("\nBia fez 35 pontos nesta rodada"), std::string::npos);
    EXPECT_NE(j.saida.find("\nCid: -40 pontos no total"), std::string::npos);
}

TEST(Correcao, NotaQueNaoENumeroEPedidaDeNovo) {
    Jogo j = jogar("2\nAna\nBia\n10 dez\n5 5 5 5 5\n1 1 1 1 1 1\n\n" + notas(2).substr(0), "");
    EXPECT_EQ(contar(j.saida, "  -> CEP []: "), 2 + 2 * 1 + 1);  // asked twice for Bia in round 1
    EXPECT_EQ(j.partida.pontosTotal[1], 35);
}

TEST(Correcao, BrancoDepoisDaUltimaNotaTerminaAEsperaDaRodada) {
    Jogo j = jogar("2\nAna\nBia\n1 1 1 1 1 1\n1 1 1 1 1 1 \n2 2 2 2 2 2\n3 3 3 3 3 3\n\n", "");
    EXPECT_EQ(j.partida.pontosTotal[0], 6 + 18);
    EXPECT_EQ(j.partida.pontosTotal[1], 6 + 12);
}

TEST(Resultado, TelasDeRodadaEFinalExatas) {
    Jogo j = jogar("2\nAna\nBia\n1 1 1 1 1 1\n2 2 2 2 2 2\n\n0 0 0 0 0 0\n0 0 0 0 0 0\n\n", "");
    EXPECT_NE(j.saida.find(tela(AMARELO, "         RESULTADO DA RODADA 1") +
                           "\nAna fez 12 pontos nesta rodada\nBia fez 6 pontos nesta rodada\n\n"
                           "----------- PLACAR GERAL -----------\n"
                           "\nAna: 12 pontos no total\nBia: 6 pontos no total\n\n"
                           "Pressione ENTER para iniciar a proxima rodada..."),
              std::string::npos);
    std::string final = tela(ROXO, "            RESULTADO FINAL") +
                        "\nAna: 12 pontos\nBia: 6 pontos\n\nVENCEDOR: Ana!\n\n" + REGRA + "\n          FIM DE JOGO!\n" +
                        REGRA + "\n";
    ASSERT_GE(j.saida.size(), final.size());
    EXPECT_EQ(j.saida.substr(j.saida.size() - final.size()), final);
}

TEST(Resultado, RegraDoVencedor) {
    Partida p = {};
    p.qtdJogadores = 3;
    int casos[][3] = {{20, 35, 35}, {0, 0, 0}, {-5, -3, -9}, {7, -1, 6}, {INT_MIN, INT_MIN, INT_MIN + 1}};
    int vencedores[] = {1, 0, 1, 0, 2};
    for (int c = 0; c < 5; c++) {
        for (int i = 0; i < 3; i++) p.pontosTotal[i] = casos[c][i];
        EXPECT_EQ(escolherVencedor(p), vencedores[c]) << c;
    }
    p.qtdJogadores = 2;
    p.pontosTotal[0] = -5;
    p.pontosTotal[1] = -3;
    EXPECT_EQ(escolherVencedor(p), 1);
}

TEST(Resultado, SomaLimitada) {
    EXPECT_EQ(somarPontos(2, 3), 5);
    EXPECT_EQ(somarPontos(-2, -3), -5);
    EXPECT_EQ(somarPontos(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(somarPontos(INT_MAX - 1, 1), INT_MAX);
    EXPECT_EQ(somarPontos(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(somarPontos(INT_MIN, INT_MAX), -1);
    EXPECT_EQ(somarPontos(INT_MAX, INT_MIN), -1);
}

// Wherever the input ends, the match goes on to its final screen without
// waiting, and the output stays bounded.
TEST(Partida, FimDaEntradaEmQualquerPontoTerminaAPartida) {
    std::string completa = "3\nAna\nBia\nCid\nresposta\n" + notas(3, "1 2 3 4 5 6");
    std::string teclas =
        "dF"
        "F"
        "F"
        "F"
        "F"
        "F";
    for (size_t corte = 0; corte <= completa.size(); corte++) {
        for (size_t corteTeclas : {size_t(0), size_t(1), teclas.size()}) {
            Jogo j = jogar(completa.substr(0, corte), teclas.substr(0, corteTeclas));
            ASSERT_NE(j.saida.find("FIM DE JOGO!"), std::string::npos) << corte;
            EXPECT_LT(totalSaidaRoteiro(), 200000u);
        }
    }
}

namespace {

// Every line typed into the line editor, as at a terminal.
Jogo jogarNoTerminal(const std::string& teclas) {
    edicaoRoteiro = true;
    Jogo j = jogar("", teclas);
    edicaoRoteiro = false;
    return j;
}

const std::string ZEROS = "0 0 0 0 0 0\r";
// Two players end their sheets at once and are scored 0; Enter at the results.
const std::string RODADA_ZERADA = "ff" + ZEROS + ZEROS + "\r";

struct CasoVez {
    const char* nome;
    std::string teclas;
    std::string nomes[3];
    int totais[3];
    std::string respostas[2];  // Nome on each sheet after round 2
};

}  // namespace

// At a terminal, nothing one player typed acts in another's turn: the rest
// of a long answer, a judge's seventh number, a blank after the last score,
// text after the Enter of the results. Registration still reads as a stream.
TEST(Vez, NoTerminalNadaDeUmaVezPassaParaOutra) {
    std::string x49(49, 'X');
    const CasoVez casos[] = {
        {"seventh number",
         "2\rAna\rBia\rff10 10 10 10 10 10 99\r1 1 1 1 1 1\r\r" + RODADA_ZERADA,
         {"Ana", "Bia", ""},
         {6, 60, 0},
         {"", ""}},
        {"blank after the last score",
         "2\rAna\rBia\rff3 3 3 3 3 3\r3 3 3 3 3 3 \r\r" + RODADA_ZERADA,
         {"Ana", "Bia", ""},
         {18, 18, 0},
         {"", ""}},
        {"text after the results' Enter",
         "2\rAna\rBia\rff" + ZEROS + ZEROS + "ok\r" + "dArara\rf" + "f" + ZEROS + ZEROS + "\r",
         {"Ana", "Bia", ""},
         {0, 0, 0},
         {"Arara", ""}},
        {"a long answer with scores in it",
         "2\rAna\rBia\r" + RODADA_ZERADA + "f" + "d" + x49 + "10 10 10 10 10 10\rf" + "1 1 1 1 1 1\r2 2 2 2 2 2\r\r",
         {"Ana", "Bia", ""},
         {12, 6, 0},
         {"", x49}},
        {"a name of 49 bytes",
         "2\r" + std::string(49, 'a') + "\rBia\r" + RODADA_ZERADA + RODADA_ZERADA,
         {std::string(49, 'a'), "Bia", ""},
         {0, 0, 0},
         {"", ""}},
        {"count and name on one line",
         "3 x\rBia\rCid\r" + std::string("fff") + ZEROS + ZEROS + ZEROS + "\rfff" + ZEROS + ZEROS + ZEROS + "\r",
         {"x", "Bia", "Cid"},
         {0, 0, 0},
         {"", ""}},
    };
    for (const CasoVez& c : casos) {
        Jogo j = jogarNoTerminal(c.teclas);
        ASSERT_NE(j.saida.find("FIM DE JOGO!"), std::string::npos) << c.nome;
        for (int i = 0; i < 3; i++) {
            if (c.nomes[i].empty()) continue;
            EXPECT_EQ(j.partida.nomes[i], c.nomes[i]) << c.nome;
            EXPECT_EQ(j.partida.pontosTotal[i], c.totais[i]) << c.nome << ", player " << i + 1;
        }
        EXPECT_EQ(j.partida.respostas[0][0], c.respostas[0]) << c.nome;
        EXPECT_EQ(j.partida.respostas[1][0], c.respostas[1]) << c.nome;
        int abertas = !c.respostas[0].empty() + !c.respostas[1].empty();
        EXPECT_EQ(contar(j.saida, "Digite a resposta"), abertas) << c.nome;
        // The letter's two pauses and the start's, and a moment at each results screen.
        EXPECT_EQ(pausasRoteiro(), 3 + 2) << c.nome;
    }
}

// A new screen leaves nothing of a longer row or of the rows below of the
// last one, and is never erased from its top left corner (which some
// terminals copy into a scroll-back of their own).
TEST(Tela, NovaTelaNadaDeixaDaAnterior) {
    jogar("2\nAna\nBia\n" + notas(2), "");
    std::string bruta(saidaRoteiro(), tamSaidaRoteiro());
    EXPECT_EQ(bruta.find("\x1b[2J"), std::string::npos);
    // Nor by ESC [ J or ESC [ 3 J there, which a terminal that does not know
    // the second may take for the first.
    EXPECT_EQ(bruta.find("\x1b[H\x1b[J"), std::string::npos);
    EXPECT_EQ(bruta.find("\x1b[H\x1b[3J"), std::string::npos);
    TelaModelo t;
    iniciarTelaModelo(t, 30, 80);
    aplicarNaTela(t, bruta);
    // Over the last round's results, whose rows are longer and more.
    const std::string final[] = {
        REGRA, "            RESULTADO FINAL", REGRA, "", "Ana: 0 pontos", "Bia: 0 pontos", "", "VENCEDOR: Ana!", "",
        REGRA, "          FIM DE JOGO!",      REGRA};
    for (int linha = 0; linha < 30; linha++) {
        EXPECT_EQ(linhaDaTela(t, linha), linha < 12 ? final[linha] : "") << "row " << linha;
    }
}

// A row wider than the window goes on in rows that no newline starts: the
// next screen leaves nothing of the last one there either.
TEST(Tela, LinhaQuebradaNadaDeixaDaAnterior) {
    jogar("2\nAna\nBia\nMoscou\n" + notas(2), "dF");
    std::string bruta(saidaRoteiro(), tamSaidaRoteiro());
    size_t bia = bruta.find("JOGADOR: Bia");
    ASSERT_NE(bia, std::string::npos);
    size_t fim = bruta.find("    Cor: ", bia);
    ASSERT_NE(fim, std::string::npos);
    TelaModelo t;
    iniciarTelaModelo(t, 13, 60);
    aplicarNaTela(t, bruta.substr(0, fim + 9));
    std::string letra = bruta.substr(bruta.rfind("LETRA: ", bia) + 7, 1);
    const std::string folha[] = {"              RODADA 1",
                                 REGRA,
                                 "",
                                 "LETRA: " + letra + " | JOGADOR: Bia",
                                 "(W/S ou Setas para navegar | ENTER ou D para responder | F p",
                                 "ara finalizar)",
                                 "",
                                 " -> Nome:",
                                 "    CEP:",
                                 "    Objeto:",
                                 "    Marca:",
                                 "    Animal:",
                                 "    Cor:"};
    for (int linha = 0; linha < 13; linha++) EXPECT_EQ(linhaDaTela(t, linha), folha[linha]) << "row " << linha;
}
