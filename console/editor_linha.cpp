#include "console/editor_linha.h"

#include <cstring>

#include "console/codigos_teclas.h"
#include "console/grafemas.h"
#include "console/sequencias.h"
#include "console/utf8.h"

namespace {

const int CTRL_A = 1, CTRL_B = 2, CTRL_D = 4, CTRL_E = 5, CTRL_F = 6, CTRL_H = 8, CTRL_K = 11, CTRL_L = 12, CTRL_U = 21,
          CTRL_W = 23, CTRL_Y = 25, DEL = 127;

// ---------------------------------------------------------------------------
// The frame: what one key sends, in one write

void acrescentar(EdicaoLinha& e, const char* dados, int tamanho) {
    if (tamanho > TAM_QUADRO_EDICAO - e.tamQuadro) return;  // cannot happen: the frame holds a whole line twice
    memcpy(e.quadro + e.tamQuadro, dados, static_cast<size_t>(tamanho));
    e.tamQuadro += tamanho;
}

void mover(EdicaoLinha& e, int n, char final) {
    char seq[TAM_SEQUENCIA];
    int tamanho = sequenciaMover(seq, n, final);
    acrescentar(e, seq, tamanho);
}

// A refused key: the terminal's bell, as a shell's line editor rings it.
void recusar(EdicaoLinha& e) { acrescentar(e, "\a", 1); }

// ---------------------------------------------------------------------------
// Where things are on the screen

// The column, counted from the start of the prompt's last row, of byte i.
int posicao(const EdicaoLinha& e, int i) { return colunaDepoisDe(e.texto, i, e.colunaInicial, e.colunas); }

// The column after the whole text: measured once, then kept up to date as
// keys add at the end, so typing and pasting stay cheap on a long line.
int posicaoDoFim(EdicaoLinha& e) {
    if (!e.xFimValido) e.xFim = posicao(e, e.tamanho);
    e.xFimValido = true;
    return e.xFim;
}

// The rows the window has room for: the text's end must stay within them.
int capacidade(const EdicaoLinha& e) { return e.linhas * e.colunas; }

// How much of the text the window shows: all of it unless the window was
// made too small for it since (then up to the last character that fits).
int visivel(EdicaoLinha& e) {
    if (posicaoDoFim(e) < capacidade(e)) return e.tamanho;
    int cabe = 0, naoCabe = e.tamanho;
    while (naoCabe - cabe > 1) {
        int meio = (cabe + naoCabe) / 2;
        if (posicao(e, meio) < capacidade(e))
            cabe = meio;
        else
            naoCabe = meio;
    }
    return grafemaAnterior(e.texto, e.tamanho, cabe);
}

int anterior(const EdicaoLinha& e, int i) { return i > 0 ? grafemaAnterior(e.texto, e.tamanho, i - 1) : 0; }

int seguinte(const EdicaoLinha& e, int i) {
    int inicio = grafemaAnterior(e.texto, e.tamanho, i);
    return fimDoGrafema(e.texto, e.tamanho, inicio);
}

bool palavra(const EdicaoLinha& e, int i) { return grafemaDePalavra(e.texto, e.tamanho, i); }

// Where Ctrl-W stops: a space, with any marks typed after it (one character
// with it, never split). Tabs and other controls never enter the line.
bool branco(const EdicaoLinha& e, int i) { return e.texto[i] == ' '; }

// The start of the word before i, over what is no word first.
int palavraAnterior(const EdicaoLinha& e, int i) {
    while (i > 0 && !palavra(e, anterior(e, i))) i = anterior(e, i);
    while (i > 0 && palavra(e, anterior(e, i))) i = anterior(e, i);
    return i;
}

// Ctrl-W's word, as a shell's: back over blanks, then over everything up to
// the blank before, punctuation included ("foo-bar baz_qux" keeps "foo-bar ").
int trechoAnterior(const EdicaoLinha& e, int i) {
    while (i > 0 && branco(e, anterior(e, i))) i = anterior(e, i);
    while (i > 0 && !branco(e, anterior(e, i))) i = anterior(e, i);
    return i;
}

// Past the end of the word after i, over what is no word first.
int palavraSeguinte(const EdicaoLinha& e, int i) {
    while (i < e.tamanho && !palavra(e, i)) i = seguinte(e, i);
    while (i < e.tamanho && palavra(e, i)) i = seguinte(e, i);
    return i;
}

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
}

// Where the cursor is once the text up to byte fim has been written: past
// the last column of a full row, a terminal holds it there until the next
// character wraps it; a console has already moved it to the next row.
void depoisDeEscrever(EdicaoLinha& e, int fim) {
    int x = fim == e.tamanho ? posicaoDoFim(e) : posicao(e, fim);
    e.quebraPendente = !e.quebraDeImediato && x > 0 && x % e.colunas == 0;
    e.linhaFisica = e.quebraPendente ? x / e.colunas - 1 : x / e.colunas;
}

