// The console on Windows.
//
// Two output paths. Where the console takes virtual-terminal sequences
// (Windows 10 1511 and later, and every host that works through a pseudo-
// console, Windows Terminal and VS Code's among them), a screen is what it is
// on POSIX: the colour as SGR, the clear as ESC [ H ESC [ 2 J ESC [ 3 J, then
// the text, sent in one write. That is the only clear such hosts turn into a
// clear of their own scroll-back, so the next player cannot scroll back to
// the last one's sheet. Elsewhere (older consoles, and Wine's, which accepts
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

#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/terminal.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

HANDLE saida = INVALID_HANDLE_VALUE;
HANDLE entradaConsole = INVALID_HANDLE_VALUE;  // the console's keyboard, whatever stdin is
bool temTeclado = false;
bool saidaNoConsole = false;
bool saidaVt = false;  // screens are written as virtual-terminal sequences
int forcarVt = -1;     // set by the tests: -1 decides by the console
DWORD modoSaidaOriginal = 0;
DWORD modoTecladoOriginal = 0;
bool linhasEditadas = false;     // standard input is the console: lines come from the editor
volatile LONG linhasAbaixo = 0;  // rows from the cursor to the end of the line being typed
WORD atributoOriginal = 0x07;
volatile LONG restaurado = 1;
bool terminalPerdido = false;
bool janelaDoJogo = false;    // no other process shares the console
volatile LONG concluido = 0;  // past the last screen: an interrupt is a normal end

// A colour command waits for the clear that follows it, so the buffer is
// filled once per screen; a colour alone is filled in before the next text.
bool corPendente = false;
WORD atributoAtual = 0x07;

// The presses still owed by a key event that counts its auto-repeats, the
// first half of a character outside the basic plane, and the UTF-8 bytes of
// the last character read.
KEY_EVENT_RECORD eventoRepetido;
int repeticoes = 0;
wchar_t metadeAlta = 0;
char caractereLido[4];
int tamCaractereLido = 0;

char bufferEntrada[4096];

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

// An end in the middle of a typed line first goes past the line, so the
// shell's next words start on a row of their own.
void terminarLinhaAberta() {
    if (!saidaNoConsole) return;
    for (LONG i = 0; i <= linhasAbaixo; i++) {
        DWORD escritos;
        WriteConsoleW(saida, L"\r\n", 2, &escritos, nullptr);
    }
}

