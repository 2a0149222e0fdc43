#include "jogo/chamar_sala.h"

#include <cstdio>

#include "jogo/pasta_do_programa.h"

#if defined(_WIN32) || defined(__EMSCRIPTEN__)

int chamarSala(int, char*[]) {
    fputs("zova: esta edicao nao abre salas; use o zova do Linux ou do macOS.\n", stderr);
    return 1;
}

#else

#include <unistd.h>

#include <climits>
#include <cstring>

int chamarSala(int argc, char* argv[]) {
    if (argc < 2) return 1;  // only ever called with --sala in argv[1]
    char pasta[PATH_MAX];
    if (!pastaDoPrograma(argv[0], pasta, sizeof pasta)) {
        fputs("zova: nao sei onde o zova esta instalado, para achar a sala.\n", stderr);
        return 1;
    }
    // Beside the game in its build, or in libexec/zova once installed.
    const char* const LUGARES[] = {"%s/zova-sala", "%s/../libexec/zova/zova-sala"};
    for (const char* lugar : LUGARES) {
        char sala[PATH_MAX + 32];
        snprintf(sala, sizeof sala, lugar, pasta);
        if (access(sala, X_OK) != 0) continue;
        // The room's name for itself, then what came after --sala.
        argv[1] = sala;
        execv(sala, argv + 1);
        perror("zova: a sala nao abriu");
        return 1;
    }
    fputs("zova: este zova foi construido sem a sala (faltavam libcivetweb-dev e libqrencode-dev).\n", stderr);
    return 1;
}

#endif
