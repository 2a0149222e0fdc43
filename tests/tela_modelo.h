// A terminal's screen as a player sees it, for tests: the text of each row
// and where the cursor is, after the sequences the line editor and the
// screens send (text, CR, LF as CR LF, ESC [ n A, ESC [ n C, ESC [ J, ESC [ H,
// ESC [ 2 J; colours and the cursor's visibility change nothing here). Rows
// wrap and scroll as xterm's do.
#pragma once

#include <string>
#include <vector>

struct TelaModelo {
    int linhas = 24;
    int colunas = 80;
    std::vector<std::string> celulas;  // a character per cell, "" for blank
    int linha = 0;
    int coluna = 0;
    bool quebraPendente = false;  // past the last column, until the next character
};

void iniciarTelaModelo(TelaModelo& t, int linhas, int colunas);
void aplicarNaTela(TelaModelo& t, const std::string& bytes);
// The row's text, its trailing blanks left out.
std::string linhaDaTela(const TelaModelo& t, int linha);
