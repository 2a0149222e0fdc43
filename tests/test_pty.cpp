// The real program in a pseudo-terminal: exact screens with their colour and
// clearing sequences, keys as a terminal sends them, echo only at line
// reads, and the terminal given back after an end, Ctrl-C or a closed window.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/pty_sessao.h"
#include "tests/tela_modelo.h"

namespace {

const std::string REGRA = "=====================================";
// A new screen: the last one erased from the second row down, with the
// scroll-back, then the top row.
const std::string INICIO = "\x1b[2H\x1b[J\x1b[3J\x1b[H\x1b[K";
const std::string ROXO = "\x1b[0;40;95m";    // color D
const std::string BRANCO = "\x1b[0;40;97m";  // color 0F
const std::string AQUA = "\x1b[0;40;96m";    // color B

// A screen's header, and the rows that follow it.
std::string cabecalho(const std::string& cor, const std::string& titulo, const std::string& resto = "") {
    return cor + INICIO + REGRA + "\r\n" + titulo + "\r\n" + REGRA + "\r\n" + resto;
}

// Types a line once the game waits for one, as a player at the prompt would.
void responder(SessaoPty& s, const std::string& linha) {
    ASSERT_TRUE(esperarLeitura(s, true));
    digitar(s, linha + "\r");
}

void cadastrar(SessaoPty& s, const std::string& quantidade, std::initializer_list<const char*> nomes) {
    ASSERT_TRUE(esperar(s, "Quantidade de jogadores (2 a 5): "));
    responder(s, quantidade);
    for (const char* nome : nomes) {
        ASSERT_TRUE(esperar(s, "Nome do jogador "));
        responder(s, nome);
    }
}

// The screen as the terminal shows it now, from the last clear on.
TelaModelo telaAtual(const SessaoPty& s, int linhas = 45, int colunas = 120) {
    TelaModelo t;
    iniciarTelaModelo(t, linhas, colunas);
    size_t limpa = s.saida.rfind(INICIO);
    aplicarNaTela(t, s.saida.substr(limpa == std::string::npos ? 0 : limpa));
    return t;
}

// The row the cursor is on shows texto, and the cursor stands in the given
// column, right after it.
void cursorDepoisDe(SessaoPty& s, const std::string& texto, int coluna, int linhas = 45, int colunas = 120) {
    lerTudo(s);
    TelaModelo t = telaAtual(s, linhas, colunas);
    EXPECT_EQ(linhaDaTela(t, t.linha), texto);
    EXPECT_EQ(t.coluna, coluna);
}

bool modoRestaurado(const SessaoPty& s) {
    unsigned modo = modoLocal(s);
    return (modo & ECHO) && (modo & ICANON) && (modo & ISIG);
}

// Brings a new game to a waiting key read (the first editor) or to a
// waiting line read (the player count).
void chegarALeitura(SessaoPty& s, bool leituraDeTecla) {
    if (leituraDeTecla) {
        cadastrar(s, "2", {"Ana", "Bia"});
        ASSERT_TRUE(esperar(s, "JOGADOR: Ana"));
        ASSERT_TRUE(esperarLeitura(s, false));
    } else {
        ASSERT_TRUE(esperar(s, "Quantidade de jogadores"));
        ASSERT_TRUE(esperarLeitura(s, true));
    }
}

// Two players, and the first name's prompt waits.
void chegarAoPrimeiroNome(SessaoPty& s) {
    ASSERT_TRUE(esperar(s, "Quantidade de jogadores (2 a 5): "));
    responder(s, "2");
    ASSERT_TRUE(esperar(s, "Nome do jogador 1: "));
    ASSERT_TRUE(esperarLeitura(s, true));
}

// From the first editor: both players end their turns at once, and the
// first judge's first score prompt waits.
void chegarAPrimeiraNota(SessaoPty& s) {
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, "JOGADOR: Bia"));
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, "  -> Nome []: "));
}

}  // namespace

TEST(Telas, TituloRecusaECadastroExatos) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    std::string titulo = cabecalho(ROXO, "                ZOVA", "\r\nQuantidade de jogadores (2 a 5): ");
    ASSERT_TRUE(esperar(s, titulo));
    EXPECT_EQ(s.saida.find(titulo), 0u);
    responder(s, "1");
    ASSERT_TRUE(esperar(s, "1\r\n\r\nQuantidade invalida!\r\nDigite uma quantidade entre 2 e 5: "));
    responder(s, "6");
    ASSERT_TRUE(esperar(s, "6\r\n\r\nQuantidade invalida!\r\nDigite uma quantidade entre 2 e 5: "));
    responder(s, "3");
    ASSERT_TRUE(esperar(s, "3\r\n" + cabecalho(BRANCO, "          CADASTRO DOS JOGADORES", "\r\nNome do jogador 1: ")));
    // 49 letters fill the name, and its Enter is its own: the second name
    // is asked for, and waits.
    responder(s, std::string(49, 'a'));
    ASSERT_TRUE(esperar(s, std::string(49, 'a') + "\r\n\r\nNome do jogador 2: "));
    responder(s, "Bia");
    ASSERT_TRUE(esperar(s, "Bia\r\n\r\nNome do jogador 3: "));
    responder(s, "Cid");
    ASSERT_TRUE(esperar(s, cabecalho(ROXO, "         JOGO INICIANDO...")));
    auto inicio = std::chrono::steady_clock::now();
    ASSERT_TRUE(esperar(s, cabecalho(ROXO, "              RODADA 1", "\r\nA letra sorteada foi: ")));
    EXPECT_GE(std::chrono::steady_clock::now() - inicio, std::chrono::milliseconds(1400));
    encerrarSessao(s);
}

