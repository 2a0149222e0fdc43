#include "tests/tela_modelo.h"

#include <cstdlib>

// Generated at build time from Python's character database and Unicode's
// emoji data (tests/gerar_larguras_tela.py), never from the game's table:
// a width the game gets wrong shows as a screen unlike the one it meant.
#include "larguras_tela.h"

const std::string CONTINUACAO = "\x01";
const std::string PREENCHIMENTO = "\x02";

namespace {

size_t indice(const TelaModelo& t, int linha, int coluna) { return static_cast<size_t>(linha * t.colunas + coluna); }

void apagarDesde(TelaModelo& t, size_t i) {
    for (; i < t.celulas.size(); i++) t.celulas[i].clear();
}

// A line feed: the row below, or the whole screen up one row at the bottom.
void descer(TelaModelo& t) {
    if (t.linha + 1 < t.linhas) {
        t.linha++;
        return;
    }
    t.celulas.erase(t.celulas.begin(), t.celulas.begin() + t.colunas);
    t.celulas.resize(indice(t, t.linhas, 0));
}

// ESC [ parameter final, at the cursor.
void sequencia(TelaModelo& t, const std::string& parametro, char final) {
    int n = parametro.empty() ? 1 : atoi(parametro.c_str());
    if (final == 'm' || final == 'l' || final == 'h') return;  // colours, the cursor's visibility
    t.quebraPendente = t.acabouDeQuebrar = false;
    if (final == 'A') t.linha = t.linha - n < 0 ? 0 : t.linha - n;
    if (final == 'C') t.coluna = t.coluna + n >= t.colunas ? t.colunas - 1 : t.coluna + n;
    if (final == 'H') {  // ESC [ row ; column H, from 1, held to the screen's edges
        int linha = atoi(parametro.c_str()), coluna = 0;
        size_t ponto = parametro.find(';');
        if (ponto != std::string::npos) coluna = atoi(parametro.c_str() + ponto + 1);
        t.linha = linha < 1 ? 0 : linha > t.linhas ? t.linhas - 1 : linha - 1;
        t.coluna = coluna < 1 ? 0 : coluna > t.colunas ? t.colunas - 1 : coluna - 1;
    }
    if (final == 'J' && parametro.empty()) apagarDesde(t, indice(t, t.linha, t.coluna));
    if (final == 'J' && parametro == "2") apagarDesde(t, 0);
    if (final == 'K') {
        for (int c = t.coluna; c < t.colunas; c++) t.celulas[indice(t, t.linha, c)].clear();
    }
}

const FaixaTela& faixaDe(unsigned codigo) {
    size_t inicio = 0, fim = sizeof FAIXAS_TELA / sizeof FAIXAS_TELA[0] - 1;
    while (inicio < fim) {  // the last run that starts at or before codigo
        size_t meio = (inicio + fim + 1) / 2;
        if (FAIXAS_TELA[meio].primeiro <= codigo)
            inicio = meio;
        else
            fim = meio - 1;
    }
    return FAIXAS_TELA[inicio];
}

unsigned codigoDe(const std::string& c) {
    unsigned char s0 = static_cast<unsigned char>(c[0]);
    if (c.size() == 1) return s0;
    unsigned codigo = s0 & (0x7F >> c.size());
    for (size_t k = 1; k < c.size(); k++) codigo = codigo << 6 | (static_cast<unsigned char>(c[k]) & 0x3F);
    return codigo;
}

void escreverCaractere(TelaModelo& t, const std::string& c) {
    unsigned codigo = codigoDe(c);
    const FaixaTela& faixa = faixaDe(codigo);
    int largura = t.aposZwj && faixa.pictografico ? 0 : faixa.largura;
    t.aposZwj = codigo == 0x200D;
    if (largura == 0) {  // joins the character before it, on the row above if that one wrapped
        int linha = t.linha, coluna = t.quebraPendente ? t.coluna : t.coluna - 1;
        if (t.acabouDeQuebrar) linha = t.linha - 1, coluna = t.colunas - 1;
        while (coluna > 0 && t.celulas[indice(t, linha, coluna)] == CONTINUACAO) coluna--;
        if (coluna >= 0) t.celulas[indice(t, linha, coluna)] += c;
        return;
    }
    if (t.quebraPendente) t.coluna = 0, t.quebraPendente = false, descer(t);
    if (largura == 2 && t.coluna == t.colunas - 1) {
        t.celulas[indice(t, t.linha, t.coluna)] = PREENCHIMENTO;
        t.coluna = 0;
        descer(t);
    }
    t.celulas[indice(t, t.linha, t.coluna)] = c;
    if (largura == 2) t.celulas[indice(t, t.linha, t.coluna + 1)] = CONTINUACAO;
    t.acabouDeQuebrar = false;
    if (t.coluna + largura < t.colunas) {
        t.coluna += largura;
    } else if (t.quebraDeImediato) {
        t.coluna = 0, t.acabouDeQuebrar = true;
        descer(t);
    } else {
        t.coluna = t.colunas - 1, t.quebraPendente = true;
    }
}

}  // namespace

void iniciarTelaModelo(TelaModelo& t, int linhas, int colunas, bool quebraDeImediato) {
    t = TelaModelo();
    t.linhas = linhas;
    t.colunas = colunas;
    t.quebraDeImediato = quebraDeImediato;
    t.celulas.assign(indice(t, linhas, 0), "");
}

void aplicarNaTela(TelaModelo& t, const std::string& b) {
    for (size_t i = 0; i < b.size();) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == '\r' || c == '\n') {  // LF as the terminal's output takes it (ONLCR): CR and LF
            t.coluna = 0, t.quebraPendente = t.acabouDeQuebrar = false, i++;
            if (c == '\n') descer(t);
        } else if (c == 0x1b && i + 1 < b.size() && b[i + 1] == '[') {
            size_t fim = i + 2;
            while (fim < b.size() && !(b[fim] >= 0x40 && b[fim] <= 0x7e)) fim++;
            sequencia(t, b.substr(i + 2, fim - i - 2), fim < b.size() ? b[fim] : 0);
            i = fim + 1;
        } else if (c < 0x20) {
            i++;  // the bell, and what else shows nothing
        } else {
            size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            escreverCaractere(t, b.substr(i, n));
            i += n;
        }
    }
}

std::string linhaDaTela(const TelaModelo& t, int linha) {
    std::string texto;
    for (int c = 0; c < t.colunas; c++) {
        const std::string& s = t.celulas[indice(t, linha, c)];
        if (s != CONTINUACAO) texto += s.empty() || s == PREENCHIMENTO ? " " : s;
    }
    return texto.substr(0, texto.find_last_not_of(' ') + 1);
}
