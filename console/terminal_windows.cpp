// The console on Windows.
//
// Two output paths. Where the console takes virtual-terminal sequences
// (Windows 10 1511 and later, and every host that works through a pseudo-
// console, Windows Terminal and VS Code's among them), a screen is what it is
// on POSIX: the colour as SGR, then the text drawn over the last screen from
// the top left corner, each row erased as it is reached, ESC [ 3 J after the
// first and what is left below erased before a wait, sent in one write. Such
// hosts copy a screen erased from the top left corner into their scroll-back;
// ESC [ 3 J empties it, so the next player cannot scroll back to the last
// one's sheet. Elsewhere (older consoles, and Wine's, which accepts
// the mode but shows the sequences as text), the console API does what
// "color" and "cls" do: the whole screen buffer, scroll-back included, takes
// the new colour and is emptied, in one fill.
//
// Keys come from the console's key events, as UTF-16, and text goes to the
// console as UTF-16 (WriteConsoleW): inside, as on POSIX, it is UTF-8, so
// every letter survives whatever the console's code page. Lines are typed
// in the game's own line editor, fed by those key events: the console's own
// line input is never used, so it records no line in its history and none
// can be recalled by the next player. On the console API path the editor's
// cursor moves and erases are carried out through the API.
//
// The console's input and output modes and colours are kept at start and
// given back at the end and on Ctrl-C, Ctrl-Break or a closed window.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/terminal.h"
#include "console/terminal_windows_testes.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

const int CTRL_C = 3;

HANDLE saida = INVALID_HANDLE_VALUE;
HANDLE entradaConsole = INVALID_HANDLE_VALUE;  // the console's keyboard, whatever stdin is
bool temTeclado = false;
bool saidaNoConsole = false;
bool saidaVt = false;  // screens are written as virtual-terminal sequences
int forcarVt = -1;     // set by the tests: -1 decides by the console
DWORD modoSaidaOriginal = 0;
DWORD modoTecladoOriginal = 0;
bool linhasEditadas = false;  // standard input is the console: lines come from the editor
// What to write when the game is interrupted, kept by the console services
// (line feeds past the line being typed). Changed under the console's lock;
// read on the thread of the interrupt, which takes that lock first, or
// goes on without it after a second (the main thread is stuck then, and
// changes nothing).
char interrupcao[8192];
int tamInterrupcao = 0;
WORD atributoOriginal = 0x07;
volatile LONG restaurado = 1;
bool terminalPerdido = false;
bool janelaDoJogo = false;    // no other process shares the console
volatile LONG concluido = 0;  // past the last screen: an interrupt is a normal end

// A colour command waits for the clear that follows it, so the buffer is
// filled once per screen; a colour alone is filled in before the next text.
bool corPendente = false;
WORD atributoAtual = 0x07;

// How the key events read so far go on (half a character), the key still
// owed presses by an event that counts its auto-repeats, and the UTF-8 bytes
// of the last character read.
LeitorConsole leitorConsole;
TeclaDoEvento teclaPendente;
char caractereLido[4];
int tamCaractereLido = 0;

char bufferEntrada[4096];

// The main thread's writes and colour changes, and the restore a Ctrl-C, a
// Ctrl-Break or a closed window runs on a thread of its own, take turns: the
// restore never lands in the middle of a write, and once it is done nothing
// is written after it, for whoever restores on the way out keeps the lock
// until the process is gone. (Recursive, so that the end of the process,
// which gives the console back again, passes on that same thread.)
CRITICAL_SECTION travaConsole;
bool travaPronta = false;

void travar() {
    if (travaPronta) EnterCriticalSection(&travaConsole);
}

void destravar() {
    if (travaPronta) LeaveCriticalSection(&travaConsole);
}