TEST(Telas, PartidaInteiraComTeclasDeVerdade) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    cadastrar(s, "2", {"Ana", "Jo\xc3\xa3o"});
    ASSERT_TRUE(esperar(s, "JOGADOR: Ana\r\n"));
    ASSERT_TRUE(esperar(s, "    Cor: \r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    // Up arrow wraps to Cor; x, left arrow and Escape only redraw, and
    // nothing typed is echoed between two frames.
    digitar(s, "\x1b[A");
    ASSERT_TRUE(esperar(s, " -> Cor: \r\n"));
    size_t fimQuadro = s.visto;
    digitar(s, "x");
    ASSERT_TRUE(esperar(s, " -> Cor: \r\n"));
    EXPECT_EQ(s.saida.compare(fimQuadro, ROXO.size(), ROXO), 0) << "echo between frames";
    digitar(s, "\x1b[D");
    ASSERT_TRUE(esperar(s, " -> Cor: \r\n"));
    digitar(s, "\x1b");
    ASSERT_TRUE(esperar(s, " -> Cor: \r\n"));
    EXPECT_EQ(s.saida.find("Digite a resposta"), std::string::npos);
    digitar(s, "D");
    ASSERT_TRUE(esperar(s, "\r\nDigite a resposta para [Cor]: "));
    responder(s, "Coral");
    ASSERT_TRUE(esperar(s, " -> Cor: Coral\r\n"));
    digitar(s, "\x1bOBd");  // SS3 down arrow wraps to Nome
    ASSERT_TRUE(esperar(s, "\r\nDigite a resposta para [Nome]: "));
    responder(s, "Ana");
    digitar(s, "F");
    ASSERT_TRUE(esperar(s, "JOGADOR: Jo\xc3\xa3o\r\n"));
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, cabecalho(ROXO, "         CORRECAO DAS RESPOSTAS", "\r\nAna (Juiz)")));
    ASSERT_TRUE(esperar(s, "  -> Nome []: "));
    responder(s, "1 2 3 4 5 6");
    ASSERT_TRUE(esperar(s, cabecalho(AQUA, "         CORRECAO DAS RESPOSTAS", "\r\nJo\xc3\xa3o (Juiz)")));
    ASSERT_TRUE(esperar(s, "  -> Nome [Ana]: "));
    responder(s, "10 5 0 10 10 -5");
    ASSERT_TRUE(esperar(s, "Pressione ENTER para iniciar a proxima rodada..."));
    responder(s, "");
    ASSERT_TRUE(esperar(s, "JOGADOR: Ana\r\n"));
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, "JOGADOR: Jo\xc3\xa3o\r\n"));
    digitar(s, "F");
    ASSERT_TRUE(esperar(s, "  -> Nome []: "));
    responder(s, "0 0 0 0 0 0");
    ASSERT_TRUE(esperar(s, "  -> Nome []: "));
    responder(s, "0 0 0 0 0 0");
    ASSERT_TRUE(esperar(s, "Pressione ENTER"));
    // A double Enter: the second one must not pass the prompt that follows.
    responder(s, "\r");
    // The game leads its terminal's session, as under a terminal emulator's
    // -e: the window would close with it, so the winner waits for Enter.
    std::string final =
        cabecalho(ROXO, "            RESULTADO FINAL",
                  "\r\nAna: 30 pontos\r\nJo\xc3\xa3o: 21 pontos\r\n\r\nVENCEDOR: Ana!\r\n\r\n" + REGRA +
                      "\r\n          FIM DE JOGO!\r\n" + REGRA + "\r\n\r\nPressione ENTER para sair...");
    ASSERT_TRUE(esperar(s, final));
    EXPECT_EQ(esperarFim(s, 1000), -1) << "ended without waiting for Enter";
    digitar(s, "x\x1b[A");
    EXPECT_EQ(esperarFim(s, 300), -1) << "a key other than Enter ended the wait";
    digitar(s, "\r");
    int status = esperarFim(s);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The Enter ends the prompt's line: whatever the window shows next
    // starts on a row of its own.
    std::string fim = final + "\x1b[?25l\x1b[?25h\r\n";
    ASSERT_GE(s.saida.size(), fim.size());
    EXPECT_EQ(s.saida.substr(s.saida.size() - fim.size()), fim);
    EXPECT_TRUE(modoRestaurado(s));
    encerrarSessao(s);
}

namespace {

// Two players who type nothing, from the title to the final screen; with
// the last Enter come the keys given.
void jogarAteOFinal(SessaoPty& s, const std::string& comOUltimoEnter = "") {
    cadastrar(s, "2", {"Ana", "Bia"});
    for (int rodada = 1; rodada <= 2; rodada++) {
        ASSERT_TRUE(esperar(s, "JOGADOR: Ana"));
        ASSERT_TRUE(esperarLeitura(s, false));
        chegarAPrimeiraNota(s);
        responder(s, "1 1 1 1 1 1");
        ASSERT_TRUE(esperar(s, "  -> Nome []: "));
        responder(s, "0 0 0 0 0 0");
        ASSERT_TRUE(esperar(s, "Pressione ENTER"));
        ASSERT_TRUE(esperarLeitura(s, true));
        digitar(s, "\r" + (rodada == 2 ? comOUltimoEnter : ""));
    }
    ASSERT_TRUE(esperar(s, "          FIM DE JOGO!\r\n" + REGRA + "\r\n"));
}

}  // namespace

