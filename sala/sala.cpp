#include "sala/sala.h"

#include <civetweb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "console/sequencias.h"
#include "sala/aleatorio.h"
#include "sala/qr.h"

namespace {

// ---------------------------------------------------------------------------
// What the room keeps, under one lock

std::mutex trava;
std::condition_variable mudou;  // a key, a device, an Enter, the room closing

mg_context* servidor = nullptr;
Sala sala;
ConexaoSala conexoes[MAX_CONEXOES];
mg_connection* conexoesMg[MAX_CONEXOES];
// A device whose write failed (it stopped reading, its network is gone) is
// written to no more: one stuck phone must not hold up the room each time.
bool calada[MAX_CONEXOES];

const char* pastaPagina = "";
const char* politica = "";
char linkSala[128];
// How long a connection may stay without joining while others wait.
const long long ESPERA_ENTRADA_MS = 5000;  // what the devices open

// The keys of the turn, as the devices sent them, waiting for the game.
char fila[4096];
int inicioFila = 0;
int fimFila = 0;

bool pedidoRedesenhar = false;  // a device of the turn needs the screen again
long long inicioVezMs = 0;
bool ausenciaAvisada = false;
int entersDaSala = 0;  // Enters of the room's terminal not yet taken
bool saguaoMudou = true;
bool terminando = false;
bool fechada = false;
// Closed by a signal: the match is not played on to its end, nor is the
// room's Enter awaited; the signal's thread ends the process.
bool porSinal = false;

// The screen everyone sees, since it began: a device that comes back once
// the match is over, and nothing more is read, gets the final screen from
// here.
char telaDeTodos[32768];
int tamTelaDeTodos = 0;

// A name as the screens show it: each of up to 49 bytes at most four.
char nomes[MAX_ASSENTOS][200];
// A seat's name, or "jogador N", as nomeDoAssento writes it.
const int TAM_NOME = 220;

long long agoraMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------------------
// The room's own terminal

void escreverNaTela(const char* dados, size_t tamanho) {
    while (tamanho > 0) {
        ssize_t n = write(STDOUT_FILENO, dados, tamanho);
        if (n <= 0) return;  // nobody is watching the room's terminal any more
        dados += n;
        tamanho -= static_cast<size_t>(n);
    }
}

void escreverNaTela(const char* texto) { escreverNaTela(texto, strlen(texto)); }

const char CABECALHO_SALA[] =
    "=====================================\n"
    "             ZOVA - SALA\n"
    "=====================================\n";

void nomeDoAssento(int assento, char* destino, size_t tamanho) {
    size_t n = strnlen(nomes[assento], sizeof nomes[assento]);
    if (n == 0) {
        snprintf(destino, tamanho, "jogador %d", assento + 1);
        return;
    }
    if (n >= tamanho) n = tamanho - 1;
    memcpy(destino, nomes[assento], n);
    destino[n] = '\0';
}

void listarJogadores(char* destino, size_t tamanho) {
    size_t n = strlen(destino);
    for (int i = 0; i < sala.qtdAssentos && n < tamanho; i++) {
        char nome[TAM_NOME];
        nomeDoAssento(i, nome, sizeof nome);
        snprintf(destino + n, tamanho - n, "  %d. %s%s\n", i + 1, nome,
                 sala.assentos[i].conexao ? "" : " (fora da sala)");
        n = strlen(destino);
    }
}

void desenharSaguao() {
    static char tela[16384];
    snprintf(tela, sizeof tela, "%s%s%s\nAbra este link no celular de cada jogador:\n\n  %s\n\n", SEQ_CORES_PADRAO,
             SEQ_INICIO_TELA, CABECALHO_SALA, linkSala);
    size_t n = strlen(tela);
    desenharQr(linkSala, tela + n, static_cast<int>(sizeof tela - n));
    n = strlen(tela);
    snprintf(tela + n, sizeof tela - n, "\nJogadores na sala (%d de %d):\n", sala.qtdAssentos, MAX_ASSENTOS);
    listarJogadores(tela, sizeof tela);
    n = strlen(tela);
    snprintf(tela + n, sizeof tela - n,
             "\nPressione ENTER para comecar a partida (2 a 5 jogadores).\nCtrl-C fecha a sala.\n");
    escreverNaTela(tela);
}

void desenharVezNaSala() {
    static char tela[4096];
    char nome[TAM_NOME];
    nomeDoAssento(sala.vez, nome, sizeof nome);
    snprintf(tela, sizeof tela, "%s%s%s\nLink da sala: %s\n\nJogadores:\n", SEQ_CORES_PADRAO, SEQ_INICIO_TELA,
             CABECALHO_SALA, linkSala);
    listarJogadores(tela, sizeof tela);
    size_t n = strlen(tela);
    snprintf(tela + n, sizeof tela - n, "\nVez de: %s\n", nome);
    escreverNaTela(tela);
}

// ---------------------------------------------------------------------------
// What goes to the devices

int numeroDaConexao(const mg_connection* c) {
    return static_cast<int>(reinterpret_cast<intptr_t>(mg_get_user_connection_data(c)));
}

bool escreverWs(mg_connection* c, int codigo, const char* dados, size_t tamanho) {
    int numero = numeroDaConexao(c);
    if (numero >= 1 && numero <= MAX_CONEXOES && calada[numero - 1]) return false;
    if (mg_websocket_write(c, codigo, dados, tamanho) > 0) return true;
    if (numero >= 1 && numero <= MAX_CONEXOES) calada[numero - 1] = true;
    return false;
}

void enviarTexto(mg_connection* c, char tipo, const char* texto) {
    char mensagem[MAX_MENSAGEM];
    int n = snprintf(mensagem, sizeof mensagem, "%c%s", tipo, texto);
    if (n >= static_cast<int>(sizeof mensagem)) n = static_cast<int>(sizeof mensagem) - 1;
    escreverWs(c, MG_WEBSOCKET_OPCODE_TEXT, mensagem, static_cast<size_t>(n));
}

// The seat a device holds, and its secret to take it back.
void enviarAssento(mg_connection* c, int assento) {
    char aviso[TAM_SEGREDO + 16];
    snprintf(aviso, sizeof aviso, "%s %d", sala.assentos[assento].segredo, assento + 1);
    enviarTexto(c, MSG_ASSENTO, aviso);
}

void enviarSaida(mg_connection* c, const char* dados, int tamanho) {
    static char pedaco[1 + 16384];
    pedaco[0] = MSG_SAIDA;
    while (tamanho > 0) {
        int n = tamanho < 16384 ? tamanho : 16384;
        memcpy(pedaco + 1, dados, static_cast<size_t>(n));
        if (!escreverWs(c, MG_WEBSOCKET_OPCODE_BINARY, pedaco, static_cast<size_t>(n) + 1)) return;
        dados += n;
        tamanho -= n;
    }
}

void enviarSaida(mg_connection* c, const char* texto) { enviarSaida(c, texto, static_cast<int>(strlen(texto))); }

void encerrarConexao(mg_connection* c, const char* motivo) {
    enviarTexto(c, MSG_FIM, motivo);
    escreverWs(c, MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE, "", 0);
}

const char CABECALHO_APARELHO[] =
    "=====================================\n"
    "                ZOVA\n"
    "=====================================\n";

// Before the match: the device knows its seat, and what it waits for.
void enviarSaguao(mg_connection* c, int assento) {
    char tela[512];
    snprintf(tela, sizeof tela,
             "%s%s%s%s\nVoce entrou na sala: e o jogador %d.\n\nA partida comeca quando a sala der ENTER.\n",
             SEQ_CORES_PADRAO, SEQ_INICIO_TELA, SEQ_OCULTAR_CURSOR, CABECALHO_APARELHO, assento + 1);
    enviarSaida(c, tela);
}

// Another player's turn: who it is, and nothing of what they see.
void enviarEspera(mg_connection* c, int assento) {
    char tela[1024];
    char nome[TAM_NOME];
    nomeDoAssento(sala.vez, nome, sizeof nome);
    snprintf(tela, sizeof tela, "%s%s%s%s\nVoce e o jogador %d.\n\nVez de: %s\n\nAguarde a sua vez.\n",
             SEQ_CORES_PADRAO, SEQ_INICIO_TELA, SEQ_OCULTAR_CURSOR, CABECALHO_APARELHO, assento + 1, nome);
    enviarSaida(c, tela);
}

// Whose screen the output is: the turn's seat, or every seat.
bool alvo(int assento) { return sala.vez < 0 || sala.vez == assento; }

mg_connection* conexaoDoAssento(int assento) {
    int numero = sala.assentos[assento].conexao;
    return numero > 0 ? conexoesMg[numero - 1] : nullptr;
}

// What a device that (re)joins sees first.
void mostrarAoAssento(int assento) {
    mg_connection* c = conexaoDoAssento(assento);
    if (!c) return;
    if (!sala.partidaComecou)
        enviarSaguao(c, assento);
    else if (terminando)
        enviarSaida(c, telaDeTodos, tamTelaDeTodos);
    else if (alvo(assento))
        pedidoRedesenhar = true;  // the game draws the screen again, to the screens of the turn
    else
        enviarEspera(c, assento);
}

// ---------------------------------------------------------------------------
// The server's handlers

// Only the page's own files, by name, from its one folder: no path, no
// hidden file, nothing else of the machine.
bool nomeDeArquivo(const char* nome) {
    size_t n = strlen(nome);
    if (n == 0 || n > 64 || nome[0] == '.') return false;
    for (size_t i = 0; i < n; i++) {
        char c = nome[i];
        bool permitido = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                         c == '-' || c == '_';
        if (!permitido) return false;
    }
    return true;
}

const char* tipoDoArquivo(const char* nome) {
    const char* ponto = strrchr(nome, '.');
    if (!ponto) return "application/octet-stream";
    if (strcmp(ponto, ".html") == 0) return "text/html; charset=utf-8";
    if (strcmp(ponto, ".js") == 0) return "text/javascript; charset=utf-8";
    if (strcmp(ponto, ".css") == 0) return "text/css; charset=utf-8";
    if (strcmp(ponto, ".wasm") == 0) return "application/wasm";
    if (strcmp(ponto, ".webmanifest") == 0) return "application/manifest+json";
    if (strcmp(ponto, ".svg") == 0) return "image/svg+xml";
    if (strcmp(ponto, ".png") == 0) return "image/png";
    if (strcmp(ponto, ".txt") == 0) return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

int servirArquivo(mg_connection* c, void*) {
    const mg_request_info* pedido = mg_get_request_info(c);
    if (strcmp(pedido->request_method, "GET") != 0 && strcmp(pedido->request_method, "HEAD") != 0) {
        mg_send_http_error(c, 405, "%s", "");
        return 405;
    }
    const char* nome = strcmp(pedido->local_uri, "/") == 0 ? "index.html" : pedido->local_uri + 1;
    char caminho[4096];
    struct stat info;
    if (!nomeDeArquivo(nome) ||
        snprintf(caminho, sizeof caminho, "%s/%s", pastaPagina, nome) >= static_cast<int>(sizeof caminho) ||
        stat(caminho, &info) != 0 || !S_ISREG(info.st_mode)) {
        mg_send_http_error(c, 404, "%s", "");
        return 404;
    }
    char cabecalhos[2048];
    snprintf(cabecalhos, sizeof cabecalhos, "Content-Security-Policy: %s\r\nX-Content-Type-Options: nosniff\r\n",
             politica);
    mg_send_mime_file2(c, caminho, tipoDoArquivo(nome), cabecalhos);
    return 200;
}

// A connection gets its slot only once it is a WebSocket: one whose
// handshake fails is never told closed, and would keep the slot for ever.
int aoConectar(const mg_connection*, void*) {
    std::lock_guard<std::mutex> l(trava);
    return fechada ? 1 : 0;
}

void aoAbrir(mg_connection* c, void*) {
    std::lock_guard<std::mutex> l(trava);
    long long agora = agoraMs();
    int livre = -1;
    for (int i = 0; i < MAX_CONEXOES && livre < 0; i++) {
        if (!conexoes[i].aberta) livre = i;
    }
    // All taken: the oldest connection that never joined makes way, so that
    // nobody without the link can keep the players' devices out. It is
    // forgotten here at once, whether or not it heeds the close.
    long long maisAntiga = agora - ESPERA_ENTRADA_MS;
    for (int i = 0; i < MAX_CONEXOES && livre < 0; i++) {
        if (conexoes[i].assento >= 0 || conexoes[i].abertaEmMs > maisAntiga) continue;
        maisAntiga = conexoes[i].abertaEmMs;
        livre = i;
    }
    if (livre < 0 || fechada) {
        mg_set_user_connection_data(c, nullptr);
        mg_websocket_write(c, MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE, "", 0);
        return;
    }
    if (conexoes[livre].aberta && conexoesMg[livre]) {
        mg_set_user_connection_data(conexoesMg[livre], nullptr);
        if (!calada[livre]) mg_websocket_write(conexoesMg[livre], MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE, "", 0);
    }
    conexoes[livre] = ConexaoSala{};
    conexoes[livre].aberta = true;
    conexoes[livre].assento = -1;
    conexoes[livre].janelaMs = conexoes[livre].abertaEmMs = agora;
    conexoesMg[livre] = c;
    calada[livre] = false;
    mg_set_user_connection_data(c, reinterpret_cast<void*>(static_cast<intptr_t>(livre + 1)));
}

int aoReceber(mg_connection* c, int bits, char* dados, size_t tamanho, void*) {
    const int FIM_DA_MENSAGEM = 0x80;
    int codigo = bits & 0x0F;
    if (codigo == MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE) return 0;
    std::lock_guard<std::mutex> l(trava);
    int numero = numeroDaConexao(c);
    if (numero < 1 || numero > MAX_CONEXOES || fechada) return 0;
    ConexaoSala& conexao = conexoes[numero - 1];
    // Every frame counts against the flood limit, pings too; a message in
    // pieces is none the page sends.
    if (codigo != MG_WEBSOCKET_OPCODE_TEXT && codigo != MG_WEBSOCKET_OPCODE_BINARY) {
        bool controle = codigo == MG_WEBSOCKET_OPCODE_PING || codigo == MG_WEBSOCKET_OPCODE_PONG;
        return controle && dentroDoLimite(conexao, agoraMs()) ? 1 : 0;
    }
    if (!(bits & FIM_DA_MENSAGEM)) return 0;
    int n = tamanho > static_cast<size_t>(MAX_MENSAGEM) ? MAX_MENSAGEM + 1 : static_cast<int>(tamanho);
    char segredo[TAM_SEGREDO + 1] = "";
    // No seat is ever given a secret that is not random.
    if (conexao.assento < 0 && !hexAleatorio(segredo, TAM_SEGREDO)) return 0;
    ResultadoMensagem r = receberMensagem(sala, conexao, numero, dados, n, agoraMs(), segredo);
    switch (r.decisao) {
    case DECISAO_FECHAR: return 0;
    case DECISAO_RECUSAR: encerrarConexao(c, r.motivo); return 0;
    case DECISAO_IGNORAR: return 1;
    case DECISAO_ENTROU: {
        if (r.conexaoAnterior > 0 && conexoesMg[r.conexaoAnterior - 1]) {
            conexoes[r.conexaoAnterior - 1].assento = -1;  // its keys count no more
            encerrarConexao(conexoesMg[r.conexaoAnterior - 1], MOTIVO_OUTRO_APARELHO);
        }
        enviarAssento(c, r.assento);
        mostrarAoAssento(r.assento);
        if (sala.partidaComecou && sala.vez >= 0 && !terminando) desenharVezNaSala();
        saguaoMudou = true;
        mudou.notify_all();
        return 1;
    }
    case DECISAO_TECLAS:
        for (int i = 0; i < r.tamanho && fimFila < static_cast<int>(sizeof fila); i++) fila[fimFila++] = r.dados[i];
        mudou.notify_all();
        return 1;
    case DECISAO_DIMENSOES:
        if (sala.partidaComecou && alvo(r.assento)) {
            pedidoRedesenhar = true;
            mudou.notify_all();
        }
        return 1;
    }
    return 0;
}

void aoFechar(const mg_connection* c, void*) {
    std::lock_guard<std::mutex> l(trava);
    int numero = numeroDaConexao(c);
    if (numero < 1 || numero > MAX_CONEXOES) return;  // never given a slot, or it made way
    conexaoFechada(sala, conexoes[numero - 1], numero, agoraMs());
    conexoesMg[numero - 1] = nullptr;
    // The room's terminal shows who is away.
    if (sala.partidaComecou && sala.vez >= 0 && !terminando && !fechada) desenharVezNaSala();
    saguaoMudou = true;
    mudou.notify_all();
}

// CivetWeb's own messages (a port taken...) are the room's to tell.
int calarServidor(const mg_connection*, const char*) { return 1; }

}  // namespace

// ---------------------------------------------------------------------------

int abrirSala(const AberturaSala& abertura) {
    pastaPagina = abertura.pasta;
    politica = abertura.politica;
    iniciarSala(sala, abertura.token);
    mg_init_library(0);
    mg_callbacks callbacks = {};
    callbacks.log_message = calarServidor;
    for (int tentativa = 0; tentativa < (abertura.procurarPorta ? 20 : 1); tentativa++) {
        int porta = abertura.porta + tentativa;
        char portas[96];
        snprintf(portas, sizeof portas, "%s:%d", abertura.endereco, porta);
        const char* opcoes[] = {"listening_ports", portas, "num_threads", "48", "enable_directory_listing", "no",
                                "websocket_timeout_ms", "30000", "enable_websocket_ping_pong", "yes",
                                "request_timeout_ms", "10000",
                                // A frame goes out as its header and its payload, two small
                                // writes: without this, the echo of each key waits for the
                                // device's delayed acknowledgement, tens of milliseconds.
                                "tcp_nodelay", "1",
                                // Asked again on every visit: a room's page is the build's.
                                "static_file_max_age", "0", nullptr};
        servidor = mg_start(&callbacks, nullptr, opcoes);
        if (!servidor) continue;
        mg_set_request_handler(servidor, "/", servirArquivo, nullptr);
        mg_set_websocket_handler(servidor, CAMINHO_SALA, aoConectar, aoAbrir, aoReceber, aoFechar, nullptr);
        snprintf(linkSala, sizeof linkSala, "http://%s:%d/#%s", abertura.enderecoLink, porta, abertura.token);
        return porta;
    }
    fprintf(stderr, "zova: a sala nao pode escutar em %s, porta %d%s\n", abertura.endereco, abertura.porta,
            abertura.procurarPorta ? " (nem nas seguintes)" : "");
    return 0;
}

void fecharSalaPorSinal() {
    {
        std::lock_guard<std::mutex> l(trava);
        porSinal = true;
    }
    fecharSala(MOTIVO_SALA_ENCERRADA);
}

void fecharSala(const char* motivo) {
    {
        std::lock_guard<std::mutex> l(trava);
        if (fechada) return;
        fechada = true;
        for (int i = 0; i < MAX_CONEXOES; i++) {
            if (conexoesMg[i]) encerrarConexao(conexoesMg[i], motivo);
        }
        mudou.notify_all();
    }
    // Outside the lock: stopping waits for the handlers, which take it.
    if (servidor) mg_stop(servidor);
    servidor = nullptr;
}

const char* linkDaSala() { return linkSala; }

int esperarJogadores() {
    std::unique_lock<std::mutex> l(trava);
    for (;;) {
        if (saguaoMudou) {
            saguaoMudou = false;
            desenharSaguao();
        }
        if (entersDaSala > 0) {
            entersDaSala = 0;
            int presentes = 0;
            for (int i = 0; i < sala.qtdAssentos; i++) presentes += sala.assentos[i].conexao != 0;
            if (presentes >= MIN_ASSENTOS_PARTIDA) break;
            escreverNaTela("\nAinda nao: a partida precisa de pelo menos 2 jogadores na sala.\n");
        }
        mudou.wait(l);
    }
    // Only the devices in the room play; each is told its number again.
    fecharAssentos(sala, conexoes);
    for (int i = 0; i < sala.qtdAssentos; i++) {
        mg_connection* c = conexaoDoAssento(i);
        if (c) enviarAssento(c, i);
    }
    sala.partidaComecou = true;
    sala.vez = VEZ_DA_SALA;
    // The room answers the number of players itself: everyone who joined.
    fimFila = inicioFila = 0;
    fila[fimFila++] = static_cast<char>('0' + sala.qtdAssentos);
    fila[fimFila++] = '\r';
    return sala.qtdAssentos;
}

namespace {
void lerDaSala() {
    char bytes[256];
    for (;;) {
        ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
        // Ctrl-D at a terminal ends nothing for good: the room still takes
        // its Enter.
        if (n == 0 && isatty(STDIN_FILENO)) continue;
        if (n <= 0) return;  // the room's terminal is gone: Ctrl-C or the devices go on
        std::lock_guard<std::mutex> l(trava);
        for (ssize_t i = 0; i < n; i++) {
            if (bytes[i] != '\n') continue;
            if (!sala.partidaComecou || terminando) {
                entersDaSala++;
            } else if (sala.vez == VEZ_DE_TODOS_SALA && fimFila < static_cast<int>(sizeof fila)) {
                fila[fimFila++] = '\r';  // an Enter on everyone's screen, as a device's
            }
        }
        mudou.notify_all();
    }
}
}  // namespace

void iniciarLeituraDaSala() { std::thread(lerDaSala).detach(); }

void darVezNaSala(int vez) {
    std::lock_guard<std::mutex> l(trava);
    sala.vez = vez;
    inicioFila = fimFila = 0;
    pedidoRedesenhar = false;
    inicioVezMs = agoraMs();
    ausenciaAvisada = false;
    tamTelaDeTodos = 0;
    for (int i = 0; i < sala.qtdAssentos; i++) {
        mg_connection* c = conexaoDoAssento(i);
        if (c && !alvo(i)) enviarEspera(c, i);
    }
    if (vez >= 0) desenharVezNaSala();
}

void nomearNaSala(int assento, const char* nome) {
    std::lock_guard<std::mutex> l(trava);
    if (assento < 0 || assento >= MAX_ASSENTOS) return;
    snprintf(nomes[assento], sizeof nomes[assento], "%s", nome);
}

void escreverNaSala(const char* dados, int tamanho) {
    std::lock_guard<std::mutex> l(trava);
    for (int i = 0; i < sala.qtdAssentos; i++) {
        mg_connection* c = conexaoDoAssento(i);
        if (c && alvo(i)) enviarSaida(c, dados, tamanho);
    }
    if (sala.vez < 0) {
        escreverNaTela(dados, static_cast<size_t>(tamanho));
        if (tamanho <= static_cast<int>(sizeof telaDeTodos) - tamTelaDeTodos) {
            memcpy(telaDeTodos + tamTelaDeTodos, dados, static_cast<size_t>(tamanho));
            tamTelaDeTodos += tamanho;
        }
    }
}

int lerByteDaSala(int esperaMs, int semByte, int redesenhar, int fim) {
    std::unique_lock<std::mutex> l(trava);
    long long limite = esperaMs >= 0 ? agoraMs() + esperaMs : -1;
    for (;;) {
        while (fechada && porSinal) mudou.wait(l);
        if (fechada) return fim;
        if (esperaMs < 0 && pedidoRedesenhar) {
            pedidoRedesenhar = false;
            return redesenhar;
        }
        if (inicioFila < fimFila) {
            int byte = static_cast<unsigned char>(fila[inicioFila++]);
            if (inicioFila == fimFila) inicioFila = fimFila = 0;
            return byte;
        }
        long long agora = agoraMs();
        if (sala.vez >= 0 && ausenteDemais(sala, sala.vez, inicioVezMs, agora)) {
            if (!ausenciaAvisada) {
                ausenciaAvisada = true;
                char nome[TAM_NOME], aviso[400];
                nomeDoAssento(sala.vez, nome, sizeof nome);
                snprintf(aviso, sizeof aviso, "\nA vez de %s terminou: o aparelho ficou 2 minutos fora da sala.\n",
                         nome);
                escreverNaTela(aviso);
            }
            return fim;
        }
        if (limite >= 0 && agora >= limite) return semByte;
        // Wake at the limit of the read, or when an absent device's wait is
        // over; a second at most, whatever the clock does.
        long long espera = 1000;
        if (limite >= 0 && limite - agora < espera) espera = limite - agora;
        mudou.wait_for(l, std::chrono::milliseconds(espera));
    }
}

int pausarNaSala(int ms) {
    std::unique_lock<std::mutex> l(trava);
    long long limite = agoraMs() + ms;
    for (;;) {
        long long agora = agoraMs();
        if (fechada && porSinal) {
            mudou.wait(l);
            continue;
        }
        if (agora >= limite || fechada) return 0;
        if (pedidoRedesenhar) {
            pedidoRedesenhar = false;
            return static_cast<int>(limite - agora);
        }
        mudou.wait_for(l, std::chrono::milliseconds(limite - agora));
    }
}

void descartarTeclasDaSala() {
    std::lock_guard<std::mutex> l(trava);
    inicioFila = fimFila = 0;
}

namespace {
// The narrowest widget among the screens of the turn, so the line being
// typed wraps where every one of them wraps it.
int menorDimensao(bool colunas) {
    std::lock_guard<std::mutex> l(trava);
    int menor = 0;
    for (int i = 0; i < sala.qtdAssentos; i++) {
        const Assento& a = sala.assentos[i];
        int valor = colunas ? a.colunas : a.linhas;
        if (a.conexao && alvo(i) && valor > 0 && (menor == 0 || valor < menor)) menor = valor;
    }
    return menor;
}
}  // namespace

int colunasDaSala() { return menorDimensao(true); }

int linhasDaSala() { return menorDimensao(false); }

void terminarSala() {
    {
        std::unique_lock<std::mutex> l(trava);
        terminando = true;
        entersDaSala = 0;
        escreverNaTela(SEQ_CORES_PADRAO);
        escreverNaTela("\n\nA partida terminou. Pressione ENTER para fechar a sala.\n");
        while ((entersDaSala == 0 && !fechada) || porSinal) mudou.wait(l);
    }
    fecharSala(MOTIVO_SALA_ENCERRADA);
}