void restaurar(bool cores) {
    if (InterlockedExchange(&restaurado, 1) != 0) return;
    // Keys typed for the game and not read go with it: one read takes one
    // key event, so whatever is left would otherwise reach cmd as a command.
    if (temTeclado) FlushConsoleInputBuffer(entradaConsole);
    if (temTeclado) SetConsoleMode(entradaConsole, modoTecladoOriginal);
    if (saidaNoConsole) {
        if (cores && saidaVt) {
            DWORD escritos;
            WriteFile(saida, SEQ_CORES_PADRAO, sizeof SEQ_CORES_PADRAO - 1, &escritos, nullptr);
        }
        SetConsoleMode(saida, modoSaidaOriginal);
        if (cores) SetConsoleTextAttribute(saida, atributoOriginal);
    }
}

// An interrupted game writes what the console services kept for it, each
// line feed as the console's CR LF.
void escreverInterrupcao() {
    if (!saidaNoConsole) return;
    for (int i = 0; i < tamInterrupcao; i++) {
        DWORD escritos;
        if (interrupcao[i] == '\n')
            WriteConsoleW(saida, L"\r\n", 2, &escritos, nullptr);
        else
            WriteConsoleA(saida, interrupcao + i, 1, &escritos, nullptr);
    }
}

// Runs on a thread of its own when the player presses Ctrl-C or closes the
// window: give the console back, then let the default handler end the game.
BOOL WINAPI aoSinal(DWORD) {
    // Never given back: the default handler's ExitProcess follows. A main
    // thread stuck in a write that never returns (a full pipe nobody reads)
    // must not keep Ctrl-C from ending the game: after a second, the
    // console is given back all the same.
    for (int i = 0; i < 50 && travaPronta && !TryEnterCriticalSection(&travaConsole); i++) Sleep(20);
    escreverInterrupcao();
    restaurar(true);
    if (concluido) ExitProcess(0);  // the match was over: nothing was interrupted
    return FALSE;
}

// The keyboard's mode while the game runs, whatever the console had: key by
// key with no echo (the console's line input, and with it its history, is
// never used), Ctrl-C as the console's interrupt, the window's size changes
// as events, and no virtual-terminal input, which would bring an arrow as the
// text ESC [ D. QuickEdit goes off, or a click would select text and hold
// the game's output until a key; it is touched only on a console that says
// how it was (extended flags), so that it can be given back as it was, with
// insert mode and auto-position as they were.
DWORD modoTecladoDoJogo(DWORD original) {
    DWORD modo = ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT;
    if (original & ENABLE_EXTENDED_FLAGS)
        modo |= ENABLE_EXTENDED_FLAGS | (original & (ENABLE_INSERT_MODE | ENABLE_AUTO_POSITION));
    return modo;
}

// Wine's console takes the virtual-terminal mode but prints the sequences.
bool sobWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Every cell of the screen buffer takes the attribute; with limpar, a blank
// too, and the cursor goes to the top left.
void preencherBuffer(WORD atributo, bool limpar) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(saida, &info)) return;
    DWORD celulas = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    COORD origem = {0, 0};
    DWORD feitas;
    if (limpar) FillConsoleOutputCharacterA(saida, ' ', celulas, origem, &feitas);
    FillConsoleOutputAttribute(saida, atributo, celulas, origem, &feitas);
    if (limpar) SetConsoleCursorPosition(saida, origem);
}

void aplicarCorPendente() {
    if (!corPendente) return;
    corPendente = false;
    if (saidaNoConsole) preencherBuffer(atributoAtual, false);
}

// UTF-8 text, whole characters, to the console as UTF-16: a whole screen
// (the output record holds 64 KiB) in one write, so the console never shows
// it drawn in pieces. Every UTF-8 byte makes at most one UTF-16 unit.
const int TAM_TEXTO_LARGO = 65536;
wchar_t textoLargo[TAM_TEXTO_LARGO];

