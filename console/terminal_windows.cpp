// The console on Windows, through the native console API.
//
// Clearing does what "cls" does: the whole screen buffer, scroll-back
// included, filled with blanks in the current colours, cursor to the top
// left. Recolouring does what "color" does: every cell of the buffer takes
// the new attribute at once, text already on it included, and new text is
// written in it. Keys come from _getch, which reads the console itself even
// when standard input is redirected, takes one key press without echo, and
// gives an extended key as a prefix (0 or 224) and its scan code. Line and
// number reads use the console's own line editing: no mode is changed here.
//
// The console's input and output modes and code pages are kept at start and
// given back at the end and on Ctrl-C, Ctrl-Break or a closed window.

#include <conio.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "console/console.h"
#include "console/terminal.h"

namespace {

HANDLE saida = INVALID_HANDLE_VALUE;
HANDLE entradaConsole = INVALID_HANDLE_VALUE;  // the console's keyboard, whatever stdin is
bool temTeclado = false;
bool saidaNoConsole = false;
DWORD modoEntradaOriginal = 0;
DWORD modoSaidaOriginal = 0;
UINT paginaEntradaOriginal = 0;
UINT paginaSaidaOriginal = 0;
WORD atributoOriginal = 0x07;
volatile LONG restaurado = 1;
bool terminalPerdido = false;

char bufferEntrada[4096];

void restaurar(bool cores) {
    if (InterlockedExchange(&restaurado, 1) != 0) return;
    if (temTeclado) SetConsoleMode(entradaConsole, modoEntradaOriginal);
    if (saidaNoConsole) {
        SetConsoleMode(saida, modoSaidaOriginal);
        if (cores) SetConsoleTextAttribute(saida, atributoOriginal);
    }
    if (paginaEntradaOriginal && GetConsoleCP() != paginaEntradaOriginal) SetConsoleCP(paginaEntradaOriginal);
    if (paginaSaidaOriginal && GetConsoleOutputCP() != paginaSaidaOriginal) SetConsoleOutputCP(paginaSaidaOriginal);
}

// Runs on a thread of its own when the player presses Ctrl-C or closes the
// window: give the console back, then let the default handler end the game.
BOOL WINAPI aoSinal(DWORD) {
    restaurar(true);
    return FALSE;
}

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

}  // namespace

void terminalIniciar() {
    setvbuf(stdin, bufferEntrada, _IOFBF, sizeof bufferEntrada);
    saida = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD modo;
    saidaNoConsole = saida != INVALID_HANDLE_VALUE && GetConsoleMode(saida, &modo);
    if (saidaNoConsole) {
        modoSaidaOriginal = modo;
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(saida, &info)) atributoOriginal = info.wAttributes;
    }
    entradaConsole = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    temTeclado = entradaConsole != INVALID_HANDLE_VALUE && GetConsoleMode(entradaConsole, &modoEntradaOriginal);
    paginaEntradaOriginal = GetConsoleCP();
    paginaSaidaOriginal = GetConsoleOutputCP();
    restaurado = 0;
    SetConsoleCtrlHandler(aoSinal, TRUE);
    atexit(terminalEncerrar);
}

// At a normal end the colours of the final screen stay, as "color" leaves them.
void terminalEncerrar() { restaurar(false); }

// Lines come from the console's own line input, which edits them.
bool terminalEditaLinhas() { return false; }

// One line at most, as the console delivers them; text mode turns CR LF into LF.
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

void terminalEscrever(const char* dados, int tamanho) {
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

int terminalLerTecla() {
    if (!temTeclado || terminalPerdido) return TECLA_FIM;
    int codigo = _getch();
    return codigo < 0 || codigo > 255 ? TECLA_FIM : codigo;
}

int terminalCaractereDaTecla(char*) { return 0; }

int terminalColunas() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (saidaNoConsole && GetConsoleScreenBufferInfo(saida, &info)) return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

void terminalMostrarCursor(bool) {}

void terminalAplicarCor(int fundo, int texto) {
    descarregarSaida();
    if (!saidaNoConsole) return;
    WORD atributo = static_cast<WORD>(fundo << 4 | texto);
    preencherBuffer(atributo, false);
    SetConsoleTextAttribute(saida, atributo);
}

void terminalLimpar() {
    descarregarSaida();
    if (!saidaNoConsole) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(saida, &info)) preencherBuffer(info.wAttributes, true);
}

void terminalPausar(int ms) {
    if (!terminalPerdido && ms > 0) Sleep(static_cast<DWORD>(ms));
}

bool terminalEmUtf8() { return GetConsoleOutputCP() == CP_UTF8; }
