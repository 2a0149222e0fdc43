// The line editor without a terminal: what each key does to the line, and
// what a terminal that is sent its frames shows, over letters of several
// bytes and rows that wrap; and lines from the editor joining what is
// pending, as typed lines did before.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/editor_linha.h"
#include "console/saida.h"
#include "console/teclas.h"
#include "tests/tela_modelo.h"
#include "tests/terminal_roteiro.h"

namespace {

EdicaoLinha e;
TelaModelo tela;
std::string prompt;

std::string texto() { return std::string(e.texto, static_cast<size_t>(e.tamanho)); }
std::string quadro() { return std::string(e.quadro, static_cast<size_t>(e.tamQuadro)); }

// A prompt on a screen of the given width, and an empty line behind it;
// with quebraDeImediato, on a console that wraps a full row at once. The
// editor starts where the screen shows the prompt's end (at the margin when
// the prompt filled its last row).
void comecar(const std::string& p, int colunas, int linhas = 24, int limite = MAX_LINHA,
             bool quebraDeImediato = false) {
    prompt = p;
    iniciarTelaModelo(tela, linhas, colunas, quebraDeImediato);
    aplicarNaTela(tela, prompt);
    int x = tela.quebraPendente || tela.acabouDeQuebrar ? colunas : tela.coluna;
    iniciarEdicao(e, x, colunas, linhas, limite, quebraDeImediato);
}

// The characters on the screen from the prompt on, row after row, blanks
// as spaces; the halves and the blanks wide characters leave are no text.
std::string mostrado() {
    std::string s;
    for (const std::string& celula : tela.celulas) {
        if (celula != CONTINUACAO && celula != PREENCHIMENTO) s += celula.empty() ? " " : celula;
    }
    return s;
}

// The screen shows the prompt and the whole line and nothing after it, and
// the terminal's cursor stands where the editor's is.
void confere() {
    std::string esperado = prompt + texto();
    std::string tudo = mostrado();
    EXPECT_EQ(tudo.substr(0, esperado.size()), esperado);
    EXPECT_EQ(tudo.find_first_not_of(' ', esperado.size()), std::string::npos) << "text left behind";
    // The cursor stands on the cell where the character after it begins.
    TelaModelo ate = tela;
    iniciarTelaModelo(ate, tela.linhas, tela.colunas, tela.quebraDeImediato);
    aplicarNaTela(ate, prompt + std::string(e.texto, static_cast<size_t>(e.cursor)));
    int linha = ate.quebraPendente ? ate.linha + 1 : ate.linha;
    int coluna = ate.quebraPendente ? 0 : ate.coluna;
    EXPECT_EQ(tela.quebraPendente ? tela.linha + 1 : tela.linha, linha);
    EXPECT_EQ(tela.quebraPendente ? 0 : tela.coluna, coluna) << "cursor at row " << tela.linha;
}

ResultadoEdicao tecla(int codigo, const char* caractere = nullptr, int tamanho = 0) {
    e.tamQuadro = 0;
    ResultadoEdicao r = aplicarTeclaEdicao(e, codigo, caractere, tamanho);
    aplicarNaTela(tela, quadro());
    if (r == EDICAO_SEGUE) confere();
    return r;
}

void digitar(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            tecla(c);
            i++;
            continue;
        }
        size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        tecla(TECLA_NAO_ASCII, bytes.data() + i, static_cast<int>(n));
        i += n;
    }
}

const int BACKSPACE = 127, CTRL_B = 2, CTRL_D = 4, CTRL_F = 6, CTRL_K = 11, CTRL_L = 12, CTRL_U = 21, CTRL_W = 23,
          CTRL_Y = 25;

}  // namespace

