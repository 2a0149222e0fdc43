// A terminal's screen as a player sees it, for tests: the text of each row
// and where the cursor is, after the sequences the line editor and the
// screens send (text, CR, LF as CR LF, ESC [ n A, ESC [ n C, ESC [ J, ESC [ K,
// ESC [ H, ESC [ 2 J; colours and the cursor's visibility change nothing here). Rows
// wrap and scroll as xterm's and tmux's do: a wide character takes two
// cells, and goes whole to the next row from the last column, leaving it
// blank; a character of no width joins the cell before it, and so does an
// emoji after a zero-width joiner, as tmux draws it.
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
};

// The right half of a wide character, and the blank a wide character left
// in the last column when it went to the next row.
extern const std::string CONTINUACAO;
extern const std::string PREENCHIMENTO;

void iniciarTelaModelo(TelaModelo& t, int linhas, int colunas);
void aplicarNaTela(TelaModelo& t, const std::string& bytes);
// The row's text, its trailing blanks left out.
std::string linhaDaTela(const TelaModelo& t, int linha);
