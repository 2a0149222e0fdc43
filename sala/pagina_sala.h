// The page the room serves: the browser edition's own files, built once,
// from where the build or the installation put them.
#pragma once

#include <climits>

struct PaginaSala {
    char pasta[PATH_MAX];
    char politica[1024];  // its Content-Security-Policy, sent as a header too
};

// Finds the page (ZOVA_PAGINA_SALA, the installed folder beside the
// program, the build's); false, with why on stderr, when there is none.
bool acharPaginaSala(const char* argv0, PaginaSala& pagina);

// The policy of the page's meta element in html; false if it has none.
bool politicaDaPagina(const char* html, char* destino, int tamanho);
