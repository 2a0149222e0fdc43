// The room's seats and the devices' messages, without a network: who
// joins, who takes a seat back, whose keys count, who is cut off.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sala/assentos.h"
#include "sala/pagina_sala.h"

namespace {

const char TOKEN[] = "0123456789abcdef0123456789abcdef";
const char SEGREDO_A[] = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
const char SEGREDO_B[] = "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb";

struct Cena {
    Sala sala;
    ConexaoSala conexoes[MAX_CONEXOES];
    long long agora = 1000000;

    Cena() {
        iniciarSala(sala, TOKEN);
        for (ConexaoSala& c : conexoes) {
            c = ConexaoSala{};
            c.aberta = true;
            c.assento = -1;
        }
    }

    ResultadoMensagem enviar(int numero, const std::string& mensagem, const char* segredo = SEGREDO_A) {
        return receberMensagem(sala, conexoes[numero - 1], numero, mensagem.data(), static_cast<int>(mensagem.size()),
                               agora, segredo);
    }
};

TEST(SalaAssentos, EntraQuemTemOLinkEVoltaQuemTemOSegredo) {
    Cena c;
    ResultadoMensagem r = c.enviar(1, std::string("E") + TOKEN, SEGREDO_A);
    EXPECT_EQ(r.decisao, DECISAO_ENTROU);
    EXPECT_EQ(r.assento, 0);
    EXPECT_FALSE(r.retomado);
    EXPECT_STREQ(c.sala.assentos[0].segredo, SEGREDO_A);

    // A reload: a new connection with the secret takes seat 0 back, even
    // once the match has begun, and the old connection is to be closed.
    c.sala.partidaComecou = true;
    r = c.enviar(2, std::string("E") + TOKEN + " " + SEGREDO_A, SEGREDO_B);
    EXPECT_EQ(r.decisao, DECISAO_ENTROU);
    EXPECT_EQ(r.assento, 0);
    EXPECT_TRUE(r.retomado);
    EXPECT_EQ(r.conexaoAnterior, 1);
    EXPECT_EQ(c.sala.assentos[0].conexao, 2);
    EXPECT_EQ(c.sala.qtdAssentos, 1);

    // The old connection closing later leaves the seat with the new one.
    conexaoFechada(c.sala, c.conexoes[0], 1, c.agora);
    EXPECT_EQ(c.sala.assentos[0].conexao, 2);
}

TEST(SalaAssentos, RecusasSemPerderNada) {
    Cena c;
    // A wrong token, one digit off; one too short; one in capitals.
    std::string errado = std::string("E") + TOKEN;
    errado[32] = '0';
    EXPECT_EQ(c.enviar(1, errado).decisao, DECISAO_RECUSAR);
    EXPECT_STREQ(c.enviar(2, std::string("E") + "0123").motivo, MOTIVO_LINK_ERRADO);
    EXPECT_EQ(c.enviar(3, "E0123456789ABCDEF0123456789ABCDEF").decisao, DECISAO_RECUSAR);
    EXPECT_EQ(c.sala.qtdAssentos, 0);

    for (int i = 4; i <= 8; i++) EXPECT_EQ(c.enviar(i, std::string("E") + TOKEN).decisao, DECISAO_ENTROU);
    ResultadoMensagem sexto = c.enviar(9, std::string("E") + TOKEN);
    EXPECT_EQ(sexto.decisao, DECISAO_RECUSAR);
    EXPECT_STREQ(sexto.motivo, MOTIVO_SALA_CHEIA);
    EXPECT_EQ(c.sala.qtdAssentos, 5);

    Cena depois;
    depois.sala.partidaComecou = true;
    // A secret that is no seat's does not make one once the match is on.
    ResultadoMensagem tarde = depois.enviar(1, std::string("E") + TOKEN + " " + SEGREDO_B);
    EXPECT_EQ(tarde.decisao, DECISAO_RECUSAR);
    EXPECT_STREQ(tarde.motivo, MOTIVO_PARTIDA_COMECOU);
}

TEST(SalaAssentos, MensagensQueNenhumaPaginaMandaFechamAConexao) {
    Cena c;
    EXPECT_EQ(c.enviar(1, "Tabc").decisao, DECISAO_FECHAR);  // keys before joining
    ASSERT_EQ(c.enviar(2, std::string("E") + TOKEN).decisao, DECISAO_ENTROU);
    EXPECT_EQ(c.enviar(2, std::string("E") + TOKEN).decisao, DECISAO_FECHAR);  // a second join
    EXPECT_EQ(c.enviar(2, "Xqualquer").decisao, DECISAO_FECHAR);
    EXPECT_EQ(c.enviar(2, "").decisao, DECISAO_FECHAR);
    EXPECT_EQ(c.enviar(2, "T" + std::string(MAX_MENSAGEM, 'a')).decisao, DECISAO_FECHAR);
    for (const char* dimensoes : {"D80", "D80 ", "D 80 24", "D80 24 ", "D0 24", "D80 1001", "D99999 24", "D8a 24"})
        EXPECT_EQ(c.enviar(2, dimensoes).decisao, DECISAO_FECHAR) << dimensoes;
    ResultadoMensagem r = c.enviar(2, "D38 20");
    EXPECT_EQ(r.decisao, DECISAO_DIMENSOES);
    EXPECT_EQ(c.sala.assentos[0].colunas, 38);
    EXPECT_EQ(c.sala.assentos[0].linhas, 20);
    // A message the size of the limit is still one.
    EXPECT_EQ(c.enviar(2, "T" + std::string(MAX_MENSAGEM - 1, 'a')).decisao, DECISAO_IGNORAR);
}

TEST(SalaAssentos, SoAsTeclasDeQuemTemAVezContam) {
    Cena c;
    c.enviar(1, std::string("E") + TOKEN);
    c.enviar(2, std::string("E") + TOKEN);
    EXPECT_EQ(c.enviar(1, "Tx").decisao, DECISAO_IGNORAR);  // before the match
    c.sala.partidaComecou = true;
    c.sala.vez = -2;  // the room types the number of players itself
    EXPECT_EQ(c.enviar(1, "Tx").decisao, DECISAO_IGNORAR);
    c.sala.vez = 1;
    EXPECT_EQ(c.enviar(1, "Tx").decisao, DECISAO_IGNORAR);
    const std::string teclas = "Tol\xc3\xa1";  // the result points into it
    ResultadoMensagem r = c.enviar(2, teclas);
    ASSERT_EQ(r.decisao, DECISAO_TECLAS);
    EXPECT_EQ(std::string(r.dados, static_cast<size_t>(r.tamanho)), "ol\xc3\xa1");
    c.sala.vez = VEZ_DE_TODOS_SALA;
    EXPECT_EQ(c.enviar(1, "T\r").decisao, DECISAO_TECLAS);
}

TEST(SalaAssentos, UmaEnxurradaFechaAConexaoEOSegundoSeguinteRecomeca) {
    Cena c;
    c.enviar(1, std::string("E") + TOKEN);
    for (int i = 2; i <= MAX_MENSAGENS_POR_SEGUNDO; i++) ASSERT_NE(c.enviar(1, "D80 24").decisao, DECISAO_FECHAR) << i;
    EXPECT_EQ(c.enviar(1, "D80 24").decisao, DECISAO_FECHAR);
    c.agora += 1000;
    EXPECT_EQ(c.enviar(1, "D80 24").decisao, DECISAO_DIMENSOES);
}

TEST(SalaAssentos, AVezDeQuemSaiuTerminaDoisMinutosDepois) {
    Cena c;
    c.enviar(1, std::string("E") + TOKEN);
    c.sala.partidaComecou = true;
    c.sala.vez = 0;
    long long inicioVez = c.agora;
    EXPECT_FALSE(ausenteDemais(c.sala, 0, inicioVez, c.agora + 10 * AUSENCIA_MS));  // there, thinking
    conexaoFechada(c.sala, c.conexoes[0], 1, c.agora + 5000);
    EXPECT_FALSE(ausenteDemais(c.sala, 0, inicioVez, c.agora + 5000 + 119999));
    EXPECT_TRUE(ausenteDemais(c.sala, 0, inicioVez, c.agora + 5000 + 120000));
    // Gone long before the turn began: the two minutes count from the turn.
    EXPECT_FALSE(ausenteDemais(c.sala, 0, c.agora + 500000, c.agora + 500000 + 119999));
    EXPECT_TRUE(ausenteDemais(c.sala, 0, c.agora + 500000, c.agora + 500000 + 120000));
}

TEST(SalaAssentos, QuemSaiuAntesDaPartidaNaoGuardaLugar) {
    Cena c;
    for (int i = 1; i <= 4; i++) c.enviar(i, std::string("E") + TOKEN, i == 3 ? SEGREDO_B : SEGREDO_A);
    // Seats 1 and 2 (0-based) lose their devices in the lobby.
    conexaoFechada(c.sala, c.conexoes[1], 2, c.agora);
    conexaoFechada(c.sala, c.conexoes[2], 3, c.agora);
    EXPECT_EQ(fecharAssentos(c.sala, c.conexoes), 2);
    EXPECT_EQ(c.sala.qtdAssentos, 2);
    EXPECT_EQ(c.sala.assentos[0].conexao, 1);
    EXPECT_EQ(c.sala.assentos[1].conexao, 4);
    EXPECT_EQ(c.conexoes[3].assento, 1);
    // The secret of a seat given up takes nothing back.
    c.sala.partidaComecou = true;
    EXPECT_EQ(c.enviar(5, std::string("E") + TOKEN + " " + SEGREDO_B).decisao, DECISAO_RECUSAR);
}

TEST(SalaPagina, APoliticaDaPaginaVaiComoCabecalho) {
    char politica[64];
    EXPECT_TRUE(politicaDaPagina("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'\">",
                                 politica, sizeof politica));
    EXPECT_STREQ(politica, "default-src 'none'");
    EXPECT_FALSE(politicaDaPagina("<meta charset=\"utf-8\">", politica, sizeof politica));
    // A line break would end the header and begin another of the page's choosing.
    EXPECT_FALSE(politicaDaPagina("<meta http-equiv=\"Content-Security-Policy\" content=\"a\r\nSet-Cookie: x\">",
                                  politica, sizeof politica));
    EXPECT_FALSE(politicaDaPagina(
        ("<meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(100, 'a') + "\">").c_str(), politica,
        sizeof politica));
}

}  // namespace
