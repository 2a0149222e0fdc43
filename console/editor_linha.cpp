#include "console/editor_linha.h"

#include <cstring>

#include "console/sequencias.h"
#include "console/teclas.h"
#include "console/utf8.h"

namespace {

// ---------------------------------------------------------------------------
// The frame: what one key sends, in one write

void acrescentar(EdicaoLinha& e, const char* dados, int tamanho) {
    if (tamanho > TAM_QUADRO_EDICAO - e.tamQuadro) return;  // cannot happen: the frame holds a whole line
    memcpy(e.quadro + e.tamQuadro, dados, static_cast<size_t>(tamanho));
    e.tamQuadro += tamanho;
}

void mover(EdicaoLinha& e, int n, char final) {
    char seq[TAM_SEQUENCIA];
    acrescentar(e, seq, sequenciaMover(seq, n, final));
}

bool continuacao(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The column, counted from the start of the prompt's last row, of byte i.
int posicao(const EdicaoLinha& e, int i) { return e.colunaInicial + colunasDoTexto(e.texto, i); }

// Puts the terminal's cursor at position x: up with CUU, down with line
// feeds (which scroll when the text has reached the bottom), then the column.
void irPara(EdicaoLinha& e, int x) {
    int linha = x / e.colunas;
    int coluna = x % e.colunas;
    if (linha < e.linhaFisica) mover(e, e.linhaFisica - linha, 'A');
    for (int i = e.linhaFisica; i < linha; i++) acrescentar(e, "\n", 1);
    acrescentar(e, "\r", 1);
    if (coluna > 0) mover(e, coluna, 'C');
    e.linhaFisica = linha;
    e.quebraPendente = false;
    e.fimEscrito = false;
}

// Where the cursor is once the text up to byte fim has been written: past
// the last column of a full row, the terminal holds it there until the next
// character wraps it.
void depoisDeEscrever(EdicaoLinha& e, int fim) {
    int x = posicao(e, fim);
    e.quebraPendente = x % e.colunas == 0;
    e.linhaFisica = e.quebraPendente ? x / e.colunas - 1 : x / e.colunas;
    e.fimEscrito = true;
}

// Draws the line again from byte i on, the cursor standing at i, and puts
// the cursor back where it belongs.
void redesenharDesde(EdicaoLinha& e, int i) {
    irPara(e, posicao(e, i));
    acrescentar(e, SEQ_APAGAR_ABAIXO, sizeof SEQ_APAGAR_ABAIXO - 1);
    if (e.tamanho > i) {
        acrescentar(e, e.texto + i, e.tamanho - i);
        depoisDeEscrever(e, e.tamanho);
    }
    if (e.cursor != e.tamanho) irPara(e, posicao(e, e.cursor));
}

int inicioAnterior(const EdicaoLinha& e, int i) {
    do {
        i--;
    } while (i > 0 && continuacao(e.texto[i]));
    return i;
}

int inicioSeguinte(const EdicaoLinha& e, int i) {
    do {
        i++;
    } while (i < e.tamanho && continuacao(e.texto[i]));
    return i;
}

void remover(EdicaoLinha& e, int de, int ate) {
    memmove(e.texto + de, e.texto + ate, static_cast<size_t>(e.tamanho - ate));
    e.tamanho -= ate - de;
}

// Only what shows as itself enters the line: printable ASCII and whole
// UTF-8 characters that are not C1 controls.
bool imprimivel(int codigo, const char* caractere, int tamanho) {
    if (codigo >= 0x20 && codigo < 0x7F) return true;
    if (codigo != TECLA_NAO_ASCII || tamanho < 2) return false;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(caractere);
    unsigned char completo[5] = {0, 0, 0, 0, 0};
    memcpy(completo, s, static_cast<size_t>(tamanho));
    if (tamanhoUtf8(completo) != tamanho) return false;
    return !(s[0] == 0xC2 && s[1] < 0xA0);
}

void inserir(EdicaoLinha& e, const char* bytes, int n) {
    if (e.tamanho + n > MAX_LINHA) return;  // as full as a terminal's own line
    bool noFim = e.cursor == e.tamanho;
    memmove(e.texto + e.cursor + n, e.texto + e.cursor, static_cast<size_t>(e.tamanho - e.cursor));
    memcpy(e.texto + e.cursor, bytes, static_cast<size_t>(n));
    e.tamanho += n;
    int antes = e.cursor;
    e.cursor += n;
    if (noFim) {
        // The common case: the character alone, as the terminal's own echo.
        acrescentar(e, bytes, n);
        depoisDeEscrever(e, e.tamanho);
    } else {
        redesenharDesde(e, antes);
    }
}

void irParaOCursor(EdicaoLinha& e, int cursor) {
    if (cursor == e.cursor) return;
    e.cursor = cursor;
    irPara(e, posicao(e, cursor));
}

// Enter: the cursor goes past the end of the text and on to the next row.
void terminarLinha(EdicaoLinha& e) {
    if (e.cursor != e.tamanho) irParaOCursor(e, e.tamanho);
    int x = posicao(e, e.tamanho);
    // Already at the start of the row after the text (moved there by End
    // with the text ending at the last column): a line feed would add one.
    if (!e.quebraPendente && x > 0 && x % e.colunas == 0 && e.linhaFisica == x / e.colunas) return;
    acrescentar(e, "\n", 1);
}

int coluna(int colunaDoPrompt, int colunas) { return colunaDoPrompt <= 0 ? 0 : (colunaDoPrompt - 1) % colunas + 1; }

}  // namespace

void iniciarEdicao(EdicaoLinha& e, int colunaDoPrompt, int colunas) {
    e.tamanho = e.cursor = 0;
    e.colunas = colunas > 0 ? colunas : 80;
    e.colunaInicial = coluna(colunaDoPrompt, e.colunas);
    e.linhaFisica = 0;
    e.quebraPendente = e.colunaInicial == e.colunas;
    e.fimEscrito = true;
    e.tamQuadro = 0;
}

void redesenharEdicao(EdicaoLinha& e, int colunaDoPrompt, int colunas) {
    e.colunas = colunas > 0 ? colunas : 80;
    e.colunaInicial = coluna(colunaDoPrompt, e.colunas);
    e.linhaFisica = 0;
    e.quebraPendente = e.colunaInicial == e.colunas;
    redesenharDesde(e, 0);
}

ResultadoEdicao aplicarTeclaEdicao(EdicaoLinha& e, int codigo, const char* caractere, int tamCaractere) {
    const int CTRL_A = 1, CTRL_D = 4, CTRL_E = 5, CTRL_H = 8, CTRL_U = 21, DEL = 127;
    switch (codigo) {
    case SETA_ESQUERDA:
        if (e.cursor > 0) irParaOCursor(e, inicioAnterior(e, e.cursor));
        return EDICAO_SEGUE;
    case SETA_DIREITA:
        if (e.cursor < e.tamanho) irParaOCursor(e, inicioSeguinte(e, e.cursor));
        return EDICAO_SEGUE;
    case TECLA_HOME:
    case CTRL_A: irParaOCursor(e, 0); return EDICAO_SEGUE;
    case TECLA_END:
    case CTRL_E: irParaOCursor(e, e.tamanho); return EDICAO_SEGUE;
    case TECLA_ENTER: terminarLinha(e); return EDICAO_LINHA_PRONTA;
    case CTRL_D:
        if (e.tamanho == 0) return EDICAO_FIM_DA_ENTRADA;
        [[fallthrough]];
    case TECLA_DELETE:
        if (e.cursor < e.tamanho) {
            remover(e, e.cursor, inicioSeguinte(e, e.cursor));
            redesenharDesde(e, e.cursor);
        }
        return EDICAO_SEGUE;
    case CTRL_H:
    case DEL:
        if (e.cursor > 0) {
            int inicio = inicioAnterior(e, e.cursor);
            remover(e, inicio, e.cursor);
            e.cursor = inicio;
            redesenharDesde(e, inicio);
        }
        return EDICAO_SEGUE;
    case CTRL_U:
        if (e.tamanho > 0) {
            e.tamanho = e.cursor = 0;
            redesenharDesde(e, 0);
        }
        return EDICAO_SEGUE;
    default: break;  // Up, Down, PageUp, function keys, Alt: nothing
    }
    if (imprimivel(codigo, caractere, tamCaractere)) {
        char c = static_cast<char>(codigo);
        if (codigo < 0x80)
            inserir(e, &c, 1);
        else
            inserir(e, caractere, tamCaractere);
    }
    return EDICAO_SEGUE;
}
