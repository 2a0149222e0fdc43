// The line editor: where the console's line reads get their lines when
// standard input is the terminal, which stays in its key-by-key mode. It is
// handed a prompt already on the screen and gives back one line.
//
// One record holds the whole edit; every key is one function that changes
// it and puts what the terminal must be sent in its frame. The editor knows
// no terminal: the console services feed it keys and send its frames.
// Columns count characters, not bytes.
#pragma once

// The longest line, as a terminal's own line may be; past it keys are refused.
const int MAX_LINHA = 4096;
const int TAM_QUADRO_EDICAO = MAX_LINHA + 256;

struct EdicaoLinha {
    char texto[MAX_LINHA];  // UTF-8, controls never enter it
    int tamanho;            // bytes in texto
    int cursor;             // byte offset of the cursor, never inside a character
    // Where the text starts: the column after the prompt, 0 to colunas
    // (colunas when the prompt filled its last row exactly).
    int colunaInicial;
    int colunas;                     // the window's width
    int linhaFisica;                 // the row the terminal's cursor is on, counted from the prompt's last row
    bool quebraPendente;             // the cursor sits past the last column, until the next character wraps it
    bool fimEscrito;                 // the cursor is where writing the whole text left it
    char quadro[TAM_QUADRO_EDICAO];  // what to send the terminal for the last key
    int tamQuadro;
};

enum ResultadoEdicao { EDICAO_SEGUE, EDICAO_LINHA_PRONTA, EDICAO_FIM_DA_ENTRADA };

// A new, empty line; colunaDoPrompt counts every column the prompt's line
// has taken (it may be wider than the window).
void iniciarEdicao(EdicaoLinha& e, int colunaDoPrompt, int colunas);

// One key code (teclas.h); a character outside ASCII comes as
// TECLA_NAO_ASCII with its bytes.
ResultadoEdicao aplicarTeclaEdicao(EdicaoLinha& e, int codigo, const char* caractere, int tamCaractere);

// Draws the whole line again, from the prompt on, into the frame: after
// the screen was written again with the prompt (a resize, or fg).
void redesenharEdicao(EdicaoLinha& e, int colunaDoPrompt, int colunas);
