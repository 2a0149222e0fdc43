// The room's seats and what each device's message does to them: who joins,
// who takes a seat back, whose keys count, who is turned away or cut off.
// Pure: the server gives it the time and the fresh secrets, and does what
// it decides, so all of it is tested without a network.
#pragma once

#include "sala/protocolo.h"

const int MAX_ASSENTOS = 5;
const int MIN_ASSENTOS_PARTIDA = 2;
// Devices connected at once, seated or about to be (a reload opens the new
// connection before the old one is seen to close).
const int MAX_CONEXOES = 16;
// How long the turn of a player whose device has gone waits for it.
const long long AUSENCIA_MS = 120000;
// Everyone's screen, rather than one player's: the value of vez.
const int VEZ_DE_TODOS_SALA = -1;

struct Assento {
    char segredo[TAM_SEGREDO + 1];
    int conexao;               // the connection that holds it (1 to MAX_CONEXOES), 0 for none
    long long ausenteDesdeMs;  // when its device went; meaningless while one holds it
    int colunas;               // the device's widget, 0 before it says
    int linhas;
};

struct Sala {
    char token[TAM_TOKEN + 1];
    Assento assentos[MAX_ASSENTOS];
    int qtdAssentos;  // seats taken, in the order their devices joined
    bool partidaComecou;
    int vez;  // whose screen and keys: a seat, or VEZ_DE_TODOS_SALA
};

struct ConexaoSala {
    bool aberta;
    long long abertaEmMs;
    int assento;         // -1 until it joins
    long long janelaMs;  // the start of the second its messages are counted in
    int mensagensNaJanela;
};

enum DecisaoMensagem {
    DECISAO_FECHAR,     // a message no page of ours sends: the connection closes
    DECISAO_RECUSAR,    // send motivo (MSG_FIM) and close
    DECISAO_ENTROU,     // the connection holds assento (new, or taken back)
    DECISAO_TECLAS,     // dados/tamanho are keys of assento, and they count now
    DECISAO_IGNORAR,    // keys of a seat whose turn it is not: dropped
    DECISAO_DIMENSOES,  // assento's widget is now colunas by linhas
};

struct ResultadoMensagem {
    DecisaoMensagem decisao;
    int assento;
    const char* motivo;
    bool retomado;        // the seat was taken back, not new
    int conexaoAnterior;  // a connection that held the seat taken back, to close; 0 for none
    const char* dados;
    int tamanho;
    int colunas;
    int linhas;
};

// The refusals, as the devices show them.
extern const char MOTIVO_LINK_ERRADO[];
extern const char MOTIVO_SALA_CHEIA[];
extern const char MOTIVO_PARTIDA_COMECOU[];
extern const char MOTIVO_OUTRO_APARELHO[];
extern const char MOTIVO_SALA_ENCERRADA[];

void iniciarSala(Sala& sala, const char token[TAM_TOKEN + 1]);

// Whether texto is exactly tamanho lowercase hexadecimal digits.
bool hexadecimal(const char* texto, int tamanho);

// One message of conexao (numbered 1 to MAX_CONEXOES); segredoNovo is the
// secret a new seat gets. Changes the seats as decided.
ResultadoMensagem receberMensagem(Sala& sala, ConexaoSala& conexao, int numeroConexao, const char* dados, int tamanho,
                                  long long agoraMs, const char segredoNovo[TAM_SEGREDO + 1]);

// Counts one frame of conexao; false past MAX_MENSAGENS_POR_SEGUNDO in the
// current second.
bool dentroDoLimite(ConexaoSala& conexao, long long agoraMs);

// The match starts: seats whose device has gone (a tab closed in the
// lobby, a private window that could not come back) are given up, so that
// nobody's turns wait for a player who is not there; the others keep their
// order, renumbered. Returns how many seats are left.
int fecharAssentos(Sala& sala, ConexaoSala conexoes[MAX_CONEXOES]);

// The connection has closed: its seat, if it held one, waits for a device.
void conexaoFechada(Sala& sala, ConexaoSala& conexao, int numeroConexao, long long agoraMs);

// Whether keys of assento count now.
bool teclasAceitas(const Sala& sala, int assento);

// Whether the turn of assento, which began at inicioVezMs, has waited for
// its device long enough.
bool ausenteDemais(const Sala& sala, int assento, long long inicioVezMs, long long agoraMs);