// Draws the line again from byte i on, the cursor standing at i, and puts
// the cursor back where it belongs.
void redesenharDesde(EdicaoLinha& e, int i) {
    int fim = visivel(e);
    if (e.cursor > fim) e.cursor = fim;
    if (i > fim) i = fim;
    irPara(e, posicao(e, i));
    acrescentar(e, SEQ_APAGAR_ABAIXO, sizeof SEQ_APAGAR_ABAIXO - 1);
    if (fim > i) {
        acrescentar(e, e.texto + i, fim - i);
        depoisDeEscrever(e, fim);
    }
    if (e.cursor != fim) irPara(e, posicao(e, e.cursor));
}

void irParaOCursor(EdicaoLinha& e, int cursor) {
    int fim = visivel(e);
    if (cursor > fim) cursor = fim;
    if (cursor == e.cursor) return;
    e.cursor = cursor;
    irPara(e, posicao(e, cursor));
}

// Keeps bytes de to ate for Ctrl-Y. After another erasing key they join
// what it kept, as they stood in the line: what was before the cursor goes
// in front, what was after it behind (Ctrl-U, erasing both sides, puts back
// the whole line as it was before the run began).
void guardarApagado(EdicaoLinha& e, int de, int ate, bool emendar) {
    // A run never erases more than the line held when it began, so the two
    // always fit; should they not, the run starts over.
    if (!emendar || e.tamApagado + (ate - de) > MAX_LINHA) e.tamApagado = 0;
    int meio = e.cursor < de ? de : e.cursor > ate ? ate : e.cursor;
    int antes = meio - de, depois = ate - meio;
    memmove(e.apagado + antes, e.apagado, static_cast<size_t>(e.tamApagado));
    memcpy(e.apagado, e.texto + de, static_cast<size_t>(antes));
    memcpy(e.apagado + antes + e.tamApagado, e.texto + meio, static_cast<size_t>(depois));
    e.tamApagado += antes + depois;
}

// Erases from byte de to ate.
void apagar(EdicaoLinha& e, int de, int ate) {
    if (ate <= de) return;
    memmove(e.texto + de, e.texto + ate, static_cast<size_t>(e.tamanho - ate));
    e.tamanho -= ate - de;
    e.xFimValido = false;
    if (e.cursor > de) e.cursor = e.cursor >= ate ? e.cursor - (ate - de) : de;
    redesenharDesde(e, de);
}

// The keys that erase for Ctrl-Y, and what each would erase now (de to ate,
// nothing when ate is de).
bool trechoDoApagamento(const EdicaoLinha& e, int codigo, int& de, int& ate) {
    de = ate = e.cursor;
    switch (codigo) {
    case CTRL_W: de = trechoAnterior(e, e.cursor); return true;
    case TECLA_ALT_BACKSPACE:
    case TECLA_CTRL_BACKSPACE: de = palavraAnterior(e, e.cursor); return true;
    case CTRL_K: ate = e.tamanho; return true;
    case CTRL_U: de = 0, ate = e.tamanho; return true;  // the whole line, wherever the cursor is
    default: return false;
    }
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

// Puts bytes in at the cursor, unless the line would pass what its read
// holds or no longer fit in the window: then nothing changes, and the bell
// rings. A character goes in whole or not at all.
void inserir(EdicaoLinha& e, const char* bytes, int n) {
    if (n <= 0) return;
    if (e.tamanho + n > e.limite || visivel(e) < e.tamanho) {
        recusar(e);
        return;
    }
    bool noFim = e.cursor == e.tamanho;
    int antes = e.cursor;
    int xAntes = posicaoDoFim(e);
    // A joiner just before counts: an emoji after it shares its cell.
    bool aposZwj = antes >= 3 && memcmp(e.texto + antes - 3, "\xe2\x80\x8d", 3) == 0;
    memmove(e.texto + antes + n, e.texto + antes, static_cast<size_t>(e.tamanho - antes));
    memcpy(e.texto + antes, bytes, static_cast<size_t>(n));
    e.tamanho += n;
    e.xFimValido = noFim;
    if (noFim) e.xFim = colunaDepoisDe(bytes, n, xAntes, e.colunas, aposZwj);
    if (posicaoDoFim(e) >= capacidade(e)) {  // taller than the window: taken back
        memmove(e.texto + antes, e.texto + antes + n, static_cast<size_t>(e.tamanho - antes - n));
        e.tamanho -= n;
        e.xFim = xAntes;
        e.xFimValido = true;
        recusar(e);
        return;
    }
    e.cursor += n;
    if (noFim) {
        // The common case: the character alone, as the terminal's own echo.
        acrescentar(e, bytes, n);
        depoisDeEscrever(e, e.tamanho);
    } else {
        redesenharDesde(e, antes);
    }
}

// Enter: the cursor goes past the end of the text and on to the next row.
void terminarLinha(EdicaoLinha& e) {
    int fim = visivel(e);
    if (e.cursor != fim) irParaOCursor(e, fim);
    int x = fim == e.tamanho ? posicaoDoFim(e) : posicao(e, fim);
    // Already at the start of the row after the text (moved there by End
    // with the text ending at the last column): a line feed would add one.
    if (!e.quebraPendente && x > 0 && x % e.colunas == 0 && e.linhaFisica == x / e.colunas) return;
    acrescentar(e, "\n", 1);
}

// Takes the window's size and where the prompt ends, and forgets what was
// measured in the old window.
void ajustarAJanela(EdicaoLinha& e, int colunaInicial, int colunas, int linhas) {
    e.colunas = colunas > 0 ? colunas : 1;
    // No line takes more rows than it has bytes, and rows by columns must
    // stay an int whatever size a terminal reports.
    e.linhas = linhas <= 0 ? 1 : linhas > MAX_LINHAS_EDICAO ? MAX_LINHAS_EDICAO : linhas;
    e.colunaInicial = colunaInicial < 0 ? 0 : colunaInicial > e.colunas ? e.colunas : colunaInicial;
    // A prompt that filled its last row: the cursor waits at its margin, or
    // on a console is already at the start of the next row.
    bool cheia = e.colunaInicial == e.colunas;
    e.quebraPendente = cheia && !e.quebraDeImediato;
    e.linhaFisica = cheia && e.quebraDeImediato ? 1 : 0;
    e.xFimValido = false;
}

}  // namespace

