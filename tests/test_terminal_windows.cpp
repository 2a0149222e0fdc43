// The Windows console backend, on the real backend: with virtual-terminal
// output, the bytes of a screen (colour, clear and text) and that it goes
// out in one write; on a console, that a screen reaches it in one
// WriteConsoleW on either path; through the console API, that a colour and
// a clear leave the whole buffer blank in the new colours, and that lines
// reaching the buffer's right margin are drawn where the console shows
// them; and the console's events as keys.

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/teclas.h"
#include "console/terminal.h"
#include "console/terminal_windows_testes.h"

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
    // Erased from the second row down with the scroll-back, then the top
    // row: never from the top left corner, which Windows consoles copy into
    // their scroll-back.
    const std::string INICIO = "\x1b[2H\x1b[J\x1b[3J\x1b[H\x1b[K";
    EXPECT_EQ(m[0],
              "\x1b[0;40;93m" + INICIO + REGRA + "\n         RESULTADO FINAL\n" + REGRA + "\n\nAna fez 35 pontos");
    std::string cabecalho = "\x1b[0;40;97m" + INICIO + REGRA;
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

// Every WriteConsoleW the backend makes, counted and kept, on its way to
// the console: the backend calls it through this program's import table,
// whose entry is pointed here for the test.
extern "C" decltype(&WriteConsoleW) __imp_WriteConsoleW;

struct EscritasDoConsole {
    static decltype(&WriteConsoleW) original;
    static std::vector<std::wstring> escritas;

    static BOOL WINAPI contar(HANDLE h, const VOID* texto, DWORD n, LPDWORD escritos, LPVOID reservado) {
        escritas.push_back(std::wstring(static_cast<const wchar_t*>(texto), n));
        return original(h, texto, n, escritos, reservado);
    }

    EscritasDoConsole() { trocar(contar); }
    ~EscritasDoConsole() { trocar(original); }

    static void trocar(decltype(&WriteConsoleW) funcao) {
        DWORD antes = 0;
        VirtualProtect(&__imp_WriteConsoleW, sizeof funcao, PAGE_READWRITE, &antes);
        __imp_WriteConsoleW = funcao;
        VirtualProtect(&__imp_WriteConsoleW, sizeof funcao, antes, &antes);
    }
};
decltype(&WriteConsoleW) EscritasDoConsole::original = __imp_WriteConsoleW;
std::vector<std::wstring> EscritasDoConsole::escritas;

// The console's screen buffer as standard output, for the length of a test.
struct SaidaNoConsole {
    HANDLE console = abrirDoConsole("CONOUT$");
    HANDLE antes = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info = {};

    bool abrir() {
        if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info)) return false;
        SetStdHandle(STD_OUTPUT_HANDLE, console);
        return true;
    }

    // Row y of the buffer, its trailing blanks left out.
    std::string fileira(int y) {
        std::string letras(static_cast<size_t>(info.dwSize.X), ' ');
        DWORD lidas = 0;
        COORD origem = {0, static_cast<SHORT>(y)};
        ReadConsoleOutputCharacterA(console, &letras[0], static_cast<DWORD>(letras.size()), origem, &lidas);
        return letras.substr(0, letras.find_last_not_of(' ') + 1);
    }

    ~SaidaNoConsole() {
        SetStdHandle(STD_OUTPUT_HANDLE, antes);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    }
};

