// zova-sala: a room for one match, each player on their own device. Run by
// `zova --sala`. Opens the server, shows the link and its QR code, waits
// for the players, then plays the match through the same console services
// as every other edition, with the room as their terminal.

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "console/console.h"
#include "jogo/linha_de_comando.h"
#include "jogo/partida.h"
#include "sala/aleatorio.h"
#include "sala/pagina_sala.h"
#include "sala/sala.h"

namespace {

const int PORTA_PADRAO = 8765;

const char TEXTO_USO_SALA[] =
    "Uso: zova --sala [--porta N] [--endereco IP]\n"
    "Abre uma sala: cada jogador joga no seu celular, pelo link que a sala mostra.\n"
    "\n"
    "  --porta N       escuta na porta N (sem ela, 8765 ou a seguinte livre)\n"
    "  --endereco IP   escuta so neste endereco IPv4 (sem ele, o da rede local)\n"
    "  -h, --help      mostra esta ajuda e sai\n";

struct OpcoesSala {
    int porta;
    bool portaEscolhida;
    const char* endereco;
};

// Named as the game names an argument it does not know: its control
// characters shown as '?', so that it cannot act on the terminal.
int recusar(const char* argumento) {
    char recusa[TAM_RECUSA];
    montarRecusa(recusa, argumento);
    fputs(recusa, stderr);
    return STATUS_USO_ERRADO;
}

bool lerPorta(const char* texto, int& porta) {
    char* fim = nullptr;
    long valor = strtol(texto, &fim, 10);
    if (fim == texto || *fim != '\0' || valor < 1 || valor > 65535) return false;
    porta = static_cast<int>(valor);
    return true;
}

bool ipv4(const char* texto) {
    in_addr endereco;
    return inet_pton(AF_INET, texto, &endereco) == 1;
}

// The machine's address on the local network: the first IPv4 address of
// an interface that is up and is not the loopback.
bool enderecoDaRede(char destino[INET_ADDRSTRLEN]) {
    ifaddrs* lista = nullptr;
    if (getifaddrs(&lista) != 0) return false;
    bool achou = false;
    for (ifaddrs* i = lista; i && !achou; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        const sockaddr_in* endereco = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        achou = inet_ntop(AF_INET, &endereco->sin_addr, destino, INET_ADDRSTRLEN) != nullptr;
    }
    freeifaddrs(lista);
    return achou;
}

// CivetWeb reads a whole frame into memory before the room sees its size:
// a bound on the process's data keeps one huge frame, from anyone, from
// taking the machine's memory (the frame is refused, the room goes on).
// Not under the sanitizers, whose shadow memory is data too.
void limitarMemoria() {
#if !defined(__SANITIZE_ADDRESS__)
    const rlim_t LIMITE = 1024UL * 1024 * 1024;
    rlimit limite;
    if (getrlimit(RLIMIT_DATA, &limite) != 0) return;
    if (limite.rlim_cur != RLIM_INFINITY && limite.rlim_cur <= LIMITE) return;
    limite.rlim_cur = LIMITE;
    setrlimit(RLIMIT_DATA, &limite);
#endif
}

// Ctrl-C, a closed window or a kill close the room: every device is told,
// and the room's terminal gets its colours and cursor back.
void esperarSinal(sigset_t sinais) {
    int sinal = 0;
    sigwait(&sinais, &sinal);
    fecharSalaPorSinal();
    const char fim[] = "\x1b[0m\x1b[?25h\nSala encerrada.\n";
    ssize_t escrito = write(STDOUT_FILENO, fim, sizeof fim - 1);
    (void)escrito;
    _exit(sinal == SIGINT ? 0 : 128 + sinal);
}

}  // namespace

int main(int argc, char* argv[]) {
    OpcoesSala opcoes = {PORTA_PADRAO, false, nullptr};
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            fputs(TEXTO_USO_SALA, stdout);
            return fflush(stdout) == 0 ? 0 : 1;
        }
        if (strcmp(argv[i], "--porta") == 0 && i + 1 < argc) {
            if (!lerPorta(argv[++i], opcoes.porta)) return recusar(argv[i]);
            opcoes.portaEscolhida = true;
        } else if (strcmp(argv[i], "--endereco") == 0 && i + 1 < argc) {
            opcoes.endereco = argv[++i];
            if (!ipv4(opcoes.endereco)) return recusar(opcoes.endereco);
        } else {
            return recusar(argv[i]);
        }
    }
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        fputs("zova: a sala mostra o link e comeca a partida num terminal: abra-a num terminal.\n", stderr);
        return 1;
    }
    PaginaSala pagina;
    if (!acharPaginaSala(argv[0], pagina)) return 1;

    char token[TAM_TOKEN + 1];
    if (!hexAleatorio(token, TAM_TOKEN)) {
        fputs("zova: o sistema nao deu numeros aleatorios para o link da sala.\n", stderr);
        return 1;
    }
    char daRede[INET_ADDRSTRLEN] = "127.0.0.1";
    bool temRede = enderecoDaRede(daRede);
    const char* endereco = opcoes.endereco ? opcoes.endereco : daRede;
    const char* enderecoLink = strcmp(endereco, "0.0.0.0") == 0 ? daRede : endereco;
    if (!opcoes.endereco && !temRede)
        fputs("zova: nenhuma rede local encontrada; a sala escuta so neste computador.\n", stderr);

    // Every thread the room starts inherits these blocked: one thread alone
    // takes them.
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
    signal(SIGPIPE, SIG_IGN);
    // A stopped room would freeze every phone: Ctrl-Z does nothing here, and
    // a room sent to the background goes on (its terminal just cannot
    // start it).
    signal(SIGTSTP, SIG_IGN);
    signal(SIGTTIN, SIG_IGN);
    signal(SIGTTOU, SIG_IGN);
    limitarMemoria();

    AberturaSala abertura = {endereco,     enderecoLink,    opcoes.porta, !opcoes.portaEscolhida,
                             pagina.pasta, pagina.politica, token};
    if (abrirSala(abertura) == 0) return 1;
    std::thread(esperarSinal, sinais).detach();
    iniciarLeituraDaSala();
    esperarJogadores();

    Partida partida = {};
    iniciarConsole();
    jogarPartida(partida, static_cast<unsigned>(time(nullptr)));
    encerrarConsole();
    fputs("\x1b[0m\x1b[?25h\nSala encerrada.\n", stdout);
    return 0;
}
