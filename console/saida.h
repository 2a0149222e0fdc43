// The output buffer shared by the portable console and the backends: what
// the game writes waits here until a read or a pause sends it in one piece.
#pragma once

// Adds bytes to what will be written.
void acrescentarSaida(const char* dados, int tamanho);

// Writes again what the current screen has shown since it was cleared
// (after the terminal was handed to another program and given back, or the
// window was resized), with the line being edited, if one is.
void reescreverTela();

// The columns the cursor has moved along the screen's last line: where the
// prompt being answered ends.
int colunaDaSaida();

// Adds to the screen's record what the terminal already shows: the line
// echoed by the line editor.
void registrarEco(const char* dados, int tamanho);