// A real console gets a screen whole, in one WriteConsoleW, on either
// output path, its letters of two, three and four bytes intact; a write as
// long as the output record holds (64 KiB) goes in one too, and a longer
// one in pieces that cut no character.
TEST(SaidaConsole, TelaInteiraNumaSoEscrita) {
    SaidaNoConsole saida;
    if (!saida.abrir())
        GTEST_SKIP() << "skipped: no console screen buffer here (tests/windows/console_wine.sh gives it one)";
    const std::wstring LINHA = L"S\u00e3o Jo\u00e3o \u20ac Concei\u00e7\u00e3o \U0001F642";
    for (int vt : {0, 1}) {
        SCOPED_TRACE(vt ? "virtual-terminal output" : "console API");
        terminalWindowsForcarVt(vt);
        iniciarConsole();
        abrirTela("color 07", "TITULO");
        for (int i = 0; i < 300; i++)
            escrever("S\xc3\xa3o Jo\xc3\xa3o \xe2\x82\xac Concei\xc3\xa7\xc3\xa3o \xf0\x9f\x99\x82\n");
        EscritasDoConsole escritas;
        escritas.escritas.clear();
        pausar(1);  // about 9 KiB of screen
        ASSERT_EQ(escritas.escritas.size(), 1u);
        const std::wstring& tela = escritas.escritas[0];
        EXPECT_EQ(tela.find(L'\uFFFD'), std::wstring::npos);
        size_t vezes = 0;
        for (size_t i = tela.find(LINHA); i != std::wstring::npos; i = tela.find(LINHA, i + 1)) vezes++;
        EXPECT_EQ(vezes, 300u);

        std::string euros;
        for (int i = 0; i < 21845; i++) euros += "\xe2\x82\xac";  // 65,535 bytes
        escritas.escritas.clear();
        terminalEscrever(euros.data(), static_cast<int>(euros.size()));
        ASSERT_EQ(escritas.escritas.size(), 1u);
        EXPECT_EQ(escritas.escritas[0], std::wstring(21845, L'\u20ac'));
        euros += "\xe2\x82\xac\xe2\x82\xac";  // 65,541: the cut falls inside the 21,846th
        escritas.escritas.clear();
        terminalEscrever(euros.data(), static_cast<int>(euros.size()));
        ASSERT_EQ(escritas.escritas.size(), 2u);
        EXPECT_EQ(escritas.escritas[0], std::wstring(21845, L'\u20ac'));
        EXPECT_EQ(escritas.escritas[1], std::wstring(2, L'\u20ac'));
        encerrarConsole();
    }
    terminalWindowsForcarVt(-1);
}