TEST(EditorLinha, MovimentosEApagamentosPorCaractere) {
    comecar("Nome do jogador 1: ", 120);
    digitar("Jo\xc3\xa3o");
    EXPECT_EQ(quadro(), "o");  // at the end, a key sends only itself, as the terminal's echo did
    tecla(SETA_ESQUERDA);
    tecla(SETA_ESQUERDA);  // over o and the two bytes of ã
    EXPECT_EQ(e.cursor, 2);
    tecla(BACKSPACE);  // the o before ã
    EXPECT_EQ(texto(), "J\xc3\xa3o");
    tecla(TECLA_DELETE);  // ã, both bytes
    EXPECT_EQ(texto(), "Jo");
    digitar("\xc3\xa7");
    tecla(SETA_DIREITA);
    EXPECT_EQ(texto(), "J\xc3\xa7o");
    EXPECT_EQ(e.cursor, e.tamanho);
    tecla(TECLA_HOME);
    tecla(CTRL_D);  // not empty: deletes under the cursor
    EXPECT_EQ(texto(), "\xc3\xa7o");
    EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
    EXPECT_EQ(tela.linha, 1);  // to the end of the text, then the next row
    EXPECT_EQ(tela.coluna, 0);
    comecar("Nome do jogador 2: ", 120);
    digitar("Bia");
    tecla(SETA_ESQUERDA);
    tecla(CTRL_U);
    EXPECT_EQ(texto(), "");
    EXPECT_EQ(tecla(CTRL_D), EDICAO_FIM_DA_ENTRADA);
}

TEST(EditorLinha, SoEntraOQueApareceComoSiMesmo) {
    comecar("", 80);
    for (int c : {0, 2, 3, 7, 9, 11, 12, 14, 27, 31, TECLA_NAO_ASCII, SETA_CIMA, SETA_BAIXO, TECLA_PAGE_UP, TECLA_F1,
                  ESTENDIDA_ALT, ESTENDIDA_DESCONHECIDA}) {
        tecla(c);
        EXPECT_EQ(e.tamQuadro, 0) << c;
    }
    tecla(TECLA_NAO_ASCII, "\xc2\x9b", 2);      // a C1 control, in UTF-8
    tecla(TECLA_NAO_ASCII, "\xc0\x80", 2);      // an overlong NUL
    tecla(TECLA_NAO_ASCII, "\xed\xa0\x80", 3);  // a surrogate
    EXPECT_EQ(texto(), "");
    EXPECT_EQ(e.tamQuadro, 0);
    digitar("\xe2\x82\xac \xf0\x9f\x99\x82");
    EXPECT_EQ(texto(), "\xe2\x82\xac \xf0\x9f\x99\x82");
}

TEST(EditorLinha, LinhaNaoPassaDoLimite) {
    comecar("", 80, MAX_LINHA / 80 + 2);
    digitar(std::string(MAX_LINHA - 1, 'a'));
    digitar("\xc3\xa3");  // two bytes where one is left: refused whole, with the bell
    EXPECT_EQ(quadro(), "\a");
    digitar("bc");
    EXPECT_EQ(e.tamanho, MAX_LINHA);
    EXPECT_EQ(texto(), std::string(MAX_LINHA - 1, 'a') + "b");
    // A terminal may report any size up to 65535 by 65535: rows by columns
    // must not overflow into a window that refuses every key.
    static EdicaoLinha grande;
    iniciarEdicao(grande, 0, 50000, 50000, 49);
    grande.tamQuadro = 0;
    aplicarTeclaEdicao(grande, 'A', nullptr, 0);
    EXPECT_EQ(std::string(grande.quadro, static_cast<size_t>(grande.tamQuadro)), "A");
}

// A name or an answer holds 49 bytes: the line takes no more, so nothing
// typed past them can be left over for another player's prompt.
TEST(EditorLinha, LinhaNaoPassaDoQueALeituraGuarda) {
    comecar("Nome do jogador 1: ", 120, 24, 49);
    digitar(std::string(48, 'b'));
    digitar("Ã©");  // would end at byte 50: refused whole
    EXPECT_EQ(quadro(), "");
    digitar("c");
    EXPECT_EQ(quadro(), "c");
    digitar("d" + std::string(5000, 'p'));  // a paste: every byte refused
    EXPECT_EQ(quadro(), "");
    EXPECT_EQ(texto(), std::string(48, 'b') + "c");
    tecla(CTRL_W);
    digitar("x");
    tecla(CTRL_Y);  // what was erased no longer fits beside the x
    EXPECT_EQ(quadro(), "");
    EXPECT_EQ(texto(), "x");
    EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
}