// Started by a shell, which keeps the window: the game ends on its final
// screen, byte for byte, as it always has.
TEST(FimDaPartida, IniciadoPorUmShellTerminaSemEsperar) {
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.controleDeTarefas = true;
    ASSERT_TRUE(iniciarSessao(s, opcoes));
    jogarAteOFinal(s);
    int status = esperarFim(s, 5000);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string fim = "VENCEDOR: Bia!\r\n\r\n" + REGRA + "\r\n          FIM DE JOGO!\r\n" + REGRA + "\r\n";
    ASSERT_GE(s.saida.size(), fim.size());
    EXPECT_EQ(s.saida.substr(s.saida.size() - fim.size()), fim);
    encerrarSessao(s);
}

// ---------------------------------------------------------------------------
// Every way a session ends: a key or a closed window at each kind of read,
// and the game gone within its time, with the terminal given back.

namespace {

// Where the session is brought first: the reads of each kind, one after
// another in a match.
enum Onde { NO_INICIO, NA_QUANTIDADE, NO_NOME, NA_FOLHA, NA_RESPOSTA, NA_NOTA, NA_ESPERA_DA_RODADA, NA_ESPERA_FINAL };
enum Gesto { NENHUM, CTRL_C, CTRL_D, FECHAR_JANELA };
// Exit status 0; killed by Ctrl-C's SIGINT, colours and cursor given back
// first; or ended, whichever way.
enum Fim { SAI_COM_0, MORTO_POR_SIGINT, TERMINA };

struct Encerramento {
    const char* id;  // the test's name
    OpcoesSessao opcoes;
    Onde onde;
    Gesto gesto;
    int prazoMs;  // ended within
    Fim fim;
    const char* vencedor;  // on the last screen, the match played through at once; nullptr: not looked at
};

void chegar(SessaoPty& s, Onde onde) {
    if (onde == NO_INICIO) return;
    if (onde == NA_ESPERA_FINAL) {
        jogarAteOFinal(s);
        ASSERT_TRUE(esperar(s, "\r\nPressione ENTER para sair..."));
        ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
        return;
    }
    if (onde == NA_QUANTIDADE || onde == NO_NOME) {
        ASSERT_TRUE(esperar(s, "Quantidade de jogadores (2 a 5): "));
        if (onde == NO_NOME) {
            responder(s, "3");
            ASSERT_TRUE(esperar(s, "Nome do jogador 1: "));
            responder(s, "Ana");
            ASSERT_TRUE(esperar(s, "Nome do jogador 2: "));
        }
    } else {
        chegarALeitura(s, true);
        if (onde == NA_RESPOSTA) {
            digitar(s, "d");
            ASSERT_TRUE(esperar(s, "Digite a resposta"));
        }
        if (onde == NA_NOTA || onde == NA_ESPERA_DA_RODADA) chegarAPrimeiraNota(s);
        if (onde == NA_ESPERA_DA_RODADA) {
            responder(s, "1 1 1 1 1 1");
            ASSERT_TRUE(esperar(s, "  -> Nome []: "));
            responder(s, "2 2 2 2 2 2");
            ASSERT_TRUE(esperar(s, "Pressione ENTER"));
        }
    }
    ASSERT_TRUE(esperarLeitura(s, onde != NA_FOLHA));
}

OpcoesSessao comOpcao(bool OpcoesSessao::*opcao) {
    OpcoesSessao o;
    o.*opcao = true;
    return o;
}

OpcoesSessao comSaida(const char* saida) {
    OpcoesSessao o;
    o.saida = saida;
    return o;
}

void PrintTo(const Encerramento& e, std::ostream* os) { *os << e.id; }

}  // namespace

