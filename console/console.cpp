#include "console/console.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console/editor_linha.h"
#include "console/saida.h"
#include "console/teclas.h"
#include "console/terminal.h"
#include "console/utf8.h"

const char LINHA_REGRA[] = "=====================================";
const char LINHA_REGRA_LARGA[] = "=====================================================";

namespace {

// ---------------------------------------------------------------------------
// Output buffer
//
// It holds the current screen from its clearing on; `enviados` says how much
// of it the terminal already has. A screen is sent whole by the read that
// follows it, so the player never sees it drawn in pieces.

const int TAM_SAIDA = 64 * 1024;  // the largest screen, the judging panel, is under 10 KiB
char saida[TAM_SAIDA];
int tamSaida = 0;
int enviados = 0;

bool entradaAcabou = false;

void acrescentarByte(char c) { acrescentarSaida(&c, 1); }

void acrescentarTexto(const char* texto) { acrescentarSaida(texto, static_cast<int>(strlen(texto))); }

// Bytes below 32 and DEL in caret form: ESC is shown as ^[.
void acrescentarCaret(unsigned char c) {
    char par[2] = {'^', static_cast<char>(c ^ 0x40)};
    acrescentarSaida(par, 2);
}

// Player text goes to the screen as text only: the terminal must not take
// any of it as a control (an arrow pressed at a prompt stores ESC [ A, which
// sent raw would move the cursor; ESC [ 2 J would clear the screen). C0
// controls and DEL take the caret form, C1 controls (raw, or encoded in
// UTF-8) the M-^ form; well-formed UTF-8 passes whole, so accents show. On
// a console that is not UTF-8, bytes from 0x80 up are its letters.
void acrescentarVisivel(const char* texto) {
    bool utf8 = terminalEmUtf8();
    const unsigned char* s = reinterpret_cast<const unsigned char*>(texto);
    while (*s) {
        unsigned char c = *s;
        if (c < 0x20 || c == 0x7F) {
            acrescentarCaret(c);
            s++;
            continue;
        }
        if (c < 0x80 || !utf8) {
            acrescentarByte(static_cast<char>(c));
            s++;
            continue;
        }
        int n = tamanhoUtf8(s);
        int controleC1 = -1;
        if (n == 2 && c == 0xC2 && s[1] < 0xA0) controleC1 = s[1];
        if (n == 0 && c < 0xA0) controleC1 = c;
        if (controleC1 >= 0) {
            acrescentarSaida("M-", 2);
            acrescentarCaret(static_cast<unsigned char>(controleC1 - 0x80));
            s += n > 0 ? n : 1;
        } else if (n > 0) {
            acrescentarSaida(reinterpret_cast<const char*>(s), n);
            s += n;
        } else {
            acrescentarByte(static_cast<char>(c));  // a stray byte of no control meaning
            s++;
        }
    }
}

void acrescentarInteiro(int valor) {
    char digitos[12];
    int n = 0;
    // Work on the negative side: it holds every int, INT_MIN included.
    int v = valor < 0 ? valor : -valor;
    do {
        digitos[n++] = static_cast<char>('0' - v % 10);
        v /= 10;
    } while (v != 0);
    if (valor < 0) acrescentarByte('-');
    while (n > 0) acrescentarByte(digitos[--n]);
}

// ---------------------------------------------------------------------------
// Standard input
//
// What has come of standard input and is not read yet: the rest of a line
// longer than a read takes, the numbers after the first on a score line.
// A line from the line editor joins it whole, with its newline.

char pendente[MAX_LINHA + 1];
int inicioPendente = 0;
int fimPendente = 0;

// One byte of standard input, or EOF once it has ended. Once it has ended it
// stays ended: no read waits again, and nothing retries a closed stream.
int lerByte() {
    if (inicioPendente < fimPendente) return static_cast<unsigned char>(pendente[inicioPendente++]);
    if (entradaAcabou) return EOF;
    int n = terminalEditaLinhas() ? editarLinha(pendente) : terminalLerEntrada(pendente, sizeof pendente);
    if (n <= 0) {
        entradaAcabou = true;
        inicioPendente = fimPendente = 0;
        return EOF;
    }
    inicioPendente = 1;
    fimPendente = n;
    return static_cast<unsigned char>(pendente[0]);
}

// Gives back the byte just read, for the next read.
void devolverByte(int c) {
    if (c != EOF && inicioPendente > 0) inicioPendente--;
}

// A read of standard input may wait for the player: whatever was written is
// on the screen first, with the cursor where the line is typed.
void iniciarLeitura() {
    terminalMostrarCursor(true);
    descarregarSaida();
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared with the backends

void acrescentarSaida(const char* dados, int tamanho) {
    if (tamanho <= 0) return;
    if (tamanho > TAM_SAIDA - tamSaida) {
        descarregarSaida();
        tamSaida = enviados = 0;
        if (tamanho > TAM_SAIDA) {
            terminalEscrever(dados, tamanho);
            return;
        }
    }
    memcpy(saida + tamSaida, dados, static_cast<size_t>(tamanho));
    tamSaida += tamanho;
}

void reescreverTela() {
    if (enviados > 0) terminalEscrever(saida, enviados);
    redesenharLinhaEmEdicao();
}

int colunaDaSaida() {
    int inicio = enviados;
    while (inicio > 0 && saida[inicio - 1] != '\n') inicio--;
    int colunas = 0;
    for (int i = inicio; i < enviados; i++) {
        unsigned char c = static_cast<unsigned char>(saida[i]);
        if (c == 0x1B) {
            // A control sequence takes no column: ESC [, parameters, a final byte.
            if (i + 1 < enviados && saida[i + 1] == '[') {
                i += 2;
                while (i < enviados && !(saida[i] >= 0x40 && saida[i] <= 0x7E)) i++;
            } else {
                i++;
            }
        } else if (c == '\r') {
            colunas = 0;
        } else if (c >= 0x20 && (c & 0xC0) != 0x80) {
            colunas++;
        }
    }
    return colunas;
}

void registrarEco(const char* dados, int tamanho) {
    descarregarSaida();
    acrescentarSaida(dados, tamanho);
    enviados = tamSaida;
}

// ---------------------------------------------------------------------------
// Console operations

void iniciarConsole() {
    tamSaida = enviados = 0;
    entradaAcabou = false;
    inicioPendente = fimPendente = 0;
    terminalIniciar();
}

void encerrarConsole() {
    descarregarSaida();
    terminalEncerrar();
}

void descarregarSaida() {
    if (tamSaida > enviados) terminalEscrever(saida + enviados, tamSaida - enviados);
    enviados = tamSaida;
}

bool interpretarCor(const char* comando, int& fundo, int& texto) {
    const char* nome = "color";
    for (int i = 0; nome[i]; i++) {
        if (tolower(static_cast<unsigned char>(comando[i])) != nome[i]) return false;
    }
    const char* p = comando + 5;
    if (*p != ' ') return false;
    while (*p == ' ') p++;
    int digitos[2];
    int n = 0;
    while (n < 2 && isxdigit(static_cast<unsigned char>(*p))) {
        int c = tolower(static_cast<unsigned char>(*p++));
        digitos[n++] = c <= '9' ? c - '0' : c - 'a' + 10;
    }
    while (*p == ' ') p++;
    if (n == 0 || *p != '\0') return false;
    fundo = n == 2 ? digitos[0] : 0;
    texto = n == 2 ? digitos[1] : digitos[0];
    // As the console's own command, the same colour for both is refused.
    return fundo != texto;
}

void aplicarCor(const char* comando) {
    int fundo, texto;
    if (interpretarCor(comando, fundo, texto)) terminalAplicarCor(fundo, texto);
}

void limparTela() { terminalLimpar(); }

namespace {
void iniciarTela(const char* comando) {
    // A new screen starts the buffer afresh once the old one is all sent.
    if (enviados == tamSaida) tamSaida = enviados = 0;
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
    terminalMostrarCursor(false);  // the sheet's cursor is its arrow
    descarregarSaida();
    // Once standard input has ended the players are gone: no read waits.
    if (entradaAcabou) return TECLA_FIM;
    return terminalLerTecla();
}

void tirarEnter(char* texto) {
    size_t tamanho = strlen(texto);
    if (tamanho > 0 && texto[tamanho - 1] == '\n') texto[tamanho - 1] = '\0';
}

bool lerLinha(char* destino, int tamanho) {
    if (tamanho < 1) return false;
    iniciarLeitura();
    bool utf8 = terminalEmUtf8();
    int n = 0;
    bool leu = false;
    while (n < tamanho - 1) {
        int c = lerByte();
        if (c == EOF) break;
        // A character of several bytes that does not fit is left whole for
        // the next read, as the rest of a long line is.
        int seguintes = utf8 ? seguintesUtf8(c) : 0;
        if (n > 0 && seguintes > 0 && n + 1 + seguintes > tamanho - 1) {
            devolverByte(c);
            leu = true;
            break;
        }
        leu = true;
        destino[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
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
    } while (c != EOF && isspace(c));
    bool negativo = false;
    if (c == '+' || c == '-') {
        negativo = c == '-';
        c = lerByte();
    }
    if (c == EOF || !isdigit(c)) {
        devolverByte(c);
        return false;
    }
    // Every digit is taken; past the range of an int the value stays at the limit.
    const long long LIMITE = 2147483648LL;
    long long valor = 0;
    while (c != EOF && isdigit(c)) {
        if (valor <= LIMITE) valor = valor * 10 + (c - '0');
        c = lerByte();
    }
    devolverByte(c);
    if (negativo) valor = -valor;
    if (valor > 2147483647LL) valor = 2147483647LL;
    if (valor < -2147483648LL) valor = -2147483648LL;
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
    } while (c != EOF && c != '\n');
}

bool fimDaEntrada() { return entradaAcabou; }

void comecarLinha() {
    if (tamSaida > 0 && saida[tamSaida - 1] != '\n') acrescentarByte('\n');
}

void pausar(int ms) {
    descarregarSaida();
    terminalPausar(ms);
}

bool janelaFechaComOJogo() { return terminalJanelaFechaComOJogo(); }

void esperarEnterParaSair() {
    // A double Enter at the last round's prompt must not pass this one unseen.
    terminalDescartarTeclas();
    inicioPendente = fimPendente = 0;
    terminalConcluir();
    iniciarLeitura();
    if (entradaAcabou) return;
    const int CTRL_D = 4;
    for (;;) {
        int tecla = terminalLerTecla();
        if (tecla == TECLA_FIM || tecla == TECLA_ENTER || tecla == CTRL_D) return;
        if (tecla == PREFIXO_ESTENDIDA) terminalLerTecla();  // its second code is no Enter
    }
}
