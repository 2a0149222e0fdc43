// Grapheme clusters and widths: a table of the cases players meet, and every
// case of Unicode's own GraphemeBreakTest.txt where it is installed.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/grafemas.h"

namespace {

std::vector<std::string> grafemas(const std::string& s) {
    std::vector<std::string> partes;
    for (int i = 0, n = static_cast<int>(s.size()); i < n;) {
        int fim = fimDoGrafema(s.data(), n, i);
        partes.push_back(s.substr(static_cast<size_t>(i), static_cast<size_t>(fim - i)));
        i = fim;
    }
    return partes;
}

int largura(const std::string& s) { return larguraDoTexto(s.data(), static_cast<int>(s.size())); }

std::string utf8(unsigned c) {
    std::string s;
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return s + static_cast<char>(0xC0 | c >> 6) + static_cast<char>(0x80 | (c & 0x3F));
    if (c < 0x10000)
        return s + static_cast<char>(0xE0 | c >> 12) + static_cast<char>(0x80 | (c >> 6 & 0x3F)) +
               static_cast<char>(0x80 | (c & 0x3F));
    return s + static_cast<char>(0xF0 | c >> 18) + static_cast<char>(0x80 | (c >> 12 & 0x3F)) +
           static_cast<char>(0x80 | (c >> 6 & 0x3F)) + static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

// What players type, with the columns tmux and xterm give each: one cluster
// per character the player sees.
TEST(Grafemas, LarguraEGrafemasDosCasosDosJogadores) {
    struct Caso {
        const char* texto;
        int largura;
        int grafemas;
    } casos[] = {
        {"Concei\xc3\xa7\xc3\xa3o", 9, 9},                           // Portuguese, precomposed
        {"Jose\xcc\x81", 4, 4},                                      // e + combining acute
        {"a\xcc\x80\xcc\x81", 1, 1},                                 // two marks on one letter
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", 6, 3},              // CJK
        {"\xef\xbc\xa1\xef\xbd\xb1", 3, 2},                          // fullwidth A, halfwidth katakana
        {"\xf0\x9f\x98\x80", 2, 1},                                  // an emoji
        {"\xe2\x9d\xa4", 1, 1},                                      // a heart, text style
        {"\xe2\x9d\xa4\xef\xb8\x8f", 1, 1},                          // with the emoji selector
        {"\xf0\x9f\x87\xa7\xf0\x9f\x87\xb7", 2, 1},                  // a flag
        {"\xf0\x9f\x87\xa7\xf0\x9f\x87\xb7\xf0\x9f\x87\xa7", 3, 2},  // a flag and a lone letter
        {"\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd", 4, 1},                  // a skin tone
        {"\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7", 2, 1},  // a family
        {"a\xe2\x80\x8d"
         "b",
         2, 2},                                          // a joiner between letters
        {"\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8", 2, 1},  // Hangul in jamo
        {"x\xc2\xady", 3, 3},                            // a soft hyphen shows
        {"\xe2\x80\x8bx", 1, 2},                         // a zero-width space
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(largura(c.texto), c.largura) << c.texto;
        std::vector<std::string> partes = grafemas(c.texto);
        EXPECT_EQ(partes.size(), static_cast<size_t>(c.grafemas)) << c.texto;
        // Found backwards, after plain letters, the last one starts where it did.
        std::string s = std::string("ab ") + c.texto;
        int n = static_cast<int>(s.size());
        EXPECT_EQ(grafemaAnterior(s.data(), n, n - 1), n - static_cast<int>(partes.back().size())) << c.texto;
    }
    EXPECT_TRUE(grafemaDePalavra("\xc3\xa7", 2, 0));
    EXPECT_TRUE(grafemaDePalavra("\xe6\x97\xa5", 3, 0));
    EXPECT_TRUE(grafemaDePalavra("7", 1, 0));
    EXPECT_FALSE(grafemaDePalavra("-", 1, 0));
    EXPECT_FALSE(grafemaDePalavra("\xf0\x9f\x98\x80", 4, 0));
    // A wide character in the last column leaves it blank and starts the next row.
    EXPECT_EQ(colunaDepoisDe("a\xe6\x97\xa5", 4, 8, 10), 12);
    EXPECT_EQ(colunaDepoisDe("\xe6\x97\xa5", 3, 9, 10), 12);
}

// Every line of Unicode's own test: ÷ marks a boundary, × none.
TEST(Grafemas, TesteDoUnicode) {
    std::ifstream arquivo("/usr/share/unicode/auxiliary/GraphemeBreakTest.txt");
    if (!arquivo) GTEST_SKIP() << "skipped: no GraphemeBreakTest.txt (apt-get install unicode-data)";
    std::string cabecalho;
    std::getline(arquivo, cabecalho);
    if (cabecalho.find(std::string("-") + versaoUnicode() + ".txt") == std::string::npos)
        GTEST_SKIP() << "skipped: the installed test is not of Unicode " << versaoUnicode() << ": " << cabecalho;
    int casos = 0;
    for (std::string linha; std::getline(arquivo, linha);) {
        linha = linha.substr(0, linha.find('#'));
        if (linha.empty()) continue;
        std::istringstream partes(linha);
        std::string s, parte;
        std::vector<std::string> esperados;
        std::string atual;
        while (partes >> parte) {
            if (parte == "\xc3\xb7") {  // ÷
                if (!atual.empty()) esperados.push_back(atual);
                atual.clear();
            } else if (parte != "\xc3\x97") {  // ×
                atual += utf8(static_cast<unsigned>(std::stoul(parte, nullptr, 16)));
            }
        }
        for (const std::string& g : esperados) s += g;
        EXPECT_EQ(grafemas(s), esperados) << linha;
        casos++;
    }
    EXPECT_GT(casos, 600);
}