void iniciarEdicao(EdicaoLinha& e, int colunaInicial, int colunas, int linhas, int limite, bool quebraDeImediato) {
    e.tamanho = e.cursor = 0;
    e.quebraDeImediato = quebraDeImediato;
    e.limite = limite < 0 ? 0 : limite > MAX_LINHA ? MAX_LINHA : limite;
    e.tamApagado = 0;  // nothing of an earlier line, another player's maybe, can be put back
    e.apagouPorUltimo = false;
    e.tamQuadro = 0;
    ajustarAJanela(e, colunaInicial, colunas, linhas);
}

int linhasAteOFim(EdicaoLinha& e) {
    int fim = visivel(e);
    int x = fim == e.tamanho ? posicaoDoFim(e) : posicao(e, fim);
    int ultima = x > 0 && x % e.colunas == 0 ? x / e.colunas - 1 : x / e.colunas;
    return ultima > e.linhaFisica ? ultima - e.linhaFisica : 0;
}

void redesenharEdicao(EdicaoLinha& e, int colunaInicial, int colunas, int linhas) {
    ajustarAJanela(e, colunaInicial, colunas, linhas);
    redesenharDesde(e, 0);
}

ResultadoEdicao aplicarTeclaEdicao(EdicaoLinha& e, int codigo, const char* caractere, int tamCaractere) {
    int de = 0, ate = 0;
    if (trechoDoApagamento(e, codigo, de, ate)) {
        if (ate > de) {
            guardarApagado(e, de, ate, e.apagouPorUltimo);
            apagar(e, de, ate);
        }
        e.apagouPorUltimo = true;  // even with nothing to erase, as a shell's line editor
        return EDICAO_SEGUE;
    }
    // Any other key, Ctrl-Y and those that do nothing included, ends the run.
    e.apagouPorUltimo = false;
    switch (codigo) {
    case SETA_ESQUERDA:
    case CTRL_B: irParaOCursor(e, anterior(e, e.cursor)); return EDICAO_SEGUE;
    case SETA_DIREITA:
    case CTRL_F: irParaOCursor(e, seguinte(e, e.cursor)); return EDICAO_SEGUE;
    case SETA_ESQUERDA_MODIFICADA:
    case TECLA_ALT_B: irParaOCursor(e, palavraAnterior(e, e.cursor)); return EDICAO_SEGUE;
    case SETA_DIREITA_MODIFICADA:
    case TECLA_ALT_F: irParaOCursor(e, palavraSeguinte(e, e.cursor)); return EDICAO_SEGUE;
    case TECLA_HOME:
    case CTRL_A: irParaOCursor(e, 0); return EDICAO_SEGUE;
    case TECLA_END:
    case CTRL_E: irParaOCursor(e, e.tamanho); return EDICAO_SEGUE;
    case TECLA_ENTER: terminarLinha(e); return EDICAO_LINHA_PRONTA;
    case CTRL_L: return EDICAO_REDESENHAR_TELA;
    case CTRL_D:
        if (e.tamanho == 0) return EDICAO_FIM_DA_ENTRADA;
        [[fallthrough]];
    case TECLA_DELETE:
        if (e.cursor < e.tamanho) apagar(e, e.cursor, seguinte(e, e.cursor));
        return EDICAO_SEGUE;
    case CTRL_H:
    case DEL:
        if (e.cursor > 0) apagar(e, anterior(e, e.cursor), e.cursor);
        return EDICAO_SEGUE;
    case CTRL_Y: inserir(e, e.apagado, e.tamApagado); return EDICAO_SEGUE;
    default: break;  // Up, Down (no line can be recalled), PageUp, function keys, other Alt keys: nothing
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
