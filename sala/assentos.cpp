#include "sala/assentos.h"

#include <cstring>

const char MOTIVO_LINK_ERRADO[] = "Este link nao e o desta sala. Peca o link de novo a quem abriu a sala.";
const char MOTIVO_SALA_CHEIA[] = "A sala ja tem 5 jogadores.";
const char MOTIVO_PARTIDA_COMECOU[] = "A partida ja comecou: so quem entrou antes pode voltar.";
const char MOTIVO_OUTRO_APARELHO[] = "Seu lugar na sala foi aberto em outro aparelho.";
const char MOTIVO_SALA_ENCERRADA[] = "A sala foi encerrada.";

namespace {

// The widget's size, as the page says it; anything beyond is no page's.
const int MAX_DIMENSAO = 1000;

// Compared in a time that does not tell how much of it matched.
bool iguais(const char* a, const char* b, int tamanho) {
    unsigned diferenca = 0;
    for (int i = 0; i < tamanho; i++) diferenca |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diferenca == 0;
}

// A decimal number of 1 to MAX_DIMENSAO digits' worth, from *p; false if none.
bool lerDimensao(const char*& p, const char* fim, int& valor) {
    valor = 0;
    const char* inicio = p;
    while (p < fim && *p >= '0' && *p <= '9' && p - inicio < 4) valor = valor * 10 + (*p++ - '0');
    return p > inicio && valor >= 1 && valor <= MAX_DIMENSAO;
}

ResultadoMensagem resultado(DecisaoMensagem decisao, int assento = -1) {
    ResultadoMensagem r = {};
    r.decisao = decisao;
    r.assento = assento;
    return r;
}

ResultadoMensagem recusa(const char* motivo) {
    ResultadoMensagem r = resultado(DECISAO_RECUSAR);
    r.motivo = motivo;
    return r;
}

ResultadoMensagem entrar(Sala& sala, ConexaoSala& conexao, int numeroConexao, const char* dados, int tamanho,
                         const char segredoNovo[TAM_SEGREDO + 1]) {
    // E, the token, and maybe a blank and the secret: nothing else.
    bool comSegredo = tamanho == 1 + TAM_TOKEN + 1 + TAM_SEGREDO && dados[1 + TAM_TOKEN] == ' ';
    if (tamanho != 1 + TAM_TOKEN && !comSegredo) return recusa(MOTIVO_LINK_ERRADO);
    if (!hexadecimal(dados + 1, TAM_TOKEN) || !iguais(dados + 1, sala.token, TAM_TOKEN))
        return recusa(MOTIVO_LINK_ERRADO);
    const char* segredo = comSegredo ? dados + 2 + TAM_TOKEN : nullptr;
    if (segredo && !hexadecimal(segredo, TAM_SEGREDO)) return resultado(DECISAO_FECHAR);

    int assento = -1;
    bool retomado = false;
    for (int i = 0; segredo && i < sala.qtdAssentos; i++) {
        if (iguais(segredo, sala.assentos[i].segredo, TAM_SEGREDO)) {
            assento = i;
            retomado = true;
        }
    }
    if (assento < 0) {
        if (sala.partidaComecou) return recusa(MOTIVO_PARTIDA_COMECOU);
        if (sala.qtdAssentos == MAX_ASSENTOS) return recusa(MOTIVO_SALA_CHEIA);
        assento = sala.qtdAssentos++;
        Assento& novo = sala.assentos[assento];
        novo = Assento{};
        memcpy(novo.segredo, segredoNovo, TAM_SEGREDO);
        novo.segredo[TAM_SEGREDO] = '\0';
    }
    Assento& a = sala.assentos[assento];
    ResultadoMensagem r = resultado(DECISAO_ENTROU, assento);
    r.retomado = retomado;
    r.conexaoAnterior = a.conexao != numeroConexao ? a.conexao : 0;
    a.conexao = numeroConexao;
    a.colunas = a.linhas = 0;  // until the new device says
    conexao.assento = assento;
    return r;
}

}  // namespace

void iniciarSala(Sala& sala, const char token[TAM_TOKEN + 1]) {
    sala = Sala{};
    memcpy(sala.token, token, TAM_TOKEN);
    sala.token[TAM_TOKEN] = '\0';
    sala.vez = VEZ_DE_TODOS_SALA;
}

