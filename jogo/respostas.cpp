// Answer entry: one player, alone at the keyboard, fills in the sheet in a
// small editor that redraws the whole screen after every key.

#include "jogo/respostas.h"

#include <cctype>
#include <cstring>

#include "console/console.h"
#include "jogo/partida.h"

namespace {

void desenharTela(const Partida& partida, int jogador, int selecionado) {
    abrirTela(cores[jogador], "              RODADA %d\n", partida.rodada);
    escrever("\nLETRA: %c | JOGADOR: %s\n", partida.letra, partida.nomes[jogador]);
    escreverLinha("(W/S ou Setas para navegar | ENTER ou D para responder | F para finalizar)\n");
    for (int k = 0; k < NUM_CATEGORIAS; k++) {
        escrever("%s", k == selecionado ? " -> " : "    ");
        escrever("%s: %s\n", categorias[k], partida.respostas[jogador][k]);
    }
}

void responder(Partida& partida, int jogador, int selecionado) {
    char linha[TAM_TEXTO];
    escrever("\nDigite a resposta para [%s]: ", categorias[selecionado]);
    if (lerLinha(linha, TAM_TEXTO)) strcpy(partida.respostas[jogador][selecionado], linha);
}

}  // namespace

AcaoTecla acaoDaTecla(int codigo) {
    if (codigo == TECLA_ENTER) return ACAO_RESPONDER;
    // tolower takes only an unsigned char's value (or EOF).
    if (codigo < 0 || codigo > 255) return ACAO_NENHUMA;
    switch (tolower(codigo)) {
    case 'w': return ACAO_SUBIR;
    case 's': return ACAO_DESCER;
    case 'd': return ACAO_RESPONDER;
    case 'f': return ACAO_FINALIZAR;
    default: return ACAO_NENHUMA;
    }
}

AcaoTecla acaoDaTeclaEstendida(int codigo) {
    if (codigo == SEGUNDA_SETA_CIMA) return ACAO_SUBIR;
    if (codigo == SEGUNDA_SETA_BAIXO) return ACAO_DESCER;
    return ACAO_NENHUMA;
}

int moverCursor(int selecionado, int passo) {
    selecionado += passo;
    if (selecionado < 0) selecionado = NUM_CATEGORIAS - 1;
    if (selecionado >= NUM_CATEGORIAS) selecionado = 0;
    return selecionado;
}

void preencherRespostas(Partida& partida, int jogador) {
    int selecionado = 0;
    bool finalizado = false;
    for (int k = 0; k < NUM_CATEGORIAS; k++) partida.respostas[jogador][k][0] = '\0';

    // Nothing typed before this sheet is this player's: it opens untouched.
    passarVez(jogador);
    while (!finalizado) {
        desenharTela(partida, jogador, selecionado);
        AcaoTecla acao;
        int tecla = lerTecla();
        if (tecla == PREFIXO_ESTENDIDA) {
            int segunda = lerTecla();
            acao = segunda == TECLA_FIM ? ACAO_FINALIZAR : acaoDaTeclaEstendida(segunda);
        } else if (tecla == TECLA_FIM) {
            acao = ACAO_FINALIZAR;  // nobody can press a key any more
        } else {
            acao = acaoDaTecla(tecla);
        }
        switch (acao) {
        case ACAO_SUBIR: selecionado = moverCursor(selecionado, -1); break;
        case ACAO_DESCER: selecionado = moverCursor(selecionado, +1); break;
        case ACAO_RESPONDER: responder(partida, jogador, selecionado); break;
        case ACAO_FINALIZAR: finalizado = true; break;
        case ACAO_NENHUMA: break;
        }
    }
}
