// The console services: screens, the output that waits for the next read,
// and the reads of keys, lines and numbers. They stand between the game and
// the pieces below them: the output record (saida), the line editor, the
// key decoder's codes, UTF-8, and the one platform backend linked in
// (terminal.h). Nothing below calls back up here: a backend that needs the
// screen drawn again says so through what its reads return.

#include "console/console.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console/comando_cor.h"
#include "console/editor_linha.h"
#include "console/grafemas.h"
#include "console/inteiros.h"
#include "console/saida.h"
#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/terminal.h"
#include "console/utf8.h"

const char LINHA_REGRA[] = "=====================================";
const char LINHA_REGRA_LARGA[] = "=====================================================";

namespace {

// ---------------------------------------------------------------------------
// Output

bool entradaAcabou = false;

// The size of a window that tells none.
const int COLUNAS_PADRAO = 80;
const int LINHAS_PADRAO = 24;

void acrescentarByte(char c) { acrescentarSaida(&c, 1); }

void acrescentarTexto(const char* texto) { acrescentarSaida(texto, static_cast<int>(strlen(texto))); }

// Player text goes to the screen as text only: the terminal must not take
// any of it as a control (an arrow pressed at a prompt stores ESC [ A, which
// sent raw would move the cursor; ESC [ 2 J would clear the screen). C0
// controls and DEL take the caret form, C1 controls (raw, or encoded in
// UTF-8) the M-^ form; well-formed UTF-8 passes whole, so accents show.
typedef void (*Acrescentar)(const char* dados, int tamanho);

void caret(unsigned char c, Acrescentar acrescentar) {
    char par[2] = {'^', static_cast<char>(c ^ 0x40)};
    acrescentar(par, 2);
}

void visivel(const char* texto, Acrescentar acrescentar) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(texto);
    while (*s) {
        unsigned char c = *s;
        if (c < 0x20 || c == 0x7F) {
            caret(c, acrescentar);
            s++;
            continue;
        }
        if (c < 0x80) {
            acrescentar(reinterpret_cast<const char*>(s), 1);
            s++;
            continue;
        }
        int n = tamanhoUtf8(s);
        int controleC1 = -1;
        if (n == 2 && c == 0xC2 && s[1] < 0xA0) controleC1 = s[1];
        if (n == 0 && c < 0xA0) controleC1 = c;
        if (controleC1 >= 0) {
            acrescentar("M-", 2);
            caret(static_cast<unsigned char>(controleC1 - 0x80), acrescentar);
            s += n > 0 ? n : 1;
        } else if (n > 0) {
            acrescentar(reinterpret_cast<const char*>(s), n);
            s += n;
        } else {
            acrescentar(reinterpret_cast<const char*>(s), 1);  // a stray byte of no control meaning
            s++;
        }
    }
}

void acrescentarVisivel(const char* texto) { visivel(texto, acrescentarSaida); }

void acrescentarInteiro(int valor) {
    char digitos[12];
    acrescentarSaida(digitos, formatarInteiro(digitos, valor));
}

// ---------------------------------------------------------------------------
// What the terminal is in, for whoever must put it back

// The colour in force, as its sequence, and whether the cursor is hidden:
// the backend sends them again when the game comes back from a stop.
char sgrAtual[TAM_SEQUENCIA];
int tamSgrAtual = 0;
bool cursorOculto = false;

void guardarRetomada() {
    char retomada[TAM_SEQUENCIA + sizeof SEQ_OCULTAR_CURSOR];
    memcpy(retomada, sgrAtual, static_cast<size_t>(tamSgrAtual));
    int n = tamSgrAtual;
    if (cursorOculto) {
        memcpy(retomada + n, SEQ_OCULTAR_CURSOR, sizeof SEQ_OCULTAR_CURSOR - 1);
        n += static_cast<int>(sizeof SEQ_OCULTAR_CURSOR - 1);
    }
    terminalGuardarRetomada(retomada, n);
}

// The cursor's state goes out with the next write, where there is a cursor
// to hide.
void mostrarCursor(bool mostrar) {
    if (!terminalEscondeCursor() || mostrar == !cursorOculto) return;
    cursorOculto = !mostrar;
    acrescentarTexto(mostrar ? SEQ_MOSTRAR_CURSOR : SEQ_OCULTAR_CURSOR);
    guardarRetomada();
}

