#include "sala/pagina_sala.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "jogo/pasta_do_programa.h"

namespace {

bool lerIndice(const char* pasta, char* html, size_t tamanho) {
    char caminho[PATH_MAX + 16];
    if (snprintf(caminho, sizeof caminho, "%s/index.html", pasta) >= static_cast<int>(sizeof caminho)) return false;
    FILE* f = fopen(caminho, "rb");
    if (!f) return false;
    size_t n = fread(html, 1, tamanho - 1, f);
    fclose(f);
    html[n] = '\0';
    return n > 0;
}

}  // namespace

bool politicaDaPagina(const char* html, char* destino, int tamanho) {
    const char MARCA[] = "http-equiv=\"Content-Security-Policy\" content=\"";
    const char* inicio = strstr(html, MARCA);
    if (!inicio) return false;
    inicio += sizeof MARCA - 1;
    const char* fim = strchr(inicio, '"');
    if (!fim || fim - inicio >= tamanho) return false;
    // A header takes no line break: a policy with one is no policy of ours.
    for (const char* p = inicio; p < fim; p++) {
        if (*p == '\r' || *p == '\n') return false;
    }
    memcpy(destino, inicio, static_cast<size_t>(fim - inicio));
    destino[fim - inicio] = '\0';
    return true;
}

bool acharPaginaSala(const char* argv0, PaginaSala& pagina) {
    char programa[PATH_MAX] = "";
    bool temPrograma = pastaDoPrograma(argv0, programa, sizeof programa);
    char candidatos[4][PATH_MAX] = {};
    int n = 0;
    const char* doAmbiente = getenv("ZOVA_PAGINA_SALA");
    if (doAmbiente && *doAmbiente) snprintf(candidatos[n++], PATH_MAX, "%s", doAmbiente);
    if (temPrograma) {
        // Installed: the room in libexec/zova/, the page in share/zova/pagina.
        snprintf(candidatos[n++], PATH_MAX, "%.3000s/../../share/zova/pagina", programa);
        snprintf(candidatos[n++], PATH_MAX, "%.3000s/../share/zova/pagina", programa);
    }
#ifdef ZOVA_PAGINA_CONSTRUIDA
    snprintf(candidatos[n++], PATH_MAX, "%s", ZOVA_PAGINA_CONSTRUIDA);
#endif
    static char html[65536];
    for (int i = 0; i < n; i++) {
        if (!lerIndice(candidatos[i], html, sizeof html)) continue;
        if (!realpath(candidatos[i], pagina.pasta)) continue;
        if (!politicaDaPagina(html, pagina.politica, sizeof pagina.politica)) {
            fprintf(stderr, "zova: %s/index.html nao e a pagina do zova (sem politica de seguranca).\n", pagina.pasta);
            return false;
        }
        return true;
    }
    fputs("zova: a pagina da sala nao foi encontrada. Procurei em:\n", stderr);
    for (int i = 0; i < n; i++) fprintf(stderr, "  %s\n", candidatos[i]);
    fputs("Construa a edicao para navegador (cmake --preset web) ou instale o zova com ela.\n", stderr);
    return false;
}
