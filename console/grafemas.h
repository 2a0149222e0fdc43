// What the player sees as one character, and how many columns it takes.
//
// A grapheme cluster (Unicode's extended grapheme cluster: a letter with its
// combining marks, a flag's two letters, an emoji with its skin tone or the
// emoji it is joined to) is what the line editor moves over and deletes
// whole, and what a read of 49 bytes never splits. Columns are counted as
// terminals count them: each code point on its own (East Asian wide and
// fullwidth characters and emoji 2, combining marks, joiners and variation
// selectors 0, the rest 1), except that an emoji right after a zero-width
// joiner shares the cell of the one before it, as tmux and most terminals
// draw them. The properties come from a table generated from the Unicode
// Character Database (tools/gerar_grafemas.py).
#pragma once

// Where the cluster that starts at byte i of the text (bytes of UTF-8; a
// byte that is not UTF-8 is a cluster of its own) ends.
int fimDoGrafema(const char* texto, int tamanho, int i);

// The last cluster boundary at or before byte i (0 at the least).
int grafemaAnterior(const char* texto, int tamanho, int i);

// Whether the cluster at byte i is part of a word: it starts with a letter
// or a digit, accented letters and those of every script included.
bool grafemaDePalavra(const char* texto, int tamanho, int i);

// The columns a terminal takes to show the first bytes of a text, in a
// window that is colunas wide, from column x on the screen counted from the
// start of a row (x may be past the window: rows follow one another): the
// x the cursor then stands at. A wide character never straddles two rows: in
// the last column it leaves a blank there and goes to the next row.
// aposZwj: the code point just before the text was a zero-width joiner.
int colunaDepoisDe(const char* texto, int bytes, int x, int colunas, bool aposZwj = false);

// The columns of the first bytes of a text, rows apart.
int larguraDoTexto(const char* texto, int bytes);

// The Unicode version the table was generated from.
const char* versaoUnicode();

// Columns of one code point on its own (0, 1 or 2), and whether it is an
// emoji (Extended_Pictographic).
int larguraDoCodigo(unsigned codigo);
bool emojiDoCodigo(unsigned codigo);
