#include "jogo/pasta_do_programa.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32) || defined(__EMSCRIPTEN__)

bool pastaDoPrograma(const char*, char*, size_t) { return false; }

#else

#include <unistd.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

bool pastaDoPrograma(const char* argv0, char* destino, size_t tamanho) {
    char caminho[PATH_MAX];
#if defined(__APPLE__)
    (void)argv0;
    uint32_t t = sizeof caminho;
    if (_NSGetExecutablePath(caminho, &t) != 0) return false;
#else
    ssize_t n = readlink("/proc/self/exe", caminho, sizeof caminho - 1);
    if (n > 0) {
        caminho[n] = '\0';
    } else {
        if (!argv0 || !strchr(argv0, '/')) return false;
        snprintf(caminho, sizeof caminho, "%s", argv0);
    }
#endif
    char real[PATH_MAX];
    if (!realpath(caminho, real)) return false;
    char* barra = strrchr(real, '/');
    if (!barra) return false;
    *barra = '\0';
    return snprintf(destino, tamanho, "%s", real) < static_cast<int>(tamanho);
}

#endif
