// Key decoding: the bytes of every kind of key press, and what the game gets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/teclas.h"

namespace {

std::string bytes;
size_t pos;
std::vector<size_t> intervalos;  // positions at which the wait runs out first
bool intervaloPassado;

int fonte(int esperaMs) {
    if (pos >= bytes.size()) return TECLA_FIM;
    bool intervalo = false;
    for (size_t i : intervalos) intervalo = intervalo || i == pos;
    if (esperaMs >= 0 && intervalo && !intervaloPassado) {
        intervaloPassado = true;
        return SEM_BYTE;
    }
    intervaloPassado = false;
    return static_cast<unsigned char>(bytes[pos++]);
}

std::vector<int> decodificar(const std::string& b, std::vector<size_t> pausas = {}) {
    bytes = b;
    pos = 0;
    intervalos = pausas;
    intervaloPassado = false;
    LeitorTeclas leitor;
    reiniciarLeitor(leitor);
    std::vector<int> codigos;
    for (int c; (c = lerTeclaDeBytes(leitor, fonte)) != TECLA_FIM;) {
        codigos.push_back(c);
        if (codigos.size() > 1000) break;
    }
    return codigos;
}

std::vector<int> uma(int codigo) { return {codigo}; }

}  // namespace

// Every byte sequence a terminal sends for each key, and the one code the
// game gets for it, written out: 256 + the code that follows the extended
// key's prefix. A form missing here is a key that does nothing, or worse,
// one read as ESC and letters that answer for the player.
TEST(Teclas, CadaFormaDeCadaTecla) {
    const int DESCONHECIDA = 256 + 0, ALT = 256 + 1;
    const std::string ESC = "\x1b";
    struct Tecla {
        const char* nome;
        int codigo;
        std::vector<std::string> formas;
    } teclas[] = {
        {"w", 'w', {"w"}},
        {"Enter", 13, {"\r", "\n", "\x1bOM"}},  // CR, LF, the keypad's Enter in application mode
        {"Backspace", 127, {"\x7f"}},
        // ^H is Backspace on some terminals and Ctrl-Backspace on others: it
        // stays the one that erases a character.
        {"Ctrl-H", 8, {"\x08"}},
        {"Up", 256 + 72, {"\x1b[A", "\x1bOA", "\x1b[1A", "\x1b[1;1A"}},
        {"Down", 256 + 80, {"\x1b[B", "\x1bOB"}},
        {"Right", 256 + 77, {"\x1b[C", "\x1bOC"}},
        {"Left", 256 + 75, {"\x1b[D", "\x1bOD"}},
        // Shift, Alt and Ctrl (xterm), and rxvt's Shift and Ctrl: never the
        // plain arrow.
        {"modified Up", 256 + 141, {"\x1b[1;2A", "\x1b[1;3A", "\x1b[1;5A", "\x1b[a", "\x1bOa"}},
        {"modified Down", 256 + 145, {"\x1b[1;2B", "\x1b[1;3B", "\x1b[1;5B", "\x1b[b", "\x1bOb"}},
        {"modified Right", 256 + 116, {"\x1b[1;2C", "\x1b[1;3C", "\x1b[1;5C", "\x1b[c", "\x1bOc"}},
        {"modified Left", 256 + 115, {"\x1b[1;2D", "\x1b[1;3D", "\x1b[1;5D", "\x1b[d", "\x1bOd"}},
        {"Home", 256 + 71, {"\x1b[H", "\x1bOH", "\x1b[1~", "\x1b[7~", "\x1b[1;5H"}},
        {"End", 256 + 79, {"\x1b[F", "\x1bOF", "\x1b[4~", "\x1b[8~", "\x1b[1;5F"}},
        {"Insert", 256 + 82, {"\x1b[2~"}},
        {"Delete", 256 + 83, {"\x1b[3~", "\x1b[3;5~"}},
        {"Page Up", 256 + 73, {"\x1b[5~"}},
        {"Page Down", 256 + 81, {"\x1b[6~"}},
        // VT100's SS3, VT220's ~, the Linux console's ESC [ [.
        {"F1", 256 + 59, {"\x1bOP", "\x1b[11~", "\x1b[[A", "\x1b[1;2P"}},
        {"F2", 256 + 60, {"\x1bOQ", "\x1b[12~", "\x1b[[B"}},
        {"F3", 256 + 61, {"\x1bOR", "\x1b[13~", "\x1b[[C"}},
        {"F4", 256 + 62, {"\x1bOS", "\x1b[14~", "\x1b[[D"}},
        {"F5", 256 + 63, {"\x1b[15~", "\x1b[[E"}},
        {"F6", 256 + 64, {"\x1b[17~"}},
        {"F7", 256 + 65, {"\x1b[18~"}},
        {"F8", 256 + 66, {"\x1b[19~"}},
        {"F9", 256 + 67, {"\x1b[20~"}},
        {"F10", 256 + 68, {"\x1b[21~"}},
        {"F11", 256 + 133, {"\x1b[23~"}},
        {"F12", 256 + 134, {"\x1b[24~"}},
        {"Shift-Tab", 256 + 15, {"\x1b[Z"}},
        // Alt sends ESC before the key: the line editor's own, then any other.
        {"Alt-B", 256 + 48, {ESC + "b", ESC + "B"}},
        {"Alt-F", 256 + 33, {ESC + "f", ESC + "F"}},
        {"Alt-Backspace", 256 + 14, {ESC + "\x7f", ESC + "\x08"}},
        {"Alt with another key", ALT, {ESC + "d", ESC + "1", ESC + "\xc3\xa9"}},
        // Sequences of no key the game knows, answers to queries included:
        // read whole, one code.
        {"unknown", DESCONHECIDA, {"\x1b[99~", "\x1b[?1;2c", "\x1b[>0q", "\x1b[[F", "\x1b[200~", "\x1bOX"}},
    };
    std::string todas;
    std::vector<int> codigos;
    for (const Tecla& t : teclas) {
        for (const std::string& forma : t.formas) {
            EXPECT_EQ(decodificar(forma), uma(t.codigo)) << t.nome << ": " << forma.substr(1);
            todas += forma;
            codigos.push_back(t.codigo);
        }
    }
    // Back to back, as a burst or a paste brings them, each still one key.
    EXPECT_EQ(decodificar(todas), codigos);
    // CR LF is two keys, each an Enter.
    EXPECT_EQ(decodificar("\r\n"), (std::vector<int>{13, 13}));
}