// A console without virtual-terminal processing moves the cursor to the
// next row as soon as a character fills the last column, and wraps at its
// buffer's width, which may be more than its window's. A line of exactly
// the columns left after the prompt and one of one more, typed, erased and
// edited at the start, land where the console shows them, nothing erased
// left behind, no copy drawn a row off; with the window as wide as the
// buffer and narrower than it.
TEST(SaidaApi, LinhaAteAMargemDoBuffer) {
    SaidaNoConsole saida;
    HANDLE entrada = abrirDoConsole("CONIN$");
    DWORD modo;
    if (!saida.abrir() || entrada == INVALID_HANDLE_VALUE || !GetConsoleMode(entrada, &modo))
        GTEST_SKIP() << "skipped: no console here (tests/windows/console_wine.sh gives it one)";
    const std::string P = "Nome do jogador 1: ";
    const int LARGURA = saida.info.dwSize.X;
    const int RESTO = LARGURA - static_cast<int>(P.size());
    std::string letras;
    for (int i = 0; i < RESTO + 1; i++) letras += static_cast<char>('a' + i % 26);
    const std::string A = letras.substr(0, static_cast<size_t>(RESTO)), B = letras;
    const WORD HOME = VK_HOME, BS = VK_BACK;
    struct Caso {
        std::string digitado;
        std::vector<WORD> teclas;  // then typed: the letters in depois
        std::string depois;
        std::string linha;  // what the read gives
    } casos[] = {
        {A, {}, "", A},
        {B, {}, "", B},
        {A, {BS}, "", A.substr(0, A.size() - 1)},
        {B, {BS}, "", A},
        {A, {HOME}, "QRS", "QRS" + A},
        {B, {HOME}, "QRS", "QRS" + B},
    };
    const SMALL_RECT janela = saida.info.srWindow;
    for (int estreita : {0, 20}) {
        SMALL_RECT menor = janela;
        menor.Right = static_cast<SHORT>(menor.Left + (LARGURA - estreita) - 1);
        ASSERT_TRUE(SetConsoleWindowInfo(saida.console, TRUE, &menor));
        for (const Caso& c : casos) {
            SCOPED_TRACE("window " + std::to_string(LARGURA - estreita) + " of " + std::to_string(LARGURA) + ": " +
                         c.linha);
            terminalWindowsForcarVt(0);
            iniciarConsole();
            limparTela();
            escrever("%s", P.c_str());
            std::vector<INPUT_RECORD> eventos;
            auto tecla = [&](WORD vk, wchar_t caractere) {
                INPUT_RECORD r = {};
                r.EventType = KEY_EVENT;
                r.Event.KeyEvent.bKeyDown = TRUE;
                r.Event.KeyEvent.wRepeatCount = 1;
                r.Event.KeyEvent.wVirtualKeyCode = vk;
                r.Event.KeyEvent.uChar.UnicodeChar = caractere;
                eventos.push_back(r);
            };
            for (char l : c.digitado) tecla(static_cast<WORD>(toupper(l)), static_cast<wchar_t>(l));
            for (WORD vk : c.teclas) tecla(vk, vk == VK_BACK ? L'\b' : 0);
            for (char l : c.depois) tecla(static_cast<WORD>(l), static_cast<wchar_t>(l));
            tecla(VK_RETURN, L'\r');
            FlushConsoleInputBuffer(entrada);
            DWORD escritos = 0;
            ASSERT_TRUE(WriteConsoleInputW(entrada, eventos.data(), static_cast<DWORD>(eventos.size()), &escritos));
            char linha[300];
            ASSERT_TRUE(lerLinha(linha, sizeof linha));
            EXPECT_EQ(std::string(linha), c.linha);
            std::string mostrada = P + c.linha;
            EXPECT_EQ(saida.fileira(0), mostrada.substr(0, static_cast<size_t>(LARGURA)));
            EXPECT_EQ(saida.fileira(1), mostrada.size() > static_cast<size_t>(LARGURA)
                                            ? mostrada.substr(static_cast<size_t>(LARGURA))
                                            : "");
            EXPECT_EQ(saida.fileira(2), "");
            CONSOLE_SCREEN_BUFFER_INFO depois;
            GetConsoleScreenBufferInfo(saida.console, &depois);
            EXPECT_EQ(depois.dwCursorPosition.X, 0);  // Enter: the start of the row after the text
            EXPECT_EQ(depois.dwCursorPosition.Y, mostrada.size() > static_cast<size_t>(LARGURA) ? 2 : 1);
            encerrarConsole();
        }
    }
    SetConsoleWindowInfo(saida.console, TRUE, &janela);
    terminalWindowsForcarVt(-1);
    CloseHandle(entrada);
}

namespace {

// The console's keyboard, or INVALID_HANDLE_VALUE where there is none to
// write events into.
HANDLE abrirTeclado() {
    HANDLE entrada = abrirDoConsole("CONIN$");
    DWORD modo;
    if (entrada != INVALID_HANDLE_VALUE && !GetConsoleMode(entrada, &modo)) {
        CloseHandle(entrada);
        entrada = INVALID_HANDLE_VALUE;
    }
    return entrada;
}

// A key event as the console host puts one in its input buffer.
struct EventoEscrito {
    BOOL desce;
    WORD vezes, vk;
    WCHAR unidade;
    DWORD estado;
};

// Puts the events in the keyboard's buffer, in order, as a player's keys.
bool escreverEventos(HANDLE entrada, const EventoEscrito* teclas, int n) {
    INPUT_RECORD eventos[32] = {};
    if (n > 32) return false;
    for (int i = 0; i < n; i++) {
        eventos[i].EventType = KEY_EVENT;
        eventos[i].Event.KeyEvent.bKeyDown = teclas[i].desce;
        eventos[i].Event.KeyEvent.wRepeatCount = teclas[i].vezes;
        eventos[i].Event.KeyEvent.wVirtualKeyCode = teclas[i].vk;
        eventos[i].Event.KeyEvent.uChar.UnicodeChar = teclas[i].unidade;
        eventos[i].Event.KeyEvent.dwControlKeyState = teclas[i].estado;
    }
    DWORD escritos = 0;
    return WriteConsoleInputW(entrada, eventos, static_cast<DWORD>(n), &escritos) && escritos == static_cast<DWORD>(n);
}

}  // namespace