// Where each player has a screen of their own, the screen that now shows
// the game may have been left with its cursor either way (another player's
// turn, a device that just came back): it gets the cursor's state again.
void reafirmarCursor() {
    if (!terminalTelaPorJogador() || !terminalEscondeCursor()) return;
    const char* sequencia = cursorOculto ? SEQ_OCULTAR_CURSOR : SEQ_MOSTRAR_CURSOR;
    terminalEscrever(sequencia, static_cast<int>(strlen(sequencia)));
}

// An interrupted game ends past the line being typed, linhas rows below the
// cursor, so the shell starts on a row of its own.
void guardarInterrupcao(int linhas) {
    char quebras[MAX_LINHAS_EDICAO + 2];
    int n = 0;
    while (n <= linhas && n < static_cast<int>(sizeof quebras)) quebras[n++] = '\n';
    terminalGuardarInterrupcao(quebras, n);
}

// The window's size, as the backend tells it; a terminal that tells nothing
// is taken as the classic 80 by 24.
int colunasDaTela() {
    int colunas = terminalColunas();
    return colunas > 0 ? colunas : COLUNAS_PADRAO;
}

int linhasDaTela() {
    int linhas = terminalLinhas();
    return linhas > 0 ? linhas : LINHAS_PADRAO;
}

// ---------------------------------------------------------------------------
// Standard input
//
// What has come of standard input and is not read yet: the rest of a line
// longer than a read takes, the numbers after the first on a score line.
// A line from the line editor joins it whole, with its newline.

char pendente[MAX_LINHA + 1];
const int TAM_OLHAR = 64;  // bytes either side of a cut that say where a character ends
int inicioPendente = 0;
int fimPendente = 0;

// ---------------------------------------------------------------------------
// Lines typed in the game's own line editor

EdicaoLinha edicao;
bool emEdicao = false;

// The second code of an extended key, owed to the sheet's next lerTecla.
int segundoCodigo = -1;

// The screen again, after a resize or a stop: what it has shown since it was
// cleared, then the line being typed, if one is.
void redesenharTela() {
    if (!terminalTomaSequencias()) terminalLimpar();  // the record holds no clear of its own there
    reescreverSaida();
    reafirmarCursor();
    if (!emEdicao) return;
    edicao.tamQuadro = 0;
    int colunas = colunasDaTela();
    redesenharEdicao(edicao, colunaDaSaida(colunas), colunas, linhasDaTela());
    terminalEscrever(edicao.quadro, edicao.tamQuadro);
    guardarInterrupcao(linhasAteOFim(edicao));
}

// A key from the backend; a redraw it asks for is done here, and the read
// goes on.
int lerTeclaRedesenhando() {
    for (;;) {
        int codigo = terminalLerTecla();
        if (codigo != TECLA_REDESENHAR) return codigo;
        redesenharTela();
    }
}

// Reads one line through the editor, of at most limite bytes: its bytes
// and the newline in destino (MAX_LINHA + 1 bytes), their number, or 0 when
// the input has ended.
int editarLinha(char* destino, int limite) {
    EdicaoLinha& e = edicao;
    int colunas = colunasDaTela();
    iniciarEdicao(e, colunaDaSaida(colunas), colunas, linhasDaTela(), limite, terminalQuebraDeImediato());
    emEdicao = true;
    ResultadoEdicao r = EDICAO_SEGUE;
    while (r == EDICAO_SEGUE) {
        int codigo = lerTeclaRedesenhando();
        if (codigo == TECLA_FIM) {
            r = EDICAO_FIM_DA_ENTRADA;
            break;
        }
        char caractere[4];
        int tamCaractere = codigo == TECLA_NAO_ASCII ? terminalCaractereDaTecla(caractere) : 0;
        e.tamQuadro = 0;
        r = aplicarTeclaEdicao(e, codigo, caractere, tamCaractere);
        if (r == EDICAO_FIM_DA_ENTRADA && !terminalEntradaPodeAcabar()) r = EDICAO_SEGUE;
        if (e.tamQuadro > 0) terminalEscrever(e.quadro, e.tamQuadro);
        guardarInterrupcao(r == EDICAO_SEGUE ? linhasAteOFim(e) : 0);
        if (r == EDICAO_REDESENHAR_TELA) {  // Ctrl-L: the screen, cleared, with the line
            redesenharTela();
            r = EDICAO_SEGUE;
        }
    }
    emEdicao = false;
    guardarInterrupcao(0);
    if (r == EDICAO_FIM_DA_ENTRADA) return 0;
    memcpy(destino, e.texto, static_cast<size_t>(e.tamanho));
    destino[e.tamanho] = '\n';
    // The screen's record takes the line as shown, so a redraw shows it too.
    registrarEco(destino, e.tamanho + 1);
    return e.tamanho + 1;
}