TEST(Teclas, EscapeSozinho) {
    EXPECT_EQ(decodificar("\x1b"), (std::vector<int>{TECLA_ESC}));
    // Escape, then a letter after the wait for a sequence ran out.
    EXPECT_EQ(decodificar("\x1bw", {1}), (std::vector<int>{TECLA_ESC, 'w'}));
    EXPECT_EQ(decodificar("\x1b\x1b[A"), (std::vector<int>{TECLA_ESC, SETA_CIMA}));
}

TEST(Teclas, SequenciaCortadaNaoDeixaRestos) {
    // Nothing more came after ESC [: one unknown key; what comes later is new.
    EXPECT_EQ(decodificar("\x1b[", {}), uma(ESTENDIDA_DESCONHECIDA));
    // A control byte cuts the sequence short and is then read for itself.
    EXPECT_EQ(decodificar("\x1b[1\x1b[A"), (std::vector<int>{ESTENDIDA_DESCONHECIDA, SETA_CIMA}));
    // However long, a sequence is read whole: its final D is not the letter.
    std::string longa = "\x1b[" + std::string(300, '1') + "D";
    EXPECT_EQ(decodificar(longa), uma(SETA_ESQUERDA));
    std::string parametros = "\x1b[" + std::string(200, ';') + "D";
    EXPECT_EQ(decodificar(parametros).size(), 1u);
}

TEST(Teclas, CaracteresDeVariosBytesSaoUmaTecla) {
    EXPECT_EQ(decodificar("\xc3\xa9"), (std::vector<int>{TECLA_NAO_ASCII}));          // é
    EXPECT_EQ(decodificar("\xe2\x82\xac"), (std::vector<int>{TECLA_NAO_ASCII}));      // €
    EXPECT_EQ(decodificar("\xf0\x9f\x98\x80"), (std::vector<int>{TECLA_NAO_ASCII}));  // an emoji
    EXPECT_EQ(decodificar("\xc3w"), (std::vector<int>{TECLA_NAO_ASCII, 'w'}));        // cut short
    EXPECT_EQ(decodificar("\xff\x80"), (std::vector<int>{TECLA_NAO_ASCII, TECLA_NAO_ASCII}));
}