// Wide characters, accents that come after their letter, skin tones and
// flags: every move and edit steps over what the player sees as one
// character, and the screen shows what is stored, the cursor where it is
// (confere, after every key).
TEST(EditorLinha, LargosECombinadosOndeOJogadorOsVe) {
    comecar("-> Objeto [Ovo \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80]: ", 80);
    digitar("123");
    tecla(SETA_ESQUERDA);
    tecla(BACKSPACE);
    EXPECT_EQ(texto(), "13");
    comecar("Nome do jogador 1: ", 80);
    digitar(
        "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"
        "abc");
    for (int i = 0; i < 3; i++) tecla(SETA_ESQUERDA);
    digitar("Z");
    EXPECT_EQ(texto(),
              "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"
              "Zabc");
    comecar("Nome: ", 80);
    digitar("Jose\xcc\x81 Maria");  // the accent typed after its e
    for (int i = 0; i < 6; i++) tecla(SETA_ESQUERDA);
    digitar("Q");
    EXPECT_EQ(texto(), "Jose\xcc\x81Q Maria");
    comecar("Nome: ", 80);
    digitar("\xf0\x9f\x87\xa7\xf0\x9f\x87\xb7\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd");  // a flag, a thumb with its tone
    tecla(SETA_ESQUERDA);
    tecla(BACKSPACE);
    EXPECT_EQ(texto(), "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd");
    tecla(TECLA_DELETE);
    EXPECT_EQ(texto(), "");
    // A narrow window: wide characters that reach its last column go whole
    // to the next row.
    comecar("Nome: ", 9, 6);
    digitar("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
    for (int i = 0; i < 4; i++) tecla(SETA_ESQUERDA);
    digitar("x\xc3\xa7");
    tecla(TECLA_HOME);
    tecla(TECLA_DELETE);
    tecla(TECLA_END);
}

// The keys of a shell's line editor, over accented words: a word is a run
// of letters and digits.
TEST(EditorLinha, TeclasDePalavraEDeApagar) {
    comecar("Nome: ", 80);
    digitar("Jo\xc3\xa3o da Concei\xc3\xa7\xc3\xa3o!");
    tecla(CTRL_W);  // the word before, and the ! after it
    EXPECT_EQ(texto(), "Jo\xc3\xa3o da ");
    tecla(CTRL_Y);  // put back
    EXPECT_EQ(texto(), "Jo\xc3\xa3o da Concei\xc3\xa7\xc3\xa3o!");
    tecla(TECLA_ALT_B);
    tecla(SETA_ESQUERDA_MODIFICADA);  // Ctrl-Left: the start of "da"
    tecla(CTRL_K);
    EXPECT_EQ(texto(), "Jo\xc3\xa3o ");
    tecla(CTRL_Y);
    tecla(TECLA_HOME);
    tecla(TECLA_ALT_F);              // past "João"
    tecla(SETA_DIREITA_MODIFICADA);  // Ctrl-Right: past "da"
    tecla(CTRL_B);
    tecla(CTRL_F);
    tecla(TECLA_ALT_BACKSPACE);
    EXPECT_EQ(texto(), "Jo\xc3\xa3o  Concei\xc3\xa7\xc3\xa3o!");
    EXPECT_EQ(tecla(CTRL_L), EDICAO_REDESENHAR_TELA);
    tecla(CTRL_U);
    EXPECT_EQ(texto(), "");
    // A new line, another player's maybe, puts back nothing of the last one.
    comecar("Nome do jogador 2: ", 80);
    tecla(CTRL_Y);
    EXPECT_EQ(texto(), "");
}

// The erasing keys as a shell's: Ctrl-W back to the blank before, Alt- and
// Ctrl-Backspace back over a word of letters and digits; erasing keys in a
// row join what they erase, in the order it stood, for one Ctrl-Y. Every
// step takes whole characters: an e with its accent typed after it, a space
// carrying a mark, an emoji with its skin tone.
TEST(EditorLinha, ApagamentosEmSequenciaVoltamJuntos) {
    const int ALT_BS = TECLA_ALT_BACKSPACE, CTRL_BS = TECLA_CTRL_BACKSPACE, HOME = TECLA_HOME, ESQ = SETA_ESQUERDA,
              ESQ_PALAVRA = SETA_ESQUERDA_MODIFICADA;
    const std::string E_AGUDO = "e\xcc\x81", POLEGAR = "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd";
    struct Caso {
        std::string digitado;
        std::vector<int> teclas;
        std::string texto;      // after the keys
        int cursor;             // byte offset, after the keys
        std::string aposCtrlY;  // the line after one more Ctrl-Y
    } casos[] = {
        {"foo-bar baz_qux", {CTRL_W}, "foo-bar ", 8, "foo-bar baz_qux"},
        {"foo-bar baz_qux", {ALT_BS}, "foo-bar baz_", 12, "foo-bar baz_qux"},
        {"foo-bar baz_qux", {CTRL_BS}, "foo-bar baz_", 12, "foo-bar baz_qux"},
        {"um dois  ", {CTRL_W}, "um ", 3, "um dois  "},  // the blanks, then what is before them
        {"a b c", {CTRL_W, CTRL_W}, "a ", 2, "a b c"},
        {"foo-bar baz", {ALT_BS, ALT_BS, CTRL_W}, "", 0, "foo-bar baz"},
        {"a b", {CTRL_W, CTRL_K, CTRL_W}, "", 0, "a b"},  // nothing to erase: still one run
        // Any other key starts a new run: one that does nothing, a move, Ctrl-Y.
        {"um dois tres", {CTRL_W, SETA_CIMA, CTRL_W}, "um ", 3, "um dois "},
        {"um dois", {CTRL_W, TECLA_END, CTRL_W}, "", 0, "um "},
        {"um dois", {CTRL_W, CTRL_Y, CTRL_W}, "um ", 3, "um dois"},
        // After the cursor, appended; Ctrl-U, both sides: the line as it was.
        {"abc def", {HOME, TECLA_ALT_F, CTRL_K, CTRL_W}, "", 0, "abc def"},
        {"abc def ghi", {ESQ_PALAVRA, ESQ, CTRL_W, CTRL_K}, "abc ", 4, "abc def ghi"},
        {"foo bar baz", {ESQ_PALAVRA, ESQ, CTRL_W, CTRL_U}, "", 0, "foo bar baz"},
        {"foo bar baz", {ESQ_PALAVRA, CTRL_U}, "", 0, "foo bar baz"},
        // Characters of several code points, whole.
        {"ok caf" + E_AGUDO + "-bar", {ALT_BS}, "ok caf" + E_AGUDO + "-", 10, "ok caf" + E_AGUDO + "-bar"},
        {"ok caf" + E_AGUDO + "-bar", {ALT_BS, ALT_BS}, "ok ", 3, "ok caf" + E_AGUDO + "-bar"},
        {"ok caf" + E_AGUDO, {CTRL_W}, "ok ", 3, "ok caf" + E_AGUDO},
        {"foo \xcc\x81"
         "bar",
         {CTRL_W},
         "foo \xcc\x81",
         6,
         "foo \xcc\x81"
         "bar"},
        {"foo \xcc\x81"
         "bar",
         {CTRL_W, CTRL_W},
         "",
         0,
         "foo \xcc\x81"
         "bar"},
        {"oi x" + POLEGAR, {ALT_BS}, "oi ", 3, "oi x" + POLEGAR},
        {"oi " + POLEGAR + "!", {CTRL_W}, "oi ", 3, "oi " + POLEGAR + "!"},
        {"a" + POLEGAR + "b", {ESQ, CTRL_W}, "b", 0, "a" + POLEGAR + "b"},
        {"a" + POLEGAR + "b", {ESQ, ESQ, CTRL_BS, CTRL_K}, "", 0, "a" + POLEGAR + "b"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.digitado);
        comecar("> ", 80);
        digitar(c.digitado);
        for (int t : c.teclas) tecla(t);
        EXPECT_EQ(texto(), c.texto);
        EXPECT_EQ(e.cursor, c.cursor);
        tecla(CTRL_Y);
        EXPECT_EQ(texto(), c.aposCtrlY);
    }
}

// A run that erased more than the read still holds, around what was typed
// since: refused with the bell, nothing put back in part.
TEST(EditorLinha, CtrlYQueNaoCabeERecusado) {
    comecar("Resposta: ", 80, 24, 10);
    digitar("abc def gh");
    tecla(CTRL_W);
    tecla(CTRL_W);
    digitar("xyz");
    tecla(CTRL_Y);
    EXPECT_EQ(quadro(), "\a");
    EXPECT_EQ(texto(), "abc xyz");
}

// The line never takes more rows than the window has: past the last
// character that fits, keys are refused with the bell; a window made
// smaller shows what fits and keeps the rest.
TEST(EditorLinha, NuncaMaisAltaQueAJanela) {
    comecar("Nome: ", 10, 3);  // 6 + 23 columns, and the cursor's
    digitar(std::string(23, 'a'));
    digitar("b");
    EXPECT_EQ(quadro(), "\a");
    EXPECT_EQ(texto(), std::string(23, 'a'));
    iniciarTelaModelo(tela, 2, 10);  // the window made two rows high, and drawn again
    aplicarNaTela(tela, prompt);
    e.tamQuadro = 0;
    redesenharEdicao(e, 6, 10, 2);
    aplicarNaTela(tela, quadro());
    EXPECT_EQ(linhaDaTela(tela, 0), "Nome: aaaa");
    EXPECT_EQ(linhaDaTela(tela, 1), "aaaaaaaaa");
    e.tamQuadro = 0;
    aplicarTeclaEdicao(e, 'c', nullptr, 0);  // still too long: refused
    EXPECT_EQ(quadro(), "\a");
    for (int i = 0; i < 10; i++) {
        e.tamQuadro = 0;
        aplicarTeclaEdicao(e, BACKSPACE, nullptr, 0);
        aplicarNaTela(tela, quadro());
    }
    confere();  // short enough again: all of it shown
    EXPECT_EQ(texto(), std::string(13, 'a'));
}

// A prompt of 33 columns in a window of 40: the text wraps after 7, and
// every move and edit across the wrap lands where the terminal shows it.
TEST(EditorLinha, LinhaQueQuebraEmVariasFileiras) {
    comecar(std::string(33, 'p'), 40);
    digitar("abcdefg");
    EXPECT_TRUE(e.quebraPendente);
    digitar("h");
    EXPECT_EQ(quadro(), "h");  // the terminal wraps it by itself
    tecla(SETA_ESQUERDA);      // onto h, at the start of row 2
    tecla(SETA_ESQUERDA);      // onto g, the last column of row 1
    digitar("X");              // in the middle: the rest drawn again, the cursor back on g
    EXPECT_EQ(texto(), "abcdefXgh");
    EXPECT_EQ(linhaDaTela(tela, 1), "gh");
    tecla(TECLA_END);
    EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
    EXPECT_EQ(tela.linha, 2);
    // A prompt wider than the window: only the columns of its last row count.
    comecar(std::string(95, 'p'), 40);
    EXPECT_EQ(e.colunaInicial, 15);
    digitar("abc");
    tecla(TECLA_HOME);
    // A prompt that fills its row exactly: the text starts on the next.
    comecar(std::string(80, 'p'), 40);
    digitar("ab");
    tecla(TECLA_HOME);
    tecla(BACKSPACE);
    tecla(TECLA_DELETE);
    EXPECT_EQ(linhaDaTela(tela, 2), "b");
}

// A line that ends exactly at the right margin, and one a letter longer,
// typed, erased and edited at its start, shows the same whether the
// terminal holds the cursor at the margin until the next character or, as a
// console without virtual-terminal processing does, moves it to the next
// row at once. 40 columns, 19 of them the prompt's: 21 are left.
TEST(EditorLinha, LinhaAteAMargemNosDoisModosDeQuebra) {
    const std::string P = "Nome do jogador 1: ", A = "abcdefghijklmnopqrstu", B = A + "v";
    const int HOME = TECLA_HOME, END = TECLA_END, DEL = TECLA_DELETE, ESQ = SETA_ESQUERDA, DIR = SETA_DIREITA;
    struct Caso {
        std::string digitado;
        std::vector<int> teclas;
        std::string fileira0, fileira1;
        int linha, coluna;  // the cell the next character goes to
    } casos[] = {
        {A, {}, P + A, "", 1, 0},
        {B, {}, P + A, "v", 1, 1},
        {A, {BACKSPACE}, P + "abcdefghijklmnopqrst", "", 0, 39},
        {B, {BACKSPACE}, P + A, "", 1, 0},
        {A, {HOME, 'Q'}, P + "Qabcdefghijklmnopqrst", "u", 0, 20},
        {B, {HOME, 'Q'}, P + "Qabcdefghijklmnopqrst", "uv", 0, 20},
        {A, {HOME, 'Q', 'R', 'S'}, P + "QRSabcdefghijklmnopqr", "stu", 0, 22},
        {B, {HOME, DEL}, P + "bcdefghijklmnopqrstuv", "", 0, 19},
        {A, {HOME, 'Q', END, BACKSPACE}, P + "Qabcdefghijklmnopqrst", "", 1, 0},
        {B, {HOME, END}, P + A, "v", 1, 1},
        {A, {ESQ, DIR}, P + A, "", 1, 0},
        {B, {ESQ, ESQ, BACKSPACE}, P + "abcdefghijklmnopqrsuv", "", 0, 38},
    };
    for (bool deImediato : {false, true}) {
        for (const Caso& c : casos) {
            SCOPED_TRACE(std::string(deImediato ? "at once: " : "at the next character: ") + c.digitado + " " +
                         std::to_string(c.teclas.size()) + " keys");
            comecar(P, 40, 24, MAX_LINHA, deImediato);
            digitar(c.digitado);
            for (int t : c.teclas) tecla(t);
            EXPECT_EQ(linhaDaTela(tela, 0), c.fileira0);
            EXPECT_EQ(linhaDaTela(tela, 1), c.fileira1);
            EXPECT_EQ(linhaDaTela(tela, 2), "");
            EXPECT_EQ(tela.quebraPendente ? tela.linha + 1 : tela.linha, c.linha);
            EXPECT_EQ(tela.quebraPendente ? 0 : tela.coluna, c.coluna);
            // Enter: the start of the row after the text, no blank row between.
            EXPECT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
            EXPECT_EQ(tela.linha, c.fileira1.empty() ? 1 : 2);
            EXPECT_EQ(tela.coluna, 0);
            EXPECT_FALSE(tela.quebraPendente);
        }
    }
}

// The screen drawn again, prompt and line, at the same size (a resize that
// changed nothing, Ctrl-L).
void redesenhar() {
    iniciarTelaModelo(tela, tela.linhas, tela.colunas, tela.quebraDeImediato);
    aplicarNaTela(tela, prompt);
    e.tamQuadro = 0;
    redesenharEdicao(e, e.colunaInicial, e.colunas, e.linhas);
    aplicarNaTela(tela, quadro());
    confere();
}

// Every width of prompt in windows of 7, 23 and 80 columns, both ways of
// wrapping: Enter on an empty line, then a line of the columns left on the
// prompt's row (a whole row when the prompt filled its own) and one a
// letter longer, drawn again, erased, edited at the start with a wide
// character and at the end. The screen shows the text and the cursor where
// they are after every key (confere), and Enter goes to the start of the
// row after the text.
TEST(EditorLinha, MargemEmTodaLarguraDePrompt) {
    const std::string LETRAS = "abcdefghijklmnopqrstuvwxyz";
    for (bool deImediato : {false, true}) {
        for (int colunas : {7, 23, 80}) {
            for (int p = 0; p <= colunas; p++) {
                std::string cadeia(static_cast<size_t>(p), '>');
                SCOPED_TRACE(std::to_string(colunas) + " columns, prompt of " + std::to_string(p) +
                             (deImediato ? ", at once" : ""));
                comecar(cadeia, colunas, 24, MAX_LINHA, deImediato);
                redesenhar();
                ASSERT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
                EXPECT_EQ(tela.linha, 1);
                EXPECT_EQ(tela.coluna, 0);
                for (int mais : {0, 1}) {
                    SCOPED_TRACE("+" + std::to_string(mais));
                    comecar(cadeia, colunas, 24, MAX_LINHA, deImediato);
                    int resto = p == colunas ? colunas : colunas - p;
                    std::string linha;
                    for (int i = 0; i < resto + mais; i++) linha += LETRAS[static_cast<size_t>(i) % LETRAS.size()];
                    digitar(linha);
                    redesenhar();
                    tecla(BACKSPACE);
                    digitar("z");
                    tecla(TECLA_HOME);
                    digitar("\xe6\x97\xa5");  // two columns
                    tecla(TECLA_DELETE);
                    tecla(TECLA_DELETE);
                    digitar("Q");
                    tecla(TECLA_END);
                    tecla(BACKSPACE);
                    digitar("y");
                    ASSERT_EQ(tecla(TECLA_ENTER), EDICAO_LINHA_PRONTA);
                    int ultima = tela.linhas - 1;
                    while (ultima > 0 && linhaDaTela(tela, ultima).empty()) ultima--;
                    EXPECT_EQ(tela.linha, ultima + 1);
                    EXPECT_EQ(tela.coluna, 0);
                    EXPECT_FALSE(tela.quebraPendente);
                }
            }
        }
    }
}

// The console services hand the editor the way the backend wraps: on a
// console that wraps a full row at once, a line that reaches the margin,
// edited at its start, is drawn in place.
TEST(EditorLinha, ConsoleQueQuebraDeImediato) {
    edicaoRoteiro = true;
    quebraDeImediatoRoteiro = true;
    colunasRoteiro = 40;
    std::string teclas = "abcdefghijklmnopqrstu\x01QRS\r";
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    escrever("Nome do jogador 1: ");
    char linha[50];
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_STREQ(linha, "QRSabcdefghijklmnopqrstu");
    descarregarSaida();
    TelaModelo t;
    iniciarTelaModelo(t, 24, 40, true);
    aplicarNaTela(t, std::string(saidaRoteiro(), tamSaidaRoteiro()));
    EXPECT_EQ(linhaDaTela(t, 0), "Nome do jogador 1: QRSabcdefghijklmnopqr");
    EXPECT_EQ(linhaDaTela(t, 1), "stu");
    EXPECT_EQ(linhaDaTela(t, 2), "");
    EXPECT_EQ(t.linha, 2);
    EXPECT_EQ(t.coluna, 0);
    edicaoRoteiro = quebraDeImediatoRoteiro = false;
    colunasRoteiro = 80;
}

// A window resized (or fg) draws the whole line again behind the prompt,
// by the new width.
TEST(EditorLinha, RedesenhoPelaNovaLargura) {
    comecar("Resposta: ", 80);
    digitar("abcdef");
    tecla(SETA_ESQUERDA);
    iniciarTelaModelo(tela, 24, 12);  // the screen as it is redrawn, by the new width
    aplicarNaTela(tela, prompt);
    e.tamQuadro = 0;
    redesenharEdicao(e, 10, 12, 24);
    aplicarNaTela(tela, quadro());
    confere();
    EXPECT_EQ(linhaDaTela(tela, 1), "cdef");
}

// A line typed at the terminal for a line read is that read's own, its
// Enter included; a line of numbers still fills the number reads that
// follow, and what they leave is pending as in a stream.
TEST(EditorLinha, LinhaEditadaEDaLeituraQueAPede) {
    edicaoRoteiro = true;
    std::string teclas = std::string(60, 'c') + "\r" + "x\x1b[D\x1b[3~y\r" + "3 4\r";
    definirRoteiro("", 0, teclas.data(), teclas.size());
    iniciarConsole();
    char linha[50];
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_EQ(std::string(linha), std::string(49, 'c'));
    ASSERT_TRUE(lerLinha(linha, 50));
    EXPECT_STREQ(linha, "y");
    int a = 0, b = 0;
    EXPECT_TRUE(lerInteiro(a));
    EXPECT_TRUE(lerInteiro(b));
    EXPECT_EQ(a * 10 + b, 34);
    ASSERT_TRUE(lerLinha(linha, 50));  // the newline after "3 4"
    EXPECT_STREQ(linha, "");
    EXPECT_FALSE(lerLinha(linha, 50));  // the keys are over: the end of input
    EXPECT_TRUE(fimDaEntrada());
    descarregarSaida();
    std::string escrito(saidaRoteiro(), tamSaidaRoteiro());
    EXPECT_EQ(escrito.find(std::string(50, 'c')), std::string::npos) << "a refused key was echoed";
    EXPECT_EQ(std::count(escrito.begin(), escrito.end(), '\a'), 11);
    edicaoRoteiro = false;
}