// Bytes of standard input not edited here; a redraw asked for meanwhile is
// done here.
int lerEntrada(char* destino, int tamanho) {
    for (;;) {
        int n = terminalLerEntrada(destino, tamanho);
        if (n != ENTRADA_REDESENHAR) return n;
        redesenharTela();
    }
}

// Fills the pending buffer with what standard input gives next: a line
// typed in the editor (of at most limite bytes, and its newline) or the
// bytes of the stream. False once the input has ended; from then on it
// stays ended: no read waits again, and nothing retries a closed stream.
bool receberEntrada(int limite) {
    inicioPendente = fimPendente = 0;
    if (entradaAcabou) return false;
    int n = terminalEditaLinhas() ? editarLinha(pendente, limite) : lerEntrada(pendente, sizeof pendente);
    if (n <= 0) {
        entradaAcabou = true;
        return false;
    }
    fimPendente = n;
    return true;
}

// One byte of standard input, or TECLA_FIM once it has ended.
int lerByte() {
    if (inicioPendente == fimPendente && !receberEntrada(MAX_LINHA)) return TECLA_FIM;
    return static_cast<unsigned char>(pendente[inicioPendente++]);
}

// Gives back the byte just read, for the next read.
void devolverByte(int c) {
    if (c != TECLA_FIM && inicioPendente > 0) inicioPendente--;
}

// A line cut at its size keeps whole what the player sees as one character
// (a letter and its accent, an emoji and its skin tone): the bytes of the
// last one, if it goes on in what is pending, are given back for the next
// read. Returns how many bytes the line keeps.
int semPartirGrafema(const char* linha, int n) {
    char junto[2 * TAM_OLHAR];
    int inicio = n > TAM_OLHAR ? n - TAM_OLHAR : 0;
    int tam = n - inicio;
    memcpy(junto, linha + inicio, static_cast<size_t>(tam));
    for (int i = inicioPendente; i < fimPendente && tam < 2 * TAM_OLHAR && pendente[i] != '\n'; i++)
        junto[tam++] = pendente[i];
    int fim = grafemaAnterior(junto, tam, n - inicio) + inicio;
    // Only bytes still in the pending buffer can be given back, and a
    // character longer than the whole line is cut after all.
    if (fim == n || fim == 0 || n - fim > inicioPendente) return n;
    inicioPendente -= n - fim;
    return fim;
}

// ---------------------------------------------------------------------------
// Turns

// A screen for everyone takes no key for this long after it appears: long
// enough for a second Enter pressed in haste, short enough that nobody waits.
const int GUARDA_MS = 500;

bool vezPendente = false;  // passarVez was called, and no read has started the turn yet
int proximaVez = VEZ_DE_TODOS;

// The first read after a hand-off: what came before is dropped just before
// the screen goes out, so a key pressed as soon as it appears counts.
void comecarVez() {
    if (!vezPendente) return;
    vezPendente = false;
    segundoCodigo = -1;
    terminalDescartarTeclas();
    if (!terminalEditaLinhas()) return;
    inicioPendente = fimPendente = 0;
    // Nobody is left to press a hasty Enter once the input has ended.
    if (proximaVez == VEZ_DE_TODOS && !entradaAcabou) {
        mostrarCursor(false);  // nothing is read yet
        pausar(GUARDA_MS);     // and drops what came during it
    }
}

// A read of standard input may wait for the player: whatever was written is
// on the screen first, with the cursor where the line is typed.
void iniciarLeitura() {
    comecarVez();
    mostrarCursor(true);
    descarregarSaida();
}

}  // namespace

// ---------------------------------------------------------------------------
// Console operations

void iniciarConsole() {
    iniciarSaida();
    tamSgrAtual = 0;
    cursorOculto = false;
    entradaAcabou = false;
    emEdicao = false;
    segundoCodigo = -1;
    vezPendente = false;
    inicioPendente = fimPendente = 0;
    terminalIniciar();
    guardarInterrupcao(0);
}