bool escreverTexto(const char* dados, int tamanho) {
    while (tamanho > 0) {
        // Past 64 KiB, a piece that ends on a character's first byte, so none is cut.
        int n = tamanho < TAM_TEXTO_LARGO ? tamanho : TAM_TEXTO_LARGO;
        while (n < tamanho && n > 1 && (static_cast<unsigned char>(dados[n]) >> 6) == 2) n--;  // a continuation byte
        int unidades = MultiByteToWideChar(CP_UTF8, 0, dados, n, textoLargo, TAM_TEXTO_LARGO);
        DWORD escritos = 0;
        if (unidades > 0 && !WriteConsoleW(saida, textoLargo, static_cast<DWORD>(unidades), &escritos, nullptr))
            return false;
        dados += n;
        tamanho -= n;
    }
    return true;
}

// Where the console takes no sequences, the line editor's few (ESC [ n A,
// ESC [ n C, ESC [ J) and CR are carried out through the console API.
bool escreverComApi(const char* dados, int tamanho) {
    int i = 0;
    while (i < tamanho) {
        int texto = i;
        while (texto < tamanho && dados[texto] != 0x1B && dados[texto] != '\r') texto++;
        if (texto > i && !escreverTexto(dados + i, texto - i)) return false;
        if (texto >= tamanho) break;
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!GetConsoleScreenBufferInfo(saida, &info)) return false;
        COORD cursor = info.dwCursorPosition;
        if (dados[texto] == '\r') {
            cursor.X = 0;
            SetConsoleCursorPosition(saida, cursor);
            i = texto + 1;
            continue;
        }
        Sequencia seq = lerSequencia(dados + texto, tamanho - texto);
        char final = seq.final;
        int n = seq.numero < 1 ? 1 : seq.numero;
        if (final == 'A') cursor.Y = static_cast<SHORT>(cursor.Y - n < 0 ? 0 : cursor.Y - n);
        if (final == 'C')
            cursor.X = static_cast<SHORT>(cursor.X + n >= info.dwSize.X ? info.dwSize.X - 1 : cursor.X + n);
        if (final == 'A' || final == 'C') SetConsoleCursorPosition(saida, cursor);
        if (final == 'J') {
            // The rest of the cursor's row, then every row below from its
            // first column: Wine's console redraws a fill as the rectangle
            // from its first cell to its last, so one fill from the middle
            // of a row would leave the first columns of the rows below on
            // the screen, blank in the buffer but not where the player looks.
            DWORD feitas;
            DWORD resto = static_cast<DWORD>(info.dwSize.X - cursor.X);
            FillConsoleOutputCharacterW(saida, L' ', resto, cursor, &feitas);
            FillConsoleOutputAttribute(saida, info.wAttributes, resto, cursor, &feitas);
            COORD abaixo = {0, static_cast<SHORT>(cursor.Y + 1)};
            if (abaixo.Y < info.dwSize.Y) {
                DWORD celulas = static_cast<DWORD>(info.dwSize.Y - abaixo.Y) * static_cast<DWORD>(info.dwSize.X);
                FillConsoleOutputCharacterW(saida, L' ', celulas, abaixo, &feitas);
                FillConsoleOutputAttribute(saida, info.wAttributes, celulas, abaixo, &feitas);
            }
        }
        i = texto + seq.tamanho;
    }
    return true;
}

// A console whose only process is the game was opened for it (a double
// click, a shortcut, Windows Terminal's new tab) and closes when it ends;
// cmd or PowerShell, attached too, keep theirs. With standard input or
// output elsewhere, the game is scripted, and waits for nobody.
bool consoleFechaComOJogo(unsigned long processosNoConsole, bool entradaNoConsole, bool saidaNoConsole) {
    return entradaNoConsole && saidaNoConsole && processosNoConsole == 1;
}

}  // namespace

void terminalWindowsForcarVt(int vt) { forcarVt = vt; }

