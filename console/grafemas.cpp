#include "console/grafemas.h"

#include "console/grafemas_tabela.h"
#include "console/utf8.h"

namespace {

// Grapheme cluster break classes, as the table numbers them.
enum Classe { OUTRA, CR, LF, CONTROLE, EXTEND, ZWJ, INDICADOR_REGIONAL, PREPEND, SPACING_MARK, L, V, T, LV, LVT };

int propriedades(unsigned codigo) {
    int inicio = 0, fim = static_cast<int>(sizeof TABELA_GRAFEMAS / sizeof TABELA_GRAFEMAS[0]) - 1;
    while (inicio < fim) {  // the last entry whose first code point is at or before codigo
        int meio = (inicio + fim + 1) / 2;
        if ((TABELA_GRAFEMAS[meio] >> GRAFEMA_DESLOCAMENTO_CODIGO) <= codigo)
            inicio = meio;
        else
            fim = meio - 1;
    }
    return static_cast<int>(TABELA_GRAFEMAS[inicio] & ((1u << GRAFEMA_DESLOCAMENTO_CODIGO) - 1));
}

int classe(int p) { return static_cast<int>(p & GRAFEMA_CLASSE); }
bool pictografico(int p) { return (p & GRAFEMA_PICTOGRAFICO) != 0; }
int largura(int p) {
    return static_cast<int>((static_cast<uint32_t>(p) >> GRAFEMA_DESLOCAMENTO_LARGURA) & GRAFEMA_LARGURA);
}
bool dePalavra(int p) { return (p & GRAFEMA_DE_PALAVRA) != 0; }

// The code point at byte i and its length; a byte that is not UTF-8 stands
// for itself, one column wide. Each return sets codigo first, so that no
// caller reads it unset, however the compiler inlines this.
int lerPontoDeCodigo(const char* texto, int tamanho, int i, unsigned& codigo) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(texto + i);
    if (s[0] < 0x80) {
        codigo = s[0];
        return 1;
    }
    int n = i + 1 + seguintesUtf8(s[0]) <= tamanho ? tamanhoUtf8(s) : 0;
    if (n < 2) {
        codigo = 0xFFFD;
        return 1;
    }
    unsigned valor = s[0] & (0x7F >> n);
    for (int k = 1; k < n; k++) valor = valor << 6 | (s[k] & 0x3F);
    codigo = valor;
    return n;
}

// Whether the rules of UAX #29 keep the two code points in one cluster.
// pictograficoAntes: the cluster so far is an emoji with its extends and a
// joiner (ExtPict Extend* ZWJ); indicadores: regional indicators so far.
bool juntos(int antes, int depois, bool pictograficoAntes, int indicadores) {
    int a = classe(antes), d = classe(depois);
    if (a == CR && d == LF) return true;                                                  // GB3
    if (a == CR || a == LF || a == CONTROLE) return false;                                // GB4
    if (d == CR || d == LF || d == CONTROLE) return false;                                // GB5
    if (a == L && (d == L || d == V || d == LV || d == LVT)) return true;                 // GB6
    if ((a == LV || a == V) && (d == V || d == T)) return true;                           // GB7
    if ((a == LVT || a == T) && d == T) return true;                                      // GB8
    if (d == EXTEND || d == ZWJ || d == SPACING_MARK) return true;                        // GB9, GB9a
    if (a == PREPEND) return true;                                                        // GB9b
    if (a == ZWJ && pictograficoAntes && pictografico(depois)) return true;               // GB11
    if (a == INDICADOR_REGIONAL && d == INDICADOR_REGIONAL) return indicadores % 2 == 1;  // GB12, GB13
    return false;
}

}  // namespace

const char* versaoUnicode() { return VERSAO_UNICODE; }

int larguraDoCodigo(unsigned codigo) { return largura(propriedades(codigo)); }

bool emojiDoCodigo(unsigned codigo) { return pictografico(propriedades(codigo)); }

int fimDoGrafema(const char* texto, int tamanho, int i) {
    if (i >= tamanho) return tamanho;
    unsigned codigo;
    int j = i + lerPontoDeCodigo(texto, tamanho, i, codigo);
    int antes = propriedades(codigo);
    bool emoji = pictografico(antes);  // ExtPict Extend* so far
    bool pictograficoAntes = false;
    int indicadores = classe(antes) == INDICADOR_REGIONAL ? 1 : 0;
    while (j < tamanho) {
        int n = lerPontoDeCodigo(texto, tamanho, j, codigo);
        int depois = propriedades(codigo);
        if (!juntos(antes, depois, pictograficoAntes, indicadores)) break;
        pictograficoAntes = emoji && classe(depois) == ZWJ;
        emoji = (emoji && classe(depois) == EXTEND) || pictografico(depois);
        if (classe(depois) == INDICADOR_REGIONAL) indicadores++;
        antes = depois;
        j += n;
    }
    return j;
}

int grafemaAnterior(const char* texto, int tamanho, int i) {
    // Clusters are found from a point known to start one: a printable ASCII
    // character after another ASCII byte (no rule joins those), the nearest
    // before i, or else the start of the text.
    int inicio = 0;
    for (int p = i < tamanho ? i : tamanho - 1; p > 0 && p > i - 256; p--) {
        unsigned char c = static_cast<unsigned char>(texto[p]), antes = static_cast<unsigned char>(texto[p - 1]);
        if (c >= 0x20 && c < 0x7F && antes < 0x80 && antes != '\r') {
            inicio = p;
            break;
        }
    }
    for (int fim; inicio < i && (fim = fimDoGrafema(texto, tamanho, inicio)) <= i;) inicio = fim;
    return inicio;
}

bool grafemaDePalavra(const char* texto, int tamanho, int i) {
    if (i >= tamanho) return false;
    unsigned codigo;
    lerPontoDeCodigo(texto, tamanho, i, codigo);
    return dePalavra(propriedades(codigo));
}

int colunaDepoisDe(const char* texto, int bytes, int x, int colunas, bool aposZwj) {
    for (int i = 0; i < bytes;) {
        unsigned codigo;
        i += lerPontoDeCodigo(texto, bytes, i, codigo);
        int p = propriedades(codigo);
        int w = aposZwj && pictografico(p) ? 0 : largura(p);
        aposZwj = classe(p) == ZWJ;
        if (w == 2 && colunas > 1 && x % colunas == colunas - 1) x++;  // the last column stays blank
        x += w;
    }
    return x;
}

int larguraDoTexto(const char* texto, int bytes) { return colunaDepoisDe(texto, bytes, 0, 1 << 30); }