std::vector<Encerramento> encerramentos() {
    const OpcoesSessao PADRAO;
    return {
        // Ctrl-C at a line read and at a key read.
        {"CtrlCNaQuantidade", PADRAO, NA_QUANTIDADE, CTRL_C, 5000, MORTO_POR_SIGINT, nullptr},
        {"CtrlCNaFolha", PADRAO, NA_FOLHA, CTRL_C, 5000, MORTO_POR_SIGINT, nullptr},
        // A closed window ends the game; under nohup, where it is no signal,
        // the reads fail and the match runs to its end at once.
        {"JanelaFechadaNaQuantidade", PADRAO, NA_QUANTIDADE, FECHAR_JANELA, 5000, TERMINA, nullptr},
        {"JanelaFechadaNaFolha", PADRAO, NA_FOLHA, FECHAR_JANELA, 5000, TERMINA, nullptr},
        {"JanelaFechadaSobNohup", comOpcao(&OpcoesSessao::ignorarHup), NA_FOLHA, FECHAR_JANELA, 3000, SAI_COM_0,
         nullptr},
        // Ctrl-D at a line read ends the input: nobody is left to play, so
        // every later read returns at once (through the pauses: well within
        // 10 s) and the match ends with status 0.
        {"CtrlDNaQuantidade", PADRAO, NA_QUANTIDADE, CTRL_D, 10000, SAI_COM_0, "VENCEDOR: !"},
        {"CtrlDNoNome", PADRAO, NO_NOME, CTRL_D, 10000, SAI_COM_0, "VENCEDOR: Ana!"},
        {"CtrlDNaResposta", PADRAO, NA_RESPOSTA, CTRL_D, 10000, SAI_COM_0, "VENCEDOR: Ana!"},
        {"CtrlDNaNota", PADRAO, NA_NOTA, CTRL_D, 10000, SAI_COM_0, "VENCEDOR: Ana!"},
        {"CtrlDNaEsperaDaRodada", PADRAO, NA_ESPERA_DA_RODADA, CTRL_D, 10000, SAI_COM_0, "VENCEDOR: Ana!"},
        // Started by setsid (or a su that calls it), the terminal is the
        // game's streams but not its controlling terminal: still given back.
        {"CtrlDSemTerminalDeControle", comOpcao(&OpcoesSessao::semTerminalDeControle), NA_QUANTIDADE, CTRL_D, 10000,
         SAI_COM_0, nullptr},
        // In a window of its own, Ctrl-D and Ctrl-C end the final wait; the
        // match was played to its end, so the game still ends with status 0.
        {"CtrlDNaEsperaFinal", PADRAO, NA_ESPERA_FINAL, CTRL_D, 5000, SAI_COM_0, nullptr},
        {"CtrlCNaEsperaFinal", PADRAO, NA_ESPERA_FINAL, CTRL_C, 5000, SAI_COM_0, nullptr},
        // With the output gone, nobody can see a prompt: the match runs
        // through at once, without waiting for keys.
        {"SaidaCheia", comSaida("/dev/full"), NO_INICIO, NENHUM, 5000, SAI_COM_0, nullptr},
        {"SaidaFechada", comSaida(""), NO_INICIO, NENHUM, 5000, SAI_COM_0, nullptr},
    };
}

class FimDaSessao : public ::testing::TestWithParam<Encerramento> {};

TEST_P(FimDaSessao, TerminaEDevolveOTerminal) {
    const Encerramento& c = GetParam();
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s, c.opcoes));
    ASSERT_NO_FATAL_FAILURE(chegar(s, c.onde));
    if (c.onde != NO_INICIO) {
        EXPECT_FALSE(modoLocal(s) & ECHO) << "keys echoed by the terminal at a read";
    }
    if (c.gesto == CTRL_C) digitar(s, "\x03");
    if (c.gesto == CTRL_D) digitar(s, "\x04");
    if (c.gesto == FECHAR_JANELA) fecharTerminal(s);
    int status = esperarFim(s, c.prazoMs);
    ASSERT_NE(status, -1) << "still running";
    if (c.fim == SAI_COM_0) {
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
    } else if (c.fim == MORTO_POR_SIGINT) {
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), SIGINT);
        EXPECT_NE(s.saida.find("\x1b[0m", s.visto), std::string::npos) << "colours reset";
        EXPECT_NE(s.saida.find("\x1b[?25h", s.visto), std::string::npos) << "cursor shown";
    }
    if (c.gesto != FECHAR_JANELA) {
        EXPECT_TRUE(modoRestaurado(s));
        // The shell gets its cursor back, whichever way the game ended.
        size_t oculto = s.saida.rfind("\x1b[?25l"), mostrado = s.saida.rfind("\x1b[?25h");
        EXPECT_TRUE(oculto == std::string::npos || (mostrado != std::string::npos && mostrado > oculto))
            << "cursor left hidden";
    }
    if (c.vencedor) {
        EXPECT_NE(s.saida.find(c.vencedor), std::string::npos);
        EXPECT_LT(s.saida.size(), 40000u);
    }
    encerrarSessao(s);
}

INSTANTIATE_TEST_SUITE_P(Encerramentos, FimDaSessao, ::testing::ValuesIn(encerramentos()),
                         [](const ::testing::TestParamInfo<Encerramento>& caso) { return std::string(caso.param.id); });

// Ctrl-C with the cursor at the start of a line three rows long: the
// shell's next words come below the line, not over it.
TEST(TerminalDevolvido, CtrlCNoMeioDeUmaLinhaLonga) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    ASSERT_TRUE(esperar(s, "Quantidade de jogadores (2 a 5): "));
    ASSERT_TRUE(esperarLeitura(s, true));
    digitar(s, std::string(250, 'n') + "\x1b[H");
    ASSERT_TRUE(esperar(s, "\x1b[2A"));  // Home: two rows up
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    digitar(s, "\x03");
    int status = esperarFim(s, 5000);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    lerTudo(s);
    TelaModelo t = telaAtual(s);
    EXPECT_EQ(linhaDaTela(t, t.linha - 1), std::string(250 - 87 - 120, 'n'));  // the line's last row
    EXPECT_EQ(t.coluna, 0);
    encerrarSessao(s);
}

// Keys that came in one burst with the F that ended a turn are not the
// next player's: that sheet opens, and waits.
TEST(Telas, RajadaQueTerminaAVezNaoTocaAFolhaSeguinte) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    chegarALeitura(s, true);
    digitar(s, "ff");
    ASSERT_TRUE(esperar(s, "JOGADOR: Bia"));
    ASSERT_TRUE(esperarLeitura(s, false));
    lerTudo(s, 300);
    EXPECT_EQ(s.saida.find("CORRECAO"), std::string::npos) << "the second f ended Bia's turn";
    encerrarSessao(s);
}