// Runs on a thread of its own when the player presses Ctrl-C or closes the
// window: give the console back, then let the default handler end the game.
BOOL WINAPI aoSinal(DWORD) {
    terminarLinhaAberta();
    restaurar(true);
    if (concluido) ExitProcess(0);  // the match was over: nothing was interrupted
    return FALSE;
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

// UTF-8 text, whole characters, to the console as UTF-16.
bool escreverTexto(const char* dados, int tamanho) {
    wchar_t largo[2048];
    while (tamanho > 0) {
        // A piece that ends on a character's first byte, so none is cut.
        int n = tamanho < 1024 ? tamanho : 1024;
        while (n < tamanho && n > 1 && (static_cast<unsigned char>(dados[n]) & 0xC0) == 0x80) n--;
        int unidades = MultiByteToWideChar(CP_UTF8, 0, dados, n, largo, 2048);
        DWORD escritos = 0;
        if (unidades > 0 && !WriteConsoleW(saida, largo, static_cast<DWORD>(unidades), &escritos, nullptr))
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
        int fim = texto + 1, n = 0;
        if (fim < tamanho && dados[fim] == '[') fim++;
        while (fim < tamanho && dados[fim] >= '0' && dados[fim] <= '9') n = n * 10 + (dados[fim++] - '0');
        char final = fim < tamanho ? dados[fim] : 0;
        if (n < 1) n = 1;
        if (final == 'A') cursor.Y = static_cast<SHORT>(cursor.Y - n < 0 ? 0 : cursor.Y - n);
        if (final == 'C')
            cursor.X = static_cast<SHORT>(cursor.X + n >= info.dwSize.X ? info.dwSize.X - 1 : cursor.X + n);
        if (final == 'A' || final == 'C') SetConsoleCursorPosition(saida, cursor);
        if (final == 'J') {
            DWORD celulas = static_cast<DWORD>(info.dwSize.Y - cursor.Y) * static_cast<DWORD>(info.dwSize.X) -
                            static_cast<DWORD>(cursor.X);
            DWORD feitas;
            FillConsoleOutputCharacterW(saida, L' ', celulas, cursor, &feitas);
            FillConsoleOutputAttribute(saida, info.wAttributes, celulas, cursor, &feitas);
        }
        i = fim + 1;
    }
    return true;
}

int codificarUtf8(unsigned codigo, char destino[4]) {
    if (codigo < 0x800) {
        destino[0] = static_cast<char>(0xC0 | codigo >> 6);
        destino[1] = static_cast<char>(0x80 | (codigo & 0x3F));
        return 2;
    }
    if (codigo < 0x10000) {
        destino[0] = static_cast<char>(0xE0 | codigo >> 12);
        destino[1] = static_cast<char>(0x80 | (codigo >> 6 & 0x3F));
        destino[2] = static_cast<char>(0x80 | (codigo & 0x3F));
        return 3;
    }
    destino[0] = static_cast<char>(0xF0 | codigo >> 18);
    destino[1] = static_cast<char>(0x80 | (codigo >> 12 & 0x3F));
    destino[2] = static_cast<char>(0x80 | (codigo >> 6 & 0x3F));
    destino[3] = static_cast<char>(0x80 | (codigo & 0x3F));
    return 4;
}

}  // namespace

void terminalWindowsForcarVt(int vt) { forcarVt = vt; }

// A console whose only process is the game was opened for it (a double
// click, a shortcut, Windows Terminal's new tab) and closes when it ends;
// cmd or PowerShell, attached too, keep theirs. With standard input or
// output elsewhere, the game is scripted, and waits for nobody.
bool consoleFechaComOJogo(unsigned long processosNoConsole, bool entradaNoConsole, bool saidaNoConsole) {
    return entradaNoConsole && saidaNoConsole && processosNoConsole == 1;
}

void terminalIniciar() {
    setvbuf(stdin, bufferEntrada, _IOFBF, sizeof bufferEntrada);
    repeticoes = 0;
    metadeAlta = 0;
    tamCaractereLido = 0;
    linhasAbaixo = 0;
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
    // Key by key, with no echo, and the window's size changes as events; the
    // console's line input, and with it its history, is never used.
    if (temTeclado)
        SetConsoleMode(entradaConsole, (modoTecladoOriginal | ENABLE_WINDOW_INPUT) &
                                           ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
    DWORD processos[2];
    DWORD modoEntrada;
    bool entradaNoConsole = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &modoEntrada) != 0;
    linhasEditadas = temTeclado && entradaNoConsole;
    janelaDoJogo = consoleFechaComOJogo(GetConsoleProcessList(processos, 2), entradaNoConsole, saidaNoConsole);
    concluido = 0;
    restaurado = 0;
    SetConsoleCtrlHandler(aoSinal, TRUE);
    atexit(terminalEncerrar);
}

// At a normal end the colours of the final screen stay, as "color" leaves them.
void terminalEncerrar() { restaurar(false); }

bool terminalEditaLinhas() { return linhasEditadas; }

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