void encerrarConsole() {
    mostrarCursor(terminalDevolvidoAoFim());
    descarregarSaida();
    terminalEncerrar();
}

void aplicarCor(const char* comando) {
    int fundo, texto;
    if (!interpretarCor(comando, fundo, texto)) return;
    if (terminalTomaSequencias()) {
        tamSgrAtual = sequenciaCor(sgrAtual, fundo == 0 && terminalFundoPadraoPreto() ? FUNDO_PADRAO : fundo, texto);
        acrescentarSaida(sgrAtual, tamSgrAtual);
        guardarRetomada();
    } else {
        descarregarSaida();  // what was written keeps the colour it was written in
        terminalAplicarCor(fundo, texto);
    }
}

void limparTela() {
    if (terminalTomaSequencias()) {
        acrescentarSaida(SEQ_INICIO_TELA, sizeof SEQ_INICIO_TELA - 1);
    } else {
        descarregarSaida();
        terminalLimpar();
    }
}

namespace {
void iniciarTela(const char* comando) {
    comecarTelaNaSaida();
    aplicarCor(comando);
    limparTela();
    escreverLinha(LINHA_REGRA);
}
}  // namespace

void abrirTela(const char* comando, const char* titulo) {
    iniciarTela(comando);
    escreverLinha(titulo);
    escreverLinha(LINHA_REGRA);
}

void abrirTela(const char* comando, const char* formatoTitulo, int rodada) {
    iniciarTela(comando);
    escrever(formatoTitulo, rodada);
    escreverLinha(LINHA_REGRA);
}

void escreverLinha(const char* texto) {
    acrescentarTexto(texto);
    acrescentarByte('\n');
}

void escrever(const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    for (const char* p = formato; *p; p++) {
        if (*p != '%') {
            acrescentarByte(*p);
            continue;
        }
        switch (p[1]) {
        case 's': acrescentarVisivel(va_arg(args, const char*)); break;
        case 'd': acrescentarInteiro(va_arg(args, int)); break;
        case 'c': {
            char c[2] = {static_cast<char>(va_arg(args, int)), '\0'};
            acrescentarVisivel(c);
            break;
        }
        case '%': acrescentarByte('%'); break;
        default:  // not a conversion of ours: written as it stands
            acrescentarByte('%');
            if (p[1] == '\0') continue;
            acrescentarByte(p[1]);
            break;
        }
        p++;
    }
    va_end(args);
}

int lerTecla() {
    comecarVez();
    if (segundoCodigo >= 0) {
        int codigo = segundoCodigo;
        segundoCodigo = -1;
        return codigo;
    }
    mostrarCursor(false);  // the sheet's cursor is its arrow
    descarregarSaida();
    // Once standard input has ended the players are gone: no read waits.
    if (entradaAcabou) return TECLA_FIM;
    int codigo = lerTeclaRedesenhando();
    // The sheet reads an extended key as two codes: here and only here.
    if (codigo >= TECLA_ESTENDIDA) {
        segundoCodigo = codigo - TECLA_ESTENDIDA;
        return PREFIXO_ESTENDIDA;
    }
    return codigo;
}

void tirarEnter(char* texto) {
    size_t tamanho = strlen(texto);
    if (tamanho > 0 && texto[tamanho - 1] == '\n') texto[tamanho - 1] = '\0';
}

bool lerLinha(char* destino, int tamanho) {
    if (tamanho < 1) return false;
    iniciarLeitura();
    // A line typed at the terminal for this read is this read's alone: the
    // editor takes no more than the read holds, and its Enter goes with it,
    // so nothing of it is left for another prompt.
    if (inicioPendente == fimPendente && terminalEditaLinhas()) {
        if (!receberEntrada(tamanho - 1)) return false;
        int n = fimPendente - 1;  // the newline is the last byte
        memcpy(destino, pendente, static_cast<size_t>(n));
        destino[n] = '\0';
        inicioPendente = fimPendente = 0;
        return true;
    }
    int n = 0;
    bool leu = false;
    bool cheia = false;
    while (n < tamanho - 1) {
        int c = lerByte();
        if (c == TECLA_FIM) break;
        // A character of several bytes that does not fit is left whole for
        // the next read, as the rest of a long line is.
        int seguintes = seguintesUtf8(c);
        if (n > 0 && seguintes > 0 && n + 1 + seguintes > tamanho - 1) {
            devolverByte(c);
            leu = cheia = true;
            break;
        }
        leu = true;
        destino[n++] = static_cast<char>(c);
        if (c == '\n') break;
        cheia = n == tamanho - 1;
    }
    if (cheia) n = semPartirGrafema(destino, n);
    if (leu) {
        destino[n] = '\0';
        tirarEnter(destino);
    }
    return leu;
}

