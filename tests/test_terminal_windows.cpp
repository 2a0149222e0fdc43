// The Windows console backend, on the real backend: with virtual-terminal
// output, the bytes of a screen (colour, clear and text) and that it goes
// out in one write; through the console API, that a colour and a clear leave
// the whole buffer blank in the new colours; and the console's events as
// keys.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console/teclas.h"
#include "console/terminal.h"

namespace {

const std::string REGRA = LINHA_REGRA;

// Standard output as a message-mode pipe: every write the game makes is
// read back as one message.
struct SaidaEmMensagens {
    HANDLE servidor = INVALID_HANDLE_VALUE;
    HANDLE cliente = INVALID_HANDLE_VALUE;
    HANDLE saidaAntes = INVALID_HANDLE_VALUE;

    bool abrir() {
        std::string nome = "\\\\.\\pipe\\zova-teste-" + std::to_string(GetCurrentProcessId());
        servidor = CreateNamedPipeA(nome.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1,
                                    65536, 65536, 0, nullptr);
        if (servidor == INVALID_HANDLE_VALUE) return false;
        cliente = CreateFileA(nome.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (cliente == INVALID_HANDLE_VALUE) return false;
        saidaAntes = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, cliente);
        return true;
    }

    std::vector<std::string> mensagens() {
        std::vector<std::string> lidas;
        for (;;) {
            DWORD disponivel = 0;
            if (!PeekNamedPipe(servidor, nullptr, 0, nullptr, &disponivel, nullptr) || disponivel == 0) break;
            std::string m(65536, '\0');
            DWORD n = 0;
            if (!ReadFile(servidor, &m[0], static_cast<DWORD>(m.size()), &n, nullptr)) break;
            m.resize(n);
            lidas.push_back(m);
        }
        return lidas;
    }

    ~SaidaEmMensagens() {
        if (saidaAntes != INVALID_HANDLE_VALUE) SetStdHandle(STD_OUTPUT_HANDLE, saidaAntes);
        if (cliente != INVALID_HANDLE_VALUE) CloseHandle(cliente);
        if (servidor != INVALID_HANDLE_VALUE) CloseHandle(servidor);
    }
};

// One of the console's own devices (CONIN$, CONOUT$), whatever standard
// input and output are.
HANDLE abrirDoConsole(const char* nome) {
    return CreateFileA(nome, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

}  // namespace

TEST(SaidaVt, CorLimpezaETextoNumaSoEscrita) {
    SaidaEmMensagens saida;
    ASSERT_TRUE(saida.abrir());
    terminalWindowsForcarVt(1);
    iniciarConsole();
    abrirTela("color E", "         RESULTADO FINAL");
    escrever("\n%s fez %d pontos", "Ana", 35);
    pausar(1);
    abrirTela("color 0F", "          CADASTRO DOS JOGADORES");
    pausar(1);
    encerrarConsole();
    terminalWindowsForcarVt(-1);
    std::vector<std::string> m = saida.mensagens();
    ASSERT_EQ(m.size(), 2u);
    // Drawn over the last screen row by row, never erased from the top left
    // corner (which Windows consoles copy into their scroll-back).
    EXPECT_EQ(m[0], "\x1b[0;40;93m\x1b[H\x1b[K" + REGRA + "\n\x1b[3J\x1b[K         RESULTADO FINAL\n\x1b[K" + REGRA +
                        "\n\x1b[K\n\x1b[KAna fez 35 pontos\x1b[J");
    std::string cabecalho = "\x1b[0;40;97m\x1b[H\x1b[K" + REGRA;
    EXPECT_EQ(m[1].compare(0, cabecalho.size(), cabecalho), 0) << m[1];
}

// On the console the test runs in (tests/windows/console_wine.sh gives it
// one): text on it, then a colour and a clear leave every cell blank in the
// new attribute, and the header at the top.
TEST(SaidaApi, CorEntaoLimpaOBufferInteiro) {
    HANDLE console = abrirDoConsole("CONOUT$");
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info)) {
        GTEST_SKIP() << "skipped: no console screen buffer here (tests/windows/console_wine.sh gives it one)";
    }
    HANDLE antes = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    terminalWindowsForcarVt(0);
    iniciarConsole();
    for (int i = 0; i < 40; i++) escrever("resposta de quem jogou antes %d\n", i);
    abrirTela("color 1E", "TITULO");
    pausar(1);

    ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &info));
    DWORD celulas = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    std::vector<WORD> atributos(celulas);
    std::vector<char> letras(celulas);
    COORD origem = {0, 0};
    DWORD lidas = 0;
    ASSERT_TRUE(ReadConsoleOutputAttribute(console, atributos.data(), celulas, origem, &lidas));
    ASSERT_TRUE(ReadConsoleOutputCharacterA(console, letras.data(), celulas, origem, &lidas));
    encerrarConsole();
    terminalWindowsForcarVt(-1);
    SetStdHandle(STD_OUTPUT_HANDLE, antes);
    CloseHandle(console);

    int largura = info.dwSize.X;
    EXPECT_EQ(std::string(letras.data(), REGRA.size()), REGRA);
    EXPECT_EQ(std::string(letras.data() + largura, 6), "TITULO");
    int outraCor = 0;
    for (DWORD i = 0; i < celulas; i++) outraCor += atributos[i] != 0x1E;
    EXPECT_EQ(outraCor, 0) << "cells not in the new colours";
    std::string resto(letras.data() + 3 * largura, letras.data() + celulas);
    EXPECT_EQ(resto.find("resposta"), std::string::npos) << "an earlier screen left in the buffer";
}