void terminalEscrever(const char* dados, int tamanho) {
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

// Every key press is a key: only a console that is gone ends the keys.
int terminalLerTecla() {
    if (!temTeclado || terminalPerdido) return TECLA_FIM;
    for (;;) {
        KEY_EVENT_RECORD tecla;
        if (repeticoes > 0) {
            tecla = eventoRepetido;
            repeticoes--;
        } else {
            INPUT_RECORD registro;
            DWORD lidos = 0;
            if (!ReadConsoleInputW(entradaConsole, &registro, 1, &lidos)) {
                terminalPerdido = true;
                return TECLA_FIM;
            }
            if (lidos == 1 && registro.EventType == WINDOW_BUFFER_SIZE_EVENT) return TECLA_REDESENHAR;
            if (lidos == 0 || registro.EventType != KEY_EVENT || !registro.Event.KeyEvent.bKeyDown) continue;
            tecla = registro.Event.KeyEvent;
            if (tecla.wRepeatCount > 1) {
                eventoRepetido = tecla;
                repeticoes = tecla.wRepeatCount - 1;
            }
        }
        // A character outside the basic plane comes in two halves.
        wchar_t unidade = tecla.uChar.UnicodeChar;
        unsigned caractere = unidade;
        if (unidade >= 0xD800 && unidade <= 0xDBFF) {
            metadeAlta = unidade;
            continue;
        }
        if (unidade >= 0xDC00 && unidade <= 0xDFFF) {
            if (metadeAlta == 0) continue;
            caractere = 0x10000 + (static_cast<unsigned>(metadeAlta - 0xD800) << 10) + (unidade - 0xDC00u);
        }
        metadeAlta = 0;
        DWORD estado = tecla.dwControlKeyState;
        ResultadoTecla r =
            teclaDoConsole(tecla.wVirtualKeyCode, caractere, (estado & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0,
                           (estado & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0);
        if (!r.pronta) continue;
        // Ctrl-C read as a key (the console's processed input is off): it
        // ends the game as the console's own Ctrl-C does.
        if (r.codigo == 3) {
            terminarLinhaAberta();
            restaurar(true);
            ExitProcess(concluido ? 0 : STATUS_CONTROL_C_EXIT);
        }
        tamCaractereLido = r.codigo == TECLA_NAO_ASCII ? codificarUtf8(caractere, caractereLido) : 0;
        return r.codigo;
    }
}

int terminalCaractereDaTecla(char destino[4]) {
    for (int i = 0; i < tamCaractereLido; i++) destino[i] = caractereLido[i];
    return tamCaractereLido;
}

void terminalLinhasAbaixo(int linhas) { linhasAbaixo = linhas; }

int terminalColunas() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (saidaNoConsole && GetConsoleScreenBufferInfo(saida, &info)) return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

int terminalLinhas() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (saidaNoConsole && GetConsoleScreenBufferInfo(saida, &info)) return info.srWindow.Bottom - info.srWindow.Top + 1;
    return 24;
}

bool terminalTomaSequencias() { return saidaVt; }

// The console's own cursor stays as it is.
bool terminalMostrarCursor(bool) { return false; }

// Called once what was written before is on the console, in its colour.
void terminalAplicarCor(int fundo, int texto) {
    if (saidaVt) return;
    atributoAtual = static_cast<WORD>(fundo << 4 | texto);
    if (!saidaNoConsole) return;
    SetConsoleTextAttribute(saida, atributoAtual);
    corPendente = true;
}

void terminalLimpar() {
    if (saidaVt || !saidaNoConsole) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (corPendente || !GetConsoleScreenBufferInfo(saida, &info)) {
        corPendente = false;
        preencherBuffer(atributoAtual, true);
    } else {
        preencherBuffer(info.wAttributes, true);
    }
}

// Keys pressed while the screen waited belong to no screen: the console's
// input buffer is emptied when the pause ends.
int terminalPausar(int ms) {
    if (terminalPerdido || ms <= 0) return 0;
    Sleep(static_cast<DWORD>(ms));
    terminalDescartarTeclas();
    return 0;
}

void terminalDescartarTeclas() {
    if (temTeclado) FlushConsoleInputBuffer(entradaConsole);
    repeticoes = 0;
    metadeAlta = 0;
}

bool terminalJanelaFechaComOJogo() { return janelaDoJogo; }

void terminalConcluir() { concluido = 1; }
