// The output record: what the game writes waits here until a read or a
// pause sends it in one piece, and what the current screen has shown since
// it was cleared is kept, so it can be drawn again (after a resize, or when
// the game comes back from a stop).
#pragma once

// A new record: nothing written, nothing kept.
void iniciarSaida();

// The next screen starts here: what the record keeps starts afresh, once
// all of it has been sent.
void comecarTelaNaSaida();

// Adds bytes to what will be written.
void acrescentarSaida(const char* dados, int tamanho);

// Writes what is pending.
void descarregarSaida();

// Writes again what the current screen has shown.
void reescreverSaida();

// The column of its row where the screen's last line ends, in a window of
// colunas: where the prompt being answered ends (0 to colunas, colunas when
// it filled its row exactly). Every character counts as wide as the screen
// shows it; control sequences count nothing.
int colunaDaSaida(int colunas);

// Adds to the record what the terminal already shows: a line echoed by the
// line editor.
void registrarEco(const char* dados, int tamanho);

// Whether the last byte written, if any, ended a line.
bool saidaEmLinhaNova();
