// The line editor: where the console's line reads get their lines when
// standard input is the terminal, which stays in its key-by-key mode. It is
// handed a prompt already on the screen and gives back one line.
//
// One record holds the whole edit; every key is one function that changes
// it and puts what the terminal must be sent in its frame. The editor knows
// no terminal: the console services feed it keys and send its frames.
// Columns are counted as the terminal counts them, and the cursor moves
// over what the player sees as one character (grafemas.h).
#pragma once

// The longest line, as a terminal's own line may be; past it keys are refused.
const int MAX_LINHA = 4096;
// The most rows a line is given, whatever height the window reports: no
// line needs more than it has bytes, and rows by columns stays an int.
const int MAX_LINHAS_EDICAO = MAX_LINHA + 2;
const int TAM_QUADRO_EDICAO = 2 * MAX_LINHA + 256;

struct EdicaoLinha {
    char texto[MAX_LINHA];  // UTF-8, controls never enter it
    int tamanho;            // bytes in texto
    int limite;             // the most bytes the read being served can hold
    int cursor;             // byte offset of the cursor, at the start of a character the player sees
    // Where the text starts: the column after the prompt, 0 to colunas
    // (colunas when the prompt filled its last row exactly).
    int colunaInicial;
    int colunas;          // the width at which the terminal wraps its rows
    int linhas;           // and the window's height: the line never takes more rows than that
    int linhaFisica;      // the row the terminal's cursor is on, counted from the prompt's last row
    bool quebraPendente;  // the cursor sits past the last column, until the next character wraps it
    // The terminal moves the cursor to the next row as soon as a character
    // fills the last column (a console without virtual-terminal
    // processing), instead of holding it at the margin: then quebraPendente
    // is never set.
    bool quebraDeImediato;
    int xFim;         // the column after the whole text, counted as posicao counts it,
    bool xFimValido;  // kept while the text and the window stay as they are
    // What the last run of erasing keys (Ctrl-W, Alt- and Ctrl-Backspace,
    // Ctrl-K, Ctrl-U, one after another) erased on this line, for Ctrl-Y: in
    // the order it stood, so a word erased in two strokes comes back whole.
    char apagado[MAX_LINHA];
    int tamApagado;
    bool apagouPorUltimo;            // the last key erased: the next erasing key adds to apagado
    char quadro[TAM_QUADRO_EDICAO];  // what to send the terminal for the last key
    int tamQuadro;
};

enum ResultadoEdicao { EDICAO_SEGUE, EDICAO_LINHA_PRONTA, EDICAO_FIM_DA_ENTRADA, EDICAO_REDESENHAR_TELA };

// A new, empty line behind a prompt that ends at colunaInicial (0 to
// colunas) of its last row, in a window of colunas by linhas (at least 1
// each), for a read that holds limite bytes (at most MAX_LINHA): a key
// that would pass it is refused, so what the player sees on the line is
// all the read takes.
// quebraDeImediato: the terminal wraps a full row at once (see the record).
void iniciarEdicao(EdicaoLinha& e, int colunaInicial, int colunas, int linhas, int limite = MAX_LINHA,
                   bool quebraDeImediato = false);

// One key code (teclas.h); a character outside ASCII comes as
// TECLA_NAO_ASCII with its bytes. EDICAO_REDESENHAR_TELA (Ctrl-L) asks for
// the whole screen again, then redesenharEdicao.
ResultadoEdicao aplicarTeclaEdicao(EdicaoLinha& e, int codigo, const char* caractere, int tamCaractere);

// Rows from the terminal's cursor to the last row of the line.
int linhasAteOFim(EdicaoLinha& e);

// Draws the whole line again, from the prompt on, into the frame: after
// the screen was written again with the prompt (a resize, fg or Ctrl-L), by
// the window's size now. What does not fit in the window is kept, not
// drawn, until the line is short enough again.
void redesenharEdicao(EdicaoLinha& e, int colunaInicial, int colunas, int linhas);
