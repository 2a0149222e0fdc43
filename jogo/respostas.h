// The answer editor's pieces that can go wrong on their own.
#pragma once

enum AcaoTecla { ACAO_NENHUMA, ACAO_SUBIR, ACAO_DESCER, ACAO_RESPONDER, ACAO_FINALIZAR };

// What an ordinary key code does (not a prefix, not the end of the keys).
AcaoTecla acaoDaTecla(int codigo);
// What the second code of an extended key does.
AcaoTecla acaoDaTeclaEstendida(int codigo);
// The cursor after a move of one up (-1) or down (+1), wrapping around.
int moverCursor(int selecionado, int passo);