// Whatever follows ESC [ or ESC O, it is one extended key: never a letter
// the game would act on (the keypad's Enter, ESC O M, is Enter).
TEST(Teclas, NenhumaSequenciaProduzTeclaDeAcao) {
    for (std::string inicio : {"\x1b[", "\x1bO", "\x1b[1;", "\x1b[["}) {
        for (int b = 0x20; b < 0x7F; b++) {
            if (inicio == "\x1bO" && b == 'M') continue;
            std::string s = inicio + static_cast<char>(b);
            std::vector<int> codigos = decodificar(s);
            ASSERT_EQ(codigos.size(), 1u) << s.substr(1);
            EXPECT_GE(codigos[0], TECLA_ESTENDIDA) << s.substr(1);
        }
    }
    EXPECT_EQ(decodificar("\x1bOM"), (std::vector<int>{TECLA_ENTER}));
}

// Console key events (Windows) give the codes a terminal's bytes would: a
// letter with an accent is one key, never the prefix its code-page byte
// looks like; a modifier alone is nothing; Alt with a key never answers.
TEST(Teclas, EventosDoConsoleDaoOsMesmosCodigos) {
    auto codigos = [](int vk, unsigned c, bool alt = false, bool ctrl = false) {
        ResultadoTecla r = teclaDoConsole(vk, c, alt, ctrl);
        return r.pronta ? std::vector<int>{r.codigo} : std::vector<int>{};
    };
    EXPECT_EQ(codigos(0x44, 'd'), std::vector<int>({'d'}));
    EXPECT_EQ(codigos(0x0D, '\r'), std::vector<int>({TECLA_ENTER}));
    EXPECT_EQ(codigos(0, 0xE0), std::vector<int>({TECLA_NAO_ASCII}));     // a-grave, 224 in code page 1252
    EXPECT_EQ(codigos(0xDE, 0x85), std::vector<int>({TECLA_NAO_ASCII}));  // a-grave, 133 in code page 850
    EXPECT_EQ(codigos(0x26, 0), std::vector<int>({SETA_CIMA}));
    EXPECT_EQ(codigos(0x28, 0), std::vector<int>({SETA_BAIXO}));
    EXPECT_EQ(codigos(0x28, 0, false, true), std::vector<int>({SETA_BAIXO_MODIFICADA}));
    EXPECT_EQ(codigos(0x24, 0), std::vector<int>({TECLA_HOME}));
    EXPECT_EQ(codigos(0x74, 0), std::vector<int>({TECLA_F1 + 4}));
    EXPECT_EQ(codigos(0x44, 'd', true), std::vector<int>({ESTENDIDA_ALT}));
    EXPECT_EQ(codigos(0x42, 'b', true), std::vector<int>({TECLA_ALT_B}));
    EXPECT_EQ(codigos(0x08, 8, true), std::vector<int>({TECLA_ALT_BACKSPACE}));
    // Backspace types ^H, Ctrl-Backspace DEL: only the key with Ctrl held is the word key.
    EXPECT_EQ(codigos(0x08, 8), std::vector<int>({8}));
    EXPECT_EQ(codigos(0x08, 0x7F, false, true), std::vector<int>({TECLA_CTRL_BACKSPACE}));
    EXPECT_EQ(codigos(0x08, 0x7F, true, true), std::vector<int>({TECLA_ALT_BACKSPACE}));  // ESC DEL through Wine
    EXPECT_EQ(codigos(0x48, 8, false, true), std::vector<int>({8}));                      // Ctrl-H
    EXPECT_EQ(codigos(0x32, '@', true, true), std::vector<int>({'@'}));                   // AltGr
    EXPECT_EQ(codigos(0x43, 3, false, true), std::vector<int>({3}));                      // Ctrl-C
    for (int modificador : {0x10, 0x11, 0x12, 0x14, 0x5B, 0x90, 0xA0, 0xA5}) {
        EXPECT_TRUE(codigos(modificador, 0).empty()) << modificador;
    }
}