// Only a console the game has to itself closes with it; a shell attached too
// keeps it, and a game whose input or output is redirected waits for nobody.
TEST(JanelaDoJogo, SoOConsoleDoJogoSozinhoEspera) {
    EXPECT_TRUE(consoleFechaComOJogo(1, true, true));
    EXPECT_FALSE(consoleFechaComOJogo(2, true, true));  // cmd or PowerShell
    EXPECT_FALSE(consoleFechaComOJogo(3, true, true));
    EXPECT_FALSE(consoleFechaComOJogo(0, true, true));  // the count failed: as from a shell
    EXPECT_FALSE(consoleFechaComOJogo(1, false, true));
    EXPECT_FALSE(consoleFechaComOJogo(1, true, false));
}

// The console's events, put in its input buffer as a player's keys would
// be: a resize asks for a redraw; a character outside the basic plane comes
// in two halves and is one key with its four UTF-8 bytes; an arrow is one
// key.
TEST(Teclado, EventosDoConsoleViramTeclas) {
    HANDLE entrada = abrirDoConsole("CONIN$");
    DWORD modo;
    if (entrada == INVALID_HANDLE_VALUE || !GetConsoleMode(entrada, &modo)) {
        GTEST_SKIP() << "skipped: no console keyboard here (tests/windows/console_wine.sh gives it one)";
    }
    iniciarConsole();
    FlushConsoleInputBuffer(entrada);
    INPUT_RECORD eventos[5] = {};
    eventos[0].EventType = WINDOW_BUFFER_SIZE_EVENT;
    eventos[0].Event.WindowBufferSizeEvent.dwSize = {100, 40};
    const WORD teclas[4][2] = {{'A', L'a'}, {0, 0xD83D}, {0, 0xDE00}, {VK_UP, 0}};
    for (int i = 0; i < 4; i++) {
        eventos[i + 1].EventType = KEY_EVENT;
        eventos[i + 1].Event.KeyEvent.bKeyDown = TRUE;
        eventos[i + 1].Event.KeyEvent.wRepeatCount = 1;
        eventos[i + 1].Event.KeyEvent.wVirtualKeyCode = teclas[i][0];
        eventos[i + 1].Event.KeyEvent.uChar.UnicodeChar = static_cast<WCHAR>(teclas[i][1]);
    }
    DWORD escritos = 0;
    ASSERT_TRUE(WriteConsoleInputW(entrada, eventos, 5, &escritos));
    EXPECT_EQ(terminalLerTecla(), TECLA_REDESENHAR);
    EXPECT_EQ(terminalLerTecla(), 'a');
    EXPECT_EQ(terminalLerTecla(), TECLA_NAO_ASCII);
    char caractere[4];
    ASSERT_EQ(terminalCaractereDaTecla(caractere), 4);
    EXPECT_EQ(std::string(caractere, 4), "\xf0\x9f\x98\x80");
    EXPECT_EQ(terminalLerTecla(), SETA_CIMA);
    encerrarConsole();
    CloseHandle(entrada);
}