// The console's events, put in its input buffer as a player's keys would
// be: a resize asks for a redraw; a character outside the basic plane comes
// in two halves and is one key with its four UTF-8 bytes; an arrow is one
// key; Backspace with either Ctrl erases a word, as with Alt or both, and
// alone erases one character.
TEST(Teclado, EventosDoConsoleViramTeclas) {
    HANDLE entrada = abrirTeclado();
    if (entrada == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "skipped: no console keyboard here (tests/windows/console_wine.sh gives it one)";
    }
    iniciarConsole();
    FlushConsoleInputBuffer(entrada);
    INPUT_RECORD tamanho = {};
    tamanho.EventType = WINDOW_BUFFER_SIZE_EVENT;
    tamanho.Event.WindowBufferSizeEvent.dwSize = {100, 40};
    DWORD escritos = 0;
    ASSERT_TRUE(WriteConsoleInputW(entrada, &tamanho, 1, &escritos));
    const EventoEscrito teclas[] = {{TRUE, 1, 'A', L'a', 0},
                                    {TRUE, 1, 0, 0xD83D, 0},
                                    {TRUE, 1, 0, 0xDE00, 0},
                                    {TRUE, 1, VK_UP, 0, 0},
                                    {TRUE, 1, VK_BACK, 0x7F, LEFT_CTRL_PRESSED},
                                    {TRUE, 1, VK_BACK, 0x7F, RIGHT_CTRL_PRESSED},
                                    {TRUE, 1, VK_BACK, 0x08, LEFT_ALT_PRESSED},
                                    {TRUE, 1, VK_BACK, 0x7F, LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED},
                                    {TRUE, 1, VK_BACK, 0x08, 0}};
    ASSERT_TRUE(escreverEventos(entrada, teclas, static_cast<int>(sizeof teclas / sizeof teclas[0])));
    EXPECT_EQ(terminalLerTecla(), TECLA_REDESENHAR);
    EXPECT_EQ(terminalLerTecla(), 'a');
    EXPECT_EQ(terminalLerTecla(), TECLA_NAO_ASCII);
    char caractere[4];
    ASSERT_EQ(terminalCaractereDaTecla(caractere), 4);
    EXPECT_EQ(std::string(caractere, 4), "\xf0\x9f\x98\x80");
    EXPECT_EQ(terminalLerTecla(), SETA_CIMA);
    EXPECT_EQ(terminalLerTecla(), TECLA_CTRL_BACKSPACE);
    EXPECT_EQ(terminalLerTecla(), TECLA_CTRL_BACKSPACE);
    EXPECT_EQ(terminalLerTecla(), TECLA_ALT_BACKSPACE);
    EXPECT_EQ(terminalLerTecla(), TECLA_ALT_BACKSPACE);  // Wine's console gives ESC DEL so
    EXPECT_EQ(terminalLerTecla(), 8);
    encerrarConsole();
    CloseHandle(entrada);
}