namespace {

// dwControlKeyState as the console sets it, Num Lock on.
const unsigned NUM = 0x0020;
const unsigned ALT = CONSOLE_ALT_ESQUERDO | NUM;
const unsigned ALTGR = CONSOLE_CTRL_ESQUERDO | CONSOLE_ALT_DIREITO | NUM;
const unsigned EST = CONSOLE_TECLA_ESTENDIDA;

EventoConsole desce(int vk, unsigned unidade, unsigned estado = NUM, int repeticoes = 1) {
    return EventoConsole{true, repeticoes, vk, unidade, estado};
}
EventoConsole sobe(int vk, unsigned unidade, unsigned estado = NUM) {
    return EventoConsole{false, 1, vk, unidade, estado};
}

// Alt with numeric keypad keys, pressed and let go: their virtual keys as
// given, the character on the Alt key's release.
std::vector<EventoConsole> codigoAlt(std::vector<int> teclas, unsigned caractere, unsigned estadoTeclas = ALT) {
    std::vector<EventoConsole> eventos = {desce(0x12, 0, ALT)};
    for (int vk : teclas) {
        eventos.push_back(desce(vk, 0, estadoTeclas));
        eventos.push_back(sobe(vk, 0, estadoTeclas));
    }
    eventos.push_back(sobe(0x12, caractere, NUM));
    return eventos;
}

std::vector<EventoConsole> juntar(std::vector<std::vector<EventoConsole>> partes) {
    std::vector<EventoConsole> todos;
    for (auto& p : partes) todos.insert(todos.end(), p.begin(), p.end());
    return todos;
}

struct CasoEventos {
    const char* nome;
    std::vector<EventoConsole> eventos;
    std::vector<int> codigos;
    std::string caracteres;  // the bytes of the TECLA_NAO_ASCII keys, in order
};

}  // namespace

