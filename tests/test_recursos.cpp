// The real program's footprint: the number of allocations does not grow
// with the keys pressed or the players, and every frame is one write.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/pty_sessao.h"

namespace {

const std::string FIM_DO_QUADRO = "Cor: \r\n";

std::string notas(int jogadores) {
    std::string s;
    for (int j = 0; j < jogadores; j++) s += "1 2 3 4 5 6\n";
    return s + "\n";
}

// Plays a match with lines from a file and keys typed one by one into the
// terminal, waiting for each frame; returns the allocations counted.
long alocacoesDaPartida(int jogadores, int teclasExtras) {
    std::string linhas = std::to_string(jogadores) + "\n";
    for (int j = 0; j < jogadores; j++) linhas += "Jogador " + std::to_string(j) + "\n";
    for (int r = 0; r < 2; r++) {
        for (int j = 0; j < jogadores; j++) linhas += "Arara\n";
        linhas += notas(jogadores);
    }
    std::string entrada = arquivoTemporario(linhas);
    std::string contagem = arquivoTemporario("");
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.entrada = entrada.c_str();
    opcoes.preload = ZOVA_CONTA_ALOCACOES;
    opcoes.contagem = contagem.c_str();
    EXPECT_TRUE(iniciarSessao(s, opcoes));
    for (int vez = 0; vez < 2 * jogadores; vez++) {
        // The sheet itself, not the judging panel: keys typed before the
        // round's pause has ended are dropped.
        EXPECT_TRUE(esperar(s, "JOGADOR: Jogador " + std::to_string(vez % jogadores) + "\r\n"));
        EXPECT_TRUE(esperar(s, FIM_DO_QUADRO));
        for (int k = 0; k < (vez == 0 ? teclasExtras : 0); k++) {
            digitar(s, k % 2 ? "s" : "\x1b[A");
            EXPECT_TRUE(esperar(s, FIM_DO_QUADRO));
        }
        digitar(s, "d");
        EXPECT_TRUE(esperar(s, FIM_DO_QUADRO));
        digitar(s, "f");
    }
    int status = esperarFim(s);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    encerrarSessao(s);
    long n = -1;
    std::ifstream(contagem) >> n;
    unlink(entrada.c_str());
    unlink(contagem.c_str());
    return n;
}

}  // namespace

TEST(Recursos, AlocacoesNaoCrescemComTeclasNemJogadores) {
    long curta = alocacoesDaPartida(2, 0);
    long longa = alocacoesDaPartida(5, 300);
    ASSERT_GE(curta, 0) << "the counting library did not report";
    EXPECT_EQ(curta, longa);
    RecordProperty("alocacoes", static_cast<int>(curta));
}