bool lerInteiro(int& destino) {
    iniciarLeitura();
    int c;
    do {
        c = lerByte();
    } while (c != TECLA_FIM && isspace(c));
    bool negativo = false;
    if (c == '+' || c == '-') {
        negativo = c == '-';
        c = lerByte();
    }
    if (c == TECLA_FIM || !isdigit(c)) {
        devolverByte(c);
        return false;
    }
    // Every digit is taken; past the range of an int the value stays at the limit.
    const long long LIMITE = -static_cast<long long>(INT_MIN);
    long long valor = 0;
    while (c != TECLA_FIM && isdigit(c)) {
        if (valor <= LIMITE) valor = valor * 10 + (c - '0');
        c = lerByte();
    }
    devolverByte(c);
    if (negativo) valor = -valor;
    if (valor > INT_MAX) valor = INT_MAX;
    if (valor < INT_MIN) valor = INT_MIN;
    destino = static_cast<int>(valor);
    return true;
}

void consumirCaractere() {
    iniciarLeitura();
    lerByte();
}

void descartarLinha() {
    iniciarLeitura();
    int c;
    do {
        c = lerByte();
    } while (c != TECLA_FIM && c != '\n');
}

bool fimDaEntrada() { return entradaAcabou; }

void comecarLinha() {
    if (!saidaEmLinhaNova()) acrescentarByte('\n');
}

// Keys pressed while the screen waited belong to no screen.
void pausar(int ms) {
    descarregarSaida();
    while ((ms = terminalPausar(ms)) > 0) redesenharTela();
    terminalDescartarTeclas();
}

void passarVez(int vez) {
    vezPendente = true;
    proximaVez = vez;
    if (!terminalTelaPorJogador()) return;
    // What was written for the last turn reaches its screen before the
    // next screen goes to another. A player gone away ended their own turn
    // only: the next one can type.
    descarregarSaida();
    terminalDarVez(vez);
    entradaAcabou = false;
    reafirmarCursor();
}

void cederTeclado(int vez) {
    if (!terminalTelaPorJogador()) return;
    descarregarSaida();
    terminalDarVez(vez);
    entradaAcabou = false;
    // The rest of one player's line never answers another's prompt.
    inicioPendente = fimPendente = 0;
    segundoCodigo = -1;
    reescreverSaida();
    reafirmarCursor();
}

namespace {
// A name as shown: each byte of a name (49 at most) becomes at most four.
const int TAM_NOME_VISIVEL = 64;
char nomeVisivel[4 * TAM_NOME_VISIVEL];
int tamNomeVisivel = 0;

void acrescentarAoNome(const char* dados, int tamanho) {
    if (tamanho > static_cast<int>(sizeof nomeVisivel) - 1 - tamNomeVisivel) return;
    memcpy(nomeVisivel + tamNomeVisivel, dados, static_cast<size_t>(tamanho));
    tamNomeVisivel += tamanho;
}
}  // namespace

void apresentarJogador(int jogador, const char* nome) {
    if (!terminalTelaPorJogador()) return;
    tamNomeVisivel = 0;
    visivel(nome, acrescentarAoNome);
    nomeVisivel[tamNomeVisivel] = '\0';
    terminalNomearJogador(jogador, nomeVisivel);
}

bool janelaFechaComOJogo() { return terminalJanelaFechaComOJogo(); }

void esperarEnterParaSair() {
    terminalConcluir();
    iniciarLeitura();
    if (entradaAcabou) return;
    const int CTRL_D = 4;
    for (;;) {
        int tecla = lerTeclaRedesenhando();
        if (tecla == TECLA_FIM || tecla == TECLA_ENTER || tecla == CTRL_D) break;
    }
    // Where the window stays, what comes next starts on a row of its own.
    acrescentarByte('\n');
}