// The event sequences of a Windows console, each character reaching the
// line editor once, whichever way the console delivered it.
TEST(Teclas, SequenciasDeEventosDoConsole) {
    const int NUMPAD0 = 0x60, VK_MENU = 0x12, VK_CONTROL = 0x11, VK_PACKET = 0xE7;
    const int N = TECLA_NAO_ASCII;
    const CasoEventos casos[] = {
        {"a key's own release carries its letter too", {desce('A', 'a'), sobe('A', 'a')}, {'a'}, ""},
        {"Alt+0128 is the euro sign",
         codigoAlt({NUMPAD0 + 0, NUMPAD0 + 1, NUMPAD0 + 2, NUMPAD0 + 8}, 0x20AC),
         {N},
         "\xe2\x82\xac"},
        {"Alt+135 is c-cedilla", codigoAlt({NUMPAD0 + 1, NUMPAD0 + 3, NUMPAD0 + 5}, 0xE7), {N}, "\xc3\xa7"},
        // Num Lock off: the keypad's 1, 3 and 5 are End, Page Down and Clear,
        // without the extended-key bit of the keys of those names.
        {"Alt+135 with Num Lock off", codigoAlt({0x23, 0x22, 0x0C}, 0xE7, CONSOLE_ALT_ESQUERDO), {N}, "\xc3\xa7"},
        {"Alt with the digits of the keypad types no digit and no Alt key",
         juntar({codigoAlt({NUMPAD0 + 5}, 0), {desce('X', 'x')}}),
         {'x'},
         ""},
        // A pasted character the layout lacks, typed by the console as an
        // Alt code of its code page (1252), the character on the release.
        {"a pasted euro sign",
         juntar({{desce('A', 'a')}, codigoAlt({NUMPAD0 + 1, NUMPAD0 + 2, NUMPAD0 + 8}, 0x20AC), {desce('B', 'b')}}),
         {'a', N, 'b'},
         "\xe2\x82\xac"},
        // Outside the basic plane, one such sequence per half; a half has no
        // code in the code page, whatever digits come with it.
        {"a pasted emoji, in two halves",
         juntar({codigoAlt({NUMPAD0 + 6, NUMPAD0 + 3}, 0xD83D), codigoAlt({NUMPAD0 + 6, NUMPAD0 + 3}, 0xDE00)}),
         {N},
         "\xf0\x9f\x98\x80"},
        {"a pasted emoji, halves with no digits",
         juntar({codigoAlt({}, 0xD83D), codigoAlt({}, 0xDE00)}),
         {N},
         "\xf0\x9f\x98\x80"},
        {"an emoji sent as VK_PACKET events",
         {desce(VK_PACKET, 0xD83D, 0), sobe(VK_PACKET, 0xD83D, 0), desce(VK_PACKET, 0xDE00, 0),
          sobe(VK_PACKET, 0xDE00, 0)},
         {N},
         "\xf0\x9f\x98\x80"},
        {"VK_PACKET with Alt held is still the character",
         {desce(VK_PACKET, 'b', ALT), desce(VK_PACKET, 0xE9, ALT)},
         {'b', N},
         "\xc3\xa9"},
        {"AltGr+E is the euro sign, a letter",
         {desce(VK_CONTROL, 0, CONSOLE_CTRL_ESQUERDO | NUM), desce(VK_MENU, 0, ALTGR | EST), desce('E', 0x20AC, ALTGR),
          sobe('E', 0x20AC, ALTGR), sobe(VK_MENU, 0, CONSOLE_CTRL_ESQUERDO | NUM | EST), sobe(VK_CONTROL, 0, NUM)},
         {N},
         "\xe2\x82\xac"},
        {"AltGr with a digit of the top row", {desce('2', '@', ALTGR)}, {'@'}, ""},
        {"a repeat count of 3 is three presses", {desce('A', 'a', NUM, 3)}, {'a', 'a', 'a'}, ""},
        {"three presses of a letter with an accent",
         {desce(0xBA, 0xE9, NUM, 3)},
         {N, N, N},
         "\xc3\xa9\xc3\xa9\xc3\xa9"},
        {"Alt alone is no key", {desce(VK_MENU, 0, ALT), sobe(VK_MENU, 0, NUM)}, {}, ""},
        {"Alt with a letter is the Alt key, once",
         {desce(VK_MENU, 0, ALT), desce('B', 'b', ALT), sobe('B', 'b', ALT), sobe(VK_MENU, 0, NUM)},
         {TECLA_ALT_B},
         ""},
        {"Alt with the arrows beside the keypad still moves",
         {desce(VK_MENU, 0, ALT), desce(0x25, 0, ALT | EST), desce(0x24, 0, ALT | EST)},
         {SETA_ESQUERDA_MODIFICADA, TECLA_HOME},
         ""},
        {"the keypad's keys without Alt act", {desce(NUMPAD0 + 7, '7'), desce(0x26, 0)}, {'7', SETA_CIMA}, ""},
        // As ESC [ 1 ; 2 A and the rest from a terminal: never the plain arrow.
        {"Shift with the arrows",
         {desce(0x26, 0, CONSOLE_SHIFT | NUM | EST), desce(0x28, 0, CONSOLE_SHIFT | NUM | EST),
          desce(0x25, 0, CONSOLE_SHIFT | NUM | EST), desce(0x27, 0, CONSOLE_SHIFT | NUM | EST)},
         {256 + 141, 256 + 145, 256 + 115, 256 + 116},
         ""},
        {"half a character is none",
         {desce(VK_PACKET, 0xDE00, 0), desce(VK_PACKET, 0xD83D, 0), desce('X', 'x')},
         {'x'},
         ""},
    };
    for (const CasoEventos& caso : casos) {
        LeitorConsole leitor;
        reiniciarLeitorConsole(leitor);
        std::vector<int> codigos;
        std::string caracteres;
        for (const EventoConsole& e : caso.eventos) {
            TeclaDoEvento t = teclaDoEvento(leitor, e);
            for (int i = 0; i < t.vezes; i++) {
                codigos.push_back(t.codigo);
                caracteres.append(t.utf8, static_cast<size_t>(t.tamUtf8));
            }
        }
        EXPECT_EQ(codigos, caso.codigos) << caso.nome;
        EXPECT_EQ(caracteres, caso.caracteres) << caso.nome;
    }
    // Wine's console sends Alt+Left and Alt+Home without the extended-key
    // bit, and has no Alt+numpad codes: they are keys there.
    LeitorConsole wine;
    reiniciarLeitorConsole(wine, true);
    EXPECT_EQ(teclaDoEvento(wine, desce(0x25, 0, ALT)).codigo, SETA_ESQUERDA_MODIFICADA);
    EXPECT_EQ(teclaDoEvento(wine, desce(0x24, 0, ALT)).codigo, TECLA_HOME);
    EXPECT_EQ(teclaDoEvento(wine, desce(NUMPAD0 + 5, 0, ALT)).vezes, 0);
}