// The Alt+numpad code the console host puts in its buffer (Alt, the keypad's
// 1, 3 and 5 pressed and let go with Alt held, Alt let go carrying the
// character), an emoji as two VK_PACKET events and a key that counts three
// presses: each character is read once, and the keypad's digits are none.
TEST(Teclado, CodigoAltPacotesERepeticoes) {
    HANDLE entrada = abrirTeclado();
    if (entrada == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "skipped: no console keyboard here (tests/windows/console_wine.sh gives it one)";
    }
    iniciarConsole();
    FlushConsoleInputBuffer(entrada);
    const EventoEscrito teclas[] = {
        {TRUE, 1, VK_MENU, 0, LEFT_ALT_PRESSED},
        {TRUE, 1, VK_NUMPAD1, 0, LEFT_ALT_PRESSED},
        {FALSE, 1, VK_NUMPAD1, 0, LEFT_ALT_PRESSED},
        {TRUE, 1, VK_NUMPAD3, 0, LEFT_ALT_PRESSED},
        {FALSE, 1, VK_NUMPAD3, 0, LEFT_ALT_PRESSED},
        {TRUE, 1, VK_NUMPAD5, 0, LEFT_ALT_PRESSED},
        {FALSE, 1, VK_NUMPAD5, 0, LEFT_ALT_PRESSED},
        {FALSE, 1, VK_MENU, 0xE7, 0},
        {TRUE, 1, VK_PACKET, 0xD83D, 0},
        {FALSE, 1, VK_PACKET, 0xD83D, 0},
        {TRUE, 1, VK_PACKET, 0xDE00, 0},
        {FALSE, 1, VK_PACKET, 0xDE00, 0},
        {TRUE, 3, 'A', L'a', 0},
        {FALSE, 1, 'A', L'a', 0},
        {TRUE, 1, VK_UP, 0, 0},
    };
    ASSERT_TRUE(escreverEventos(entrada, teclas, static_cast<int>(sizeof teclas / sizeof teclas[0])));
    char caractere[4];
    EXPECT_EQ(terminalLerTecla(), TECLA_NAO_ASCII);
    ASSERT_EQ(terminalCaractereDaTecla(caractere), 2);
    EXPECT_EQ(std::string(caractere, 2), "\xc3\xa7");
    EXPECT_EQ(terminalLerTecla(), TECLA_NAO_ASCII);
    ASSERT_EQ(terminalCaractereDaTecla(caractere), 4);
    EXPECT_EQ(std::string(caractere, 4), "\xf0\x9f\x98\x80");
    EXPECT_EQ(terminalLerTecla(), 'a');
    EXPECT_EQ(terminalLerTecla(), 'a');
    EXPECT_EQ(terminalLerTecla(), 'a');
    EXPECT_EQ(terminalLerTecla(), SETA_CIMA);
    encerrarConsole();
    CloseHandle(entrada);
}

// Whatever mode the console was left in, the game reads keys in its own: no
// virtual-terminal input (an arrow would come as ESC [ D), no QuickEdit, no
// line input or echo; the end gives the console's mode back as it was.
TEST(Teclado, ModoProprioEDevolvido) {
    HANDLE entrada = abrirDoConsole("CONIN$");
    DWORD antes;
    if (entrada == INVALID_HANDLE_VALUE || !GetConsoleMode(entrada, &antes)) {
        GTEST_SKIP() << "skipped: no console keyboard here (tests/windows/console_wine.sh gives it one)";
    }
    const DWORD VT = 0x0200;  // ENABLE_VIRTUAL_TERMINAL_INPUT
    ASSERT_TRUE(SetConsoleMode(entrada, ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                            ENABLE_INSERT_MODE | ENABLE_QUICK_EDIT_MODE | ENABLE_EXTENDED_FLAGS | VT));
    DWORD herdado = 0, durante = 0, depois = 0;
    GetConsoleMode(entrada, &herdado);
    iniciarConsole();
    GetConsoleMode(entrada, &durante);
    encerrarConsole();
    GetConsoleMode(entrada, &depois);
    SetConsoleMode(entrada, antes);
    CloseHandle(entrada);
    EXPECT_EQ(durante & (VT | ENABLE_QUICK_EDIT_MODE | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), 0u) << durante;
    EXPECT_EQ(
        durante & (ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS | ENABLE_INSERT_MODE),
        static_cast<DWORD>(ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS | ENABLE_INSERT_MODE))
        << durante;
    EXPECT_EQ(depois, herdado);
}
