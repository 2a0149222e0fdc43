// A terminal's screen as a player sees it, for tests: the text of each row
// and where the cursor is, after the sequences the line editor and the
// screens send (text, CR, LF as CR LF, ESC [ n A, ESC [ n C, ESC [ J, ESC [ K,
// ESC [ H and ESC [ row ; column H, ESC [ 2 J; colours and the cursor's
// visibility change nothing here). Rows wrap and scroll as xterm's and
// tmux's do: a wide character takes two cells, and goes whole to the next
// row from the last column, leaving it blank; a character of no width (a
// combining mark, a variation selector, a joiner) joins the cell before it,
// and so does an emoji after a zero-width joiner, as tmux draws it. A skin
// tone is an emoji of two cells of its own, and each letter of a flag takes
// one, as tmux 3.3 draws them. Widths come from a table of the tests' own,
// generated from Python's character database and Unicode's emoji data, not
// from the game's. With quebraDeImediato, rows wrap as a console's do
// without virtual-terminal processing: a character that fills the last
// column moves the cursor to the next row at once.
#pragma once

#include <string>
#include <vector>

struct TelaModelo {
    int linhas = 24;
    int colunas = 80;
    std::vector<std::string> celulas;  // a character per cell, "" for blank, CONTINUACAO, PREENCHIMENTO
    bool aposZwj = false;
    int linha = 0;
    int coluna = 0;
    bool quebraPendente = false;  // past the last column, until the next character
    bool quebraDeImediato = false;
    bool acabouDeQuebrar = false;  // moved to the next row by the last character, which filled its row
};

// The right half of a wide character, and the blank a wide character left
// in the last column when it went to the next row.
extern const std::string CONTINUACAO;
extern const std::string PREENCHIMENTO;

void iniciarTelaModelo(TelaModelo& t, int linhas, int colunas, bool quebraDeImediato = false);
void aplicarNaTela(TelaModelo& t, const std::string& bytes);
// The row's text, its trailing blanks left out.
std::string linhaDaTela(const TelaModelo& t, int linha);