void terminalIniciar() {
    setvbuf(stdin, bufferEntrada, _IOFBF, sizeof bufferEntrada);
    reiniciarLeitorConsole(leitorConsole, sobWine());
    teclaPendente.vezes = 0;
    tamCaractereLido = 0;
    tamInterrupcao = 0;
    corPendente = false;
    terminalPerdido = false;
    saida = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD modo;
    saidaNoConsole = saida != INVALID_HANDLE_VALUE && GetConsoleMode(saida, &modo);
    saidaVt = false;
    if (saidaNoConsole) {
        modoSaidaOriginal = modo;
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(saida, &info)) atributoOriginal = info.wAttributes;
        saidaVt = !sobWine() && SetConsoleMode(saida, modo | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    if (forcarVt >= 0) saidaVt = forcarVt != 0;
    entradaConsole = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    temTeclado = entradaConsole != INVALID_HANDLE_VALUE && GetConsoleMode(entradaConsole, &modoTecladoOriginal);
    if (temTeclado) SetConsoleMode(entradaConsole, modoTecladoDoJogo(modoTecladoOriginal));
    DWORD processos[2];
    DWORD modoEntrada;
    bool entradaNoConsole = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &modoEntrada) != 0;
    linhasEditadas = temTeclado && entradaNoConsole;
    janelaDoJogo = consoleFechaComOJogo(GetConsoleProcessList(processos, 2), entradaNoConsole, saidaNoConsole);
    concluido = 0;
    if (!travaPronta) InitializeCriticalSection(&travaConsole);
    travaPronta = true;
    restaurado = 0;
    SetConsoleCtrlHandler(aoSinal, TRUE);
    atexit(terminalEncerrar);
}

// At a normal end the colours of the final screen stay, as "color" leaves them.
void terminalEncerrar() {
    travar();
    restaurar(false);
    destravar();
}

bool terminalEditaLinhas() { return linhasEditadas; }

// Ctrl-D on an empty line ends it, as at a terminal.
bool terminalEntradaPodeAcabar() { return true; }

// Standard input redirected: one line at most; text mode turns CR LF into LF.
int terminalLerEntrada(char* destino, int tamanho) {
    int n = 0;
    while (n < tamanho) {
        int c = getchar();
        if (c == EOF) break;
        destino[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    return n;
}

static void escreverSemTrava(const char* dados, int tamanho) {
    aplicarCorPendente();
    if (saidaNoConsole && tamanho > 0 && !terminalPerdido) {
        if (!(saidaVt ? escreverTexto(dados, tamanho) : escreverComApi(dados, tamanho))) terminalPerdido = true;
        return;
    }
    while (tamanho > 0 && !terminalPerdido) {
        DWORD escritos = 0;
        if (!WriteFile(saida, dados, static_cast<DWORD>(tamanho), &escritos, nullptr) || escritos == 0) {
            terminalPerdido = true;
            return;
        }
        dados += escritos;
        tamanho -= static_cast<int>(escritos);
    }
}

void terminalEscrever(const char* dados, int tamanho) {
    travar();
    escreverSemTrava(dados, tamanho);
    destravar();
}

// Every key press is a key: only a console that is gone ends the keys.
int terminalLerTecla() {
    if (!temTeclado || terminalPerdido) return TECLA_FIM;
    while (teclaPendente.vezes == 0) {
        INPUT_RECORD registro;
        DWORD lidos = 0;
        if (!ReadConsoleInputW(entradaConsole, &registro, 1, &lidos)) {
            terminalPerdido = true;
            return TECLA_FIM;
        }
        if (lidos == 1 && registro.EventType == WINDOW_BUFFER_SIZE_EVENT) return TECLA_REDESENHAR;
        if (lidos == 0 || registro.EventType != KEY_EVENT) continue;
        const KEY_EVENT_RECORD& k = registro.Event.KeyEvent;
        EventoConsole evento = {k.bKeyDown != FALSE, k.wRepeatCount, k.wVirtualKeyCode, k.uChar.UnicodeChar,
                                k.dwControlKeyState};
        teclaPendente = teclaDoEvento(leitorConsole, evento);
    }
    teclaPendente.vezes--;
    // Ctrl-C read as a key (where the console hands it over as one): it
    // ends the game as the console's own Ctrl-C does.
    if (teclaPendente.codigo == CTRL_C) {
        travar();  // held until the process is gone
        escreverInterrupcao();
        restaurar(true);
        ExitProcess(concluido ? 0 : STATUS_CONTROL_C_EXIT);
    }
    tamCaractereLido = teclaPendente.tamUtf8;
    for (int i = 0; i < tamCaractereLido; i++) caractereLido[i] = teclaPendente.utf8[i];
    return teclaPendente.codigo;
}

int terminalCaractereDaTecla(char destino[4]) {
    for (int i = 0; i < tamCaractereLido; i++) destino[i] = caractereLido[i];
    return tamCaractereLido;
}

// A console wraps its rows at its screen buffer's width, which may be more
// than its window's (the window then scrolls sideways): on both output
// paths, as the cursor's moves are bounded by it too.
int terminalColunas() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (saidaNoConsole && GetConsoleScreenBufferInfo(saida, &info)) return info.dwSize.X;
    return 0;
}

int terminalLinhas() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (saidaNoConsole && GetConsoleScreenBufferInfo(saida, &info)) return info.srWindow.Bottom - info.srWindow.Top + 1;
    return 0;
}