bool hexadecimal(const char* texto, int tamanho) {
    for (int i = 0; i < tamanho; i++) {
        char c = texto[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

ResultadoMensagem receberMensagem(Sala& sala, ConexaoSala& conexao, int numeroConexao, const char* dados, int tamanho,
                                  long long agoraMs, const char segredoNovo[TAM_SEGREDO + 1]) {
    if (!dentroDoLimite(conexao, agoraMs)) return resultado(DECISAO_FECHAR);
    if (tamanho < 1 || tamanho > MAX_MENSAGEM) return resultado(DECISAO_FECHAR);

    if (conexao.assento < 0) {
        if (dados[0] != MSG_ENTRAR) return resultado(DECISAO_FECHAR);
        return entrar(sala, conexao, numeroConexao, dados, tamanho, segredoNovo);
    }
    int assento = conexao.assento;
    switch (dados[0]) {
    case MSG_TECLAS: {
        if (!teclasAceitas(sala, assento)) return resultado(DECISAO_IGNORAR, assento);
        ResultadoMensagem r = resultado(DECISAO_TECLAS, assento);
        r.dados = dados + 1;
        r.tamanho = tamanho - 1;
        return r;
    }
    case MSG_DIMENSOES: {
        const char* p = dados + 1;
        const char* fim = dados + tamanho;
        int colunas, linhas;
        if (!lerDimensao(p, fim, colunas) || p == fim || *p++ != ' ' || !lerDimensao(p, fim, linhas) || p != fim)
            return resultado(DECISAO_FECHAR);
        sala.assentos[assento].colunas = colunas;
        sala.assentos[assento].linhas = linhas;
        ResultadoMensagem r = resultado(DECISAO_DIMENSOES, assento);
        r.colunas = colunas;
        r.linhas = linhas;
        return r;
    }
    default: return resultado(DECISAO_FECHAR);  // a second E, or no message of ours
    }
}

bool dentroDoLimite(ConexaoSala& conexao, long long agoraMs) {
    if (agoraMs - conexao.janelaMs >= 1000 || agoraMs < conexao.janelaMs) {
        conexao.janelaMs = agoraMs;
        conexao.mensagensNaJanela = 0;
    }
    return ++conexao.mensagensNaJanela <= MAX_MENSAGENS_POR_SEGUNDO;
}

int fecharAssentos(Sala& sala, ConexaoSala conexoes[MAX_CONEXOES]) {
    int novo[MAX_ASSENTOS];
    int n = 0;
    for (int i = 0; i < sala.qtdAssentos; i++) {
        novo[i] = sala.assentos[i].conexao != 0 ? n++ : -1;
        if (novo[i] >= 0) sala.assentos[novo[i]] = sala.assentos[i];
    }
    for (int i = 0; i < MAX_CONEXOES; i++) {
        if (conexoes[i].assento >= 0) conexoes[i].assento = novo[conexoes[i].assento];
    }
    sala.qtdAssentos = n;
    return n;
}

void conexaoFechada(Sala& sala, ConexaoSala& conexao, int numeroConexao, long long agoraMs) {
    int assento = conexao.assento;
    conexao = ConexaoSala{};
    conexao.assento = -1;
    if (assento < 0 || sala.assentos[assento].conexao != numeroConexao) return;
    sala.assentos[assento].conexao = 0;
    sala.assentos[assento].ausenteDesdeMs = agoraMs;
}

bool teclasAceitas(const Sala& sala, int assento) {
    return sala.partidaComecou && (sala.vez == VEZ_DE_TODOS_SALA || sala.vez == assento);
}

bool ausenteDemais(const Sala& sala, int assento, long long inicioVezMs, long long agoraMs) {
    if (assento < 0 || assento >= sala.qtdAssentos) return false;
    const Assento& a = sala.assentos[assento];
    if (a.conexao != 0) return false;
    long long desde = a.ausenteDesdeMs > inicioVezMs ? a.ausenteDesdeMs : inicioVezMs;
    return agoraMs - desde >= AUSENCIA_MS;
}