// No terminal at all and no input: the match runs through and exits 0.
TEST(FimDaEntrada, SemTerminalAPartidaVaiAteOFim) {
    int saida[2];
    ASSERT_EQ(pipe(saida), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setsid();  // no controlling terminal: no keys either
        int nulo = open("/dev/null", O_RDONLY);
        dup2(nulo, STDIN_FILENO);
        dup2(saida[1], STDOUT_FILENO);
        close(saida[0]);
        execl(ZOVA_EXECUTAVEL, "zova", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(saida[1]);
    std::string texto;
    char buffer[4096];
    for (ssize_t n; (n = read(saida[0], buffer, sizeof buffer)) > 0;) texto.append(buffer, static_cast<size_t>(n));
    close(saida[0]);
    int status;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(texto.find("VENCEDOR: !\n\n" + REGRA + "\n          FIM DE JOGO!\n"), std::string::npos);
    EXPECT_LT(texto.size(), 20000u);
}

// Ctrl-Z gives the shell a usable terminal; fg brings the game back where it
// was, in the mode its waiting read needs, with the screen drawn again.
TEST(TerminalDevolvido, CtrlZEFgRetomamOndeParou) {
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.controleDeTarefas = true;
    ASSERT_TRUE(iniciarSessao(s, opcoes));
    chegarALeitura(s, true);
    ASSERT_TRUE(esperar(s, "    Cor: \r\n"));
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    digitar(s, "\x1a");
    ASSERT_TRUE(esperar(s, AVISO_PARADO));
    EXPECT_TRUE(modoRestaurado(s));
    EXPECT_NE(s.saida.rfind("\x1b[0m"), std::string::npos);
    digitar(s, "\n");
    ASSERT_TRUE(esperar(s, ROXO));  // colours back
    ASSERT_TRUE(esperar(s, "JOGADOR: Ana\r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    digitar(s, "d");
    ASSERT_TRUE(esperar(s, "Digite a resposta para [Nome]: "));
    ASSERT_TRUE(esperarLeitura(s, true));
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    digitar(s, "Ara");
    ASSERT_TRUE(esperar(s, "Ara"));
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    digitar(s, "\x1a");
    ASSERT_TRUE(esperar(s, AVISO_PARADO));
    EXPECT_TRUE(modoRestaurado(s));
    EXPECT_NE(s.saida.find("\x1b[?25h", s.visto - std::string(AVISO_PARADO).size() - 40), std::string::npos)
        << "cursor shown for the shell";
    digitar(s, "\n");
    // The screen and the half-typed line come back, the cursor behind it.
    ASSERT_TRUE(esperar(s, INICIO));
    ASSERT_TRUE(esperar(s, "Digite a resposta para [Nome]: "));
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    cursorDepoisDe(s, "Digite a resposta para [Nome]: Ara", 34);
    // So they do when the window is resized.
    redimensionar(s, 30, 60);
    ASSERT_TRUE(esperar(s, INICIO));
    ASSERT_TRUE(esperar(s, "Digite a resposta para [Nome]: "));
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    cursorDepoisDe(s, "Digite a resposta para [Nome]: Ara", 34, 30, 60);
    responder(s, "ra");
    ASSERT_TRUE(esperar(s, " -> Nome: Arara\r\n"));
    digitar(s, "\x03");
    int status = esperarFim(s, 5000);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(modoRestaurado(s));
    encerrarSessao(s);
}

// A stopped game in the background: kill ends it as it ends a running
// one, and bg lets it run until it needs the terminal, where it stops once
// and waits for fg, with its terminal given back then.
TEST(TerminalDevolvido, ParadoEmSegundoPlanoKillEBg) {
    for (bool kill : {true, false}) {
        SessaoPty s;
        OpcoesSessao opcoes;
        opcoes.controleDeTarefas = true;
        ASSERT_TRUE(iniciarSessao(s, opcoes));
        chegarAoPrimeiroNome(s);
        digitar(s, "\x1a");
        ASSERT_TRUE(esperar(s, AVISO_PARADO));
        if (kill) {
            digitar(s, "kill\n");
            int status = esperarFim(s, 3000);
            ASSERT_TRUE(WIFSIGNALED(status)) << "still stopped: " << status;
            EXPECT_EQ(WTERMSIG(status), SIGTERM);
            EXPECT_TRUE(modoRestaurado(s));
        } else {
            digitar(s, "bg\n");
            ASSERT_TRUE(esperar(s, AVISO_PARADO, 3000)) << "it did not stop when it needed the terminal";
            lerTudo(s, 300);
            EXPECT_EQ(s.saida.find(AVISO_PARADO, s.visto), std::string::npos) << "stopped again and again";
            EXPECT_TRUE(modoRestaurado(s));
            digitar(s, "\n");
            ASSERT_TRUE(esperar(s, "Nome do jogador 1: "));
            responder(s, "Ana");
            ASSERT_TRUE(esperar(s, "Nome do jogador 2: "));
        }
        encerrarSessao(s);
    }
}

// At a prompt, only what shows as itself enters the text: an Escape
// sequence typed out, an arrow, a function key, Tab or a bell store nothing.
TEST(LinhaDigitada, TeclasSemFuncaoNaoEntramNoTexto) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    cadastrar(s, "2", {"A\x1b[2Jb", "Bia"});
    ASSERT_TRUE(esperar(s, "JOGADOR: Ab\r\n"));
    digitar(s, "d");
    ASSERT_TRUE(esperar(s, "Digite a resposta para [Nome]: "));
    responder(s, "x\x1b[Ay\x07\x1b[15~\x1bOP\tz\x1b[B");
    ASSERT_TRUE(esperar(s, " -> Nome: xyz\r\n"));
    EXPECT_EQ(s.saida.find("\x1b[2J"), std::string::npos) << "a typed ESC [ 2 J reached the terminal";
    encerrarSessao(s);
}

// The line editor: a name mended with the arrows, Home, End, Delete and
// Backspace over letters of two bytes comes out as meant; plain typing is
// echoed as the terminal's own echo would; the terminal stays in key mode.
TEST(LinhaDigitada, NomeCorrigidoComAsTeclasDeEdicao) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    chegarAoPrimeiroNome(s);
    unsigned modo = modoLocal(s);
    EXPECT_FALSE(modo & (ICANON | ECHO)) << "a line prompt in the terminal's line mode";
    EXPECT_TRUE(modo & ISIG);
    // "Conceição" typed with the i forgotten and a stray C, then mended.
    digitar(s, "lixo\x15");  // Ctrl-U empties the line
    digitar(s, "XConce\xc3\xa7\xc3\xa3o");
    digitar(s, "\x1b[D\x1b[D\x1b[Di");  // back over o, ã, ç: the i goes before ç
    digitar(s, "\x1b[H\x1b[3~");        // Home, Delete: the X goes
    digitar(s, "\x1b[F!\x7f");          // End, a typo, Backspace
    digitar(s, "\x01\x05\r");           // Ctrl-A, Ctrl-E, Enter
    ASSERT_TRUE(esperar(s, "Nome do jogador 2: "));
    ASSERT_TRUE(esperarLeitura(s, true));
    digitar(s, "Bia\r");
    ASSERT_TRUE(esperar(s, "Bia\r\n"));
    EXPECT_NE(s.saida.find("Nome do jogador 2: Bia\r\n"), std::string::npos) << "plain typing echoed byte for byte";
    ASSERT_TRUE(esperar(s, "JOGADOR: Concei\xc3\xa7\xc3\xa3o\r\n"));
    encerrarSessao(s);
}

// Wide characters and an emoji, edited in the middle: the terminal shows
// the name where it is stored, as the sheet shows it afterwards.
TEST(LinhaDigitada, LargosEEmojiEditadosNoMeio) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    chegarAoPrimeiroNome(s);
    digitar(s, "Ana \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80\x1b[D\x1b[D\x1b[D\x1b[DZ");
    ASSERT_TRUE(esperarBloqueadoEmLeitura(s));
    lerTudo(s);
    TelaModelo t = telaAtual(s);
    std::string ateOCursor = "Nome do jogador 1: Ana \xe6\x97\xa5Z";
    EXPECT_EQ(linhaDaTela(t, t.linha), ateOCursor + "\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80");
    EXPECT_EQ(t.coluna, 26);  // 23 before the wide character, 2 for it, 1 for Z
    digitar(s, "\rBia\r");
    ASSERT_TRUE(esperar(s, "JOGADOR: Ana \xe6\x97\xa5Z\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80\r\n"));
    encerrarSessao(s);
}

// Keys pressed while the drawn letter is shown belong to no screen: the
// sheet opens untouched, and its first prompt waits for the player.
TEST(Pausas, TeclasDuranteAPausaSaoDescartadas) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    cadastrar(s, "2", {"Ana", "Bia"});
    ASSERT_TRUE(esperar(s, "A letra sorteada foi: "));
    digitar(s, "ssd\rResto\r");
    ASSERT_TRUE(esperar(s, "JOGADOR: Ana\r\n"));
    ASSERT_TRUE(esperar(s, " -> Nome: \r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    digitar(s, "d");
    ASSERT_TRUE(esperar(s, "Digite a resposta para [Nome]: "));
    ASSERT_TRUE(esperarLeitura(s, true));
    responder(s, "Arara");
    ASSERT_TRUE(esperar(s, " -> Nome: Arara\r\n"));
    EXPECT_EQ(s.saida.find("[Objeto]"), std::string::npos);
    EXPECT_EQ(s.saida.find("Resto"), std::string::npos);
    encerrarSessao(s);
}

// A score prompt asked again after refused text that was never echoed (it
// came from the line of the prompt before) starts on a line of its own.
TEST(LinhaDigitada, NotaPedidaDeNovoNumaLinhaPropria) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    chegarALeitura(s, true);
    chegarAPrimeiraNota(s);
    responder(s, "12abc");
    ASSERT_TRUE(esperar(s, "12abc\r\n  -> CEP []: \r\n  -> CEP []: "));
    encerrarSessao(s);
}

// ---------------------------------------------------------------------------
// Hand-offs: what one player types never acts in another player's turn

namespace {

const int SEM_ESPERA = -1, TECLA = 0, LINHA = 1;

// Waits until the game shows texto and, unless SEM_ESPERA, waits for a key
// or a line; then types the keys, and lets depoisMs pass.
struct Passo {
    std::string texto;
    int leitura;
    std::string teclas;
    int depoisMs;
};

struct Reproducao {
    const char* id;  // the test's name
    const char* nome;
    std::vector<Passo> passos;
    std::string nunca;  // never on the screen
};

std::vector<Passo> folhasVazias(const std::vector<std::string>& jogadores) {
    std::vector<Passo> passos;
    for (const std::string& j : jogadores) passos.push_back({"JOGADOR: " + j + "\r\n", TECLA, "f", 0});
    return passos;
}

std::vector<Passo> juntar(std::vector<Passo> a, const std::vector<Passo>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void jogarPassos(SessaoPty& s, const Reproducao& r) {
    for (const Passo& p : r.passos) {
        ASSERT_TRUE(esperar(s, p.texto)) << r.nome << ": " << p.texto;
        if (p.leitura != SEM_ESPERA) {
            ASSERT_TRUE(esperarLeitura(s, p.leitura == LINHA)) << r.nome << ": " << p.texto;
        }
        digitar(s, p.teclas);
        if (p.depoisMs > 0) usleep(static_cast<useconds_t>(p.depoisMs) * 1000);
    }
    lerTudo(s, 300);
    EXPECT_EQ(s.saida.find(r.nunca), std::string::npos) << r.nome;
}

}  // namespace

std::vector<Reproducao> reproducoes() {
    const std::string a49(49, 'a'), b48(48, 'b'), brancos(41, ' ');
    const std::vector<Passo> cadastroAnaBia = {
        {"(2 a 5): ", LINHA, "2\r", 0}, {"jogador 1: ", LINHA, "Ana\r", 0}, {"jogador 2: ", LINHA, "Bia\r", 0}};
    return {
        {"RestoDeRespostaComNotas", "the rest of a long answer, with scores in it, on the last sheet",
         juntar(juntar({{"(2 a 5): ", LINHA, "3\r", 0},
                        {"jogador 1: ", LINHA, "Ana\r", 0},
                        {"jogador 2: ", LINHA, "Bia\r", 0},
                        {"jogador 3: ", LINHA, "Cid\r", 0}},
                       folhasVazias({"Ana", "Bia"})),
                {{"JOGADOR: Cid\r\n", TECLA, "dCachorro" + brancos + "0 0 0 0 0 0 99 99 99 99 99 99 0 0 0 0 0 0\rf", 0},
                 {"    - Nome: Cachorro" + brancos + "\r\n", SEM_ESPERA, "", 0},
                 {"  -> Nome []: ", LINHA, "1 1 1 1 1 1\r", 0},
                 {"Bia (Juiz)", SEM_ESPERA, "", 0},
                 {"  -> Nome [Cachorro" + brancos + "]: ", LINHA, "2 2 2 2 2 2\r", 0},
                 {"Cid (Juiz)", SEM_ESPERA, "", 0},
                 {"  -> Nome []: ", LINHA, "3 3 3 3 3 3\r", 0},
                 {"\r\nAna fez 18 pontos nesta rodada\r\nBia fez 6 pontos nesta rodada\r\nCid fez 12 pontos", LINHA, "",
                  0}}),
         "99 pontos"},
        {"TextoEscondidoDeOutroJogador", "another player's hidden text",
         juntar(cadastroAnaBia, {{"JOGADOR: Ana\r\n", TECLA, "d", 0},
                                 {"[Nome]: ", LINHA, a49 + "SEGREDO-DA-ANA\rf", 0},
                                 {"JOGADOR: Bia\r\n", TECLA, "d", 0},
                                 {"[Nome]: ", LINHA, "", 0}}),
         "SEGREDO"},
        {"SetimoNumeroDoJuiz", "a judge's seventh number",
         juntar(juntar(cadastroAnaBia, folhasVazias({"Ana", "Bia"})),
                {{"  -> Nome []: ", LINHA, "10 10 10 10 10 10 99\r", 0},
                 {"Bia (Juiz)", SEM_ESPERA, "", 0},
                 {"  -> Nome []: ", LINHA, "1 1 1 1 1 1\r", 0},
                 {"\r\nAna fez 6 pontos nesta rodada\r\nBia fez 60 pontos", LINHA, "", 0}}),
         "99 pontos"},
        {"RajadaDepoisDoUltimoF", "a burst after the last F",
         juntar(cadastroAnaBia, {{"JOGADOR: Ana\r\n", TECLA, "f", 0},
                                 {"JOGADOR: Bia\r\n", TECLA, "fff10 10 10 10 10 10\r", 0},
                                 {"Ana (Juiz)", SEM_ESPERA, "", 0},
                                 {"  -> Nome []: ", LINHA, "1 1 1 1 1 1\r", 0},
                                 {"Bia (Juiz)", SEM_ESPERA, "", 0},
                                 {"  -> Nome []: ", LINHA, "2 2 2 2 2 2\r", 0},
                                 {"\r\nAna fez 12 pontos nesta rodada\r\nBia fez 6 pontos", LINHA, "", 0}}),
         "ff"},
        {"ResultadoEsperaUmEnterDepoisDeAparecer", "a blank after the last score, a second Enter, text at the results",
         juntar(juntar(cadastroAnaBia, folhasVazias({"Ana", "Bia"})),
                {{"  -> Nome []: ", LINHA, "1 1 1 1 1 1\r", 0},
                 {"Bia (Juiz)", SEM_ESPERA, "", 0},
                 {"  -> Nome []: ", LINHA, "3 3 3 3 3 3 \r", 100},
                 {"", SEM_ESPERA, "\r", 0},
                 {"Pressione ENTER para iniciar a proxima rodada...", LINHA, "", 0},
                 {"", SEM_ESPERA, "", 600},
                 {"", LINHA, "ok\r", 0},
                 {"JOGADOR: Ana\r\n", TECLA, "d", 0},
                 {"[Nome]: ", LINHA, "", 0}}),
         "[Nome]: k"},
        {"NomesNoLimiteEColados",
         "names at their limit, and a paste",
         {{"(2 a 5): ", LINHA, "3\r", 0},
          {"jogador 1: ", LINHA, b48 + "\xc3\xa9\r", 0},
          {"jogador 2: ", LINHA, std::string(5000, 'p') + "\r", 0},
          {"jogador 3: ", LINHA, "Cid\r", 0},
          {"JOGADOR: " + b48 + "\r\n", TECLA, "f", 0},
          {"JOGADOR: " + std::string(49, 'p') + "\r\n", TECLA, "f", 0},
          {"JOGADOR: Cid\r\n", TECLA, "", 0}},
         "\xc3\xa9"},
    };
}

namespace {
void PrintTo(const Reproducao& r, std::ostream* os) { *os << r.nome; }
}  // namespace

class VezNoTerminal : public ::testing::TestWithParam<Reproducao> {};

// Each case is a fault players met: what one of them typed acted in
// another's turn. Here each screen that passes the keyboard waits.
TEST_P(VezNoTerminal, NadaDeUmJogadorChegaAOutraVez) {
    SessaoPty s;
    ASSERT_TRUE(iniciarSessao(s));
    jogarPassos(s, GetParam());
    encerrarSessao(s);
}

INSTANTIATE_TEST_SUITE_P(Reproducoes, VezNoTerminal, ::testing::ValuesIn(reproducoes()),
                         [](const ::testing::TestParamInfo<Reproducao>& caso) { return std::string(caso.param.id); });

// The same kind of text from a file: nobody else is at the keyboard, and
// what one read leaves is the next read's, as in any stream.
TEST(Vez, DeUmArquivoOQueSobraEDaLeituraSeguinte) {
    const std::string a49(49, 'a'), brancos(41, ' ');
    std::string linhas = "2\n" + a49 + "\n" + "Cachorro" + brancos + "0 0 0 0 0 0 99 99 99 99 99 99\n" + "\n" +
                         "1 1 1 1 1 1 7\n2 2 2 2 2 2\n";
    std::string arquivo = arquivoTemporario(linhas);
    SessaoPty s;
    OpcoesSessao opcoes;
    opcoes.entrada = arquivo.c_str();
    ASSERT_TRUE(iniciarSessao(s, opcoes));
    // The 49 letters' newline is the second name; the answer's rest scores
    // both sheets; the seventh number is the next judge's first.
    ASSERT_TRUE(esperar(s, "JOGADOR: " + a49 + "\r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    digitar(s, "d");
    ASSERT_TRUE(esperar(s, " -> Nome: Cachorro" + brancos + "\r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, "JOGADOR: \r\n"));
    ASSERT_TRUE(esperarLeitura(s, false));
    digitar(s, "f");
    ASSERT_TRUE(esperar(s, "\r\n" + a49 + " fez 594 pontos nesta rodada\r\n fez 0 pontos nesta rodada"));
    for (int vez = 0; vez < 2; vez++) {
        ASSERT_TRUE(esperar(s, "JOGADOR: "));
        ASSERT_TRUE(esperarLeitura(s, false));
        digitar(s, "f");
    }
    ASSERT_TRUE(esperar(s, "\r\n" + a49 + " fez 17 pontos nesta rodada\r\n fez 6 pontos nesta rodada"));
    ASSERT_TRUE(esperar(s, "\r\n" + a49 + ": 611 pontos\r\n: 6 pontos\r\n\r\nVENCEDOR: " + a49 + "!"));
    int status = esperarFim(s, 5000);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    encerrarSessao(s);
    unlink(arquivo.c_str());
}

// Keys typed while the game was not reading go with it: the shell never
// runs them, whether the game ended at its last screen or on a signal.
TEST(Vez, NadaDigitadoNoJogoChegaAoShell) {
    for (bool porSinal : {false, true}) {
        SessaoPty s;
        OpcoesSessao opcoes;
        opcoes.controleDeTarefas = true;
        opcoes.shellLeDepois = true;
        ASSERT_TRUE(iniciarSessao(s, opcoes));
        if (porSinal) {
            cadastrar(s, "2", {"Ana", "Bia"});
            ASSERT_TRUE(esperar(s, "A letra sorteada foi: "));
            digitar(s, "echo VAZOU\r");
            usleep(200 * 1000);
            kill(-tcgetpgrp(s.mestre), SIGTERM);
        } else {
            // With the last results' Enter, more than one read of the
            // terminal takes: some of it is still there when the game ends.
            jogarAteOFinal(s, std::string(100, 'x') + "echo VAZOU\r");
        }
        ASSERT_TRUE(esperar(s, AVISO_SHELL_LEU)) << porSinal;
        ASSERT_TRUE(esperar(s, "]")) << porSinal;
        EXPECT_EQ(s.saida.find("VAZOU"), std::string::npos) << porSinal;
        encerrarSessao(s);
    }
}