bool terminalTomaSequencias() { return saidaVt; }

// Without virtual-terminal processing, a character in the last column moves
// the cursor to the next row at once; with it, the console waits at the
// margin for the next character, as a terminal does.
bool terminalQuebraDeImediato() { return !saidaVt; }

bool terminalFundoPadraoPreto() { return false; }

// The console's own cursor stays as it is.
bool terminalEscondeCursor() { return false; }

bool terminalDevolvidoAoFim() { return true; }

// Nothing stops the game and gives the console to another program
// meanwhile: it keeps the colour and the cursor by itself.
void terminalGuardarRetomada(const char*, int) {}

void terminalGuardarInterrupcao(const char* dados, int tamanho) {
    travar();
    if (tamanho < 0) tamanho = 0;
    if (tamanho > static_cast<int>(sizeof interrupcao)) tamanho = static_cast<int>(sizeof interrupcao);
    memcpy(interrupcao, dados, static_cast<size_t>(tamanho));
    tamInterrupcao = tamanho;
    destravar();
}

// Called once what was written before is on the console, in its colour.
void terminalAplicarCor(int fundo, int texto) {
    atributoAtual = static_cast<WORD>(fundo << 4 | texto);
    if (!saidaNoConsole) return;
    travar();
    SetConsoleTextAttribute(saida, atributoAtual);
    destravar();
    corPendente = true;
}

static void limparSemTrava() {
    if (saidaVt || !saidaNoConsole) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (corPendente || !GetConsoleScreenBufferInfo(saida, &info)) {
        corPendente = false;
        preencherBuffer(atributoAtual, true);
    } else {
        preencherBuffer(info.wAttributes, true);
    }
}

void terminalLimpar() {
    travar();
    limparSemTrava();
    destravar();
}

int terminalPausar(int ms) {
    if (terminalPerdido || ms <= 0) return 0;
    Sleep(static_cast<DWORD>(ms));
    return 0;
}

void terminalDescartarTeclas() {
    if (temTeclado) FlushConsoleInputBuffer(entradaConsole);
    teclaPendente.vezes = 0;
    reiniciarLeitorConsole(leitorConsole, leitorConsole.estendidasSemMarca);
}

bool terminalJanelaFechaComOJogo() { return janelaDoJogo; }

void terminalConcluir() { concluido = 1; }

// One terminal, passed from hand to hand.
bool terminalTelaPorJogador() { return false; }

void terminalDarVez(int) {}

void terminalNomearJogador(int, const char*) {}
