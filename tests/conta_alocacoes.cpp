// Preloaded into the real program by the allocation test: counts every call
// to the allocator and, at exit, writes the count to the file named by
// CONTAGEM_ALOCACOES.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {
long contagem = 0;
}

extern "C" void* malloc(size_t n) {
    contagem++;
    return __libc_malloc(n);
}

extern "C" void* calloc(size_t n, size_t t) {
    contagem++;
    return __libc_calloc(n, t);
}

extern "C" void* realloc(void* p, size_t n) {
    contagem++;
    return __libc_realloc(p, n);
}

extern "C" void* memalign(size_t a, size_t n) {
    contagem++;
    return __libc_memalign(a, n);
}

extern "C" void* aligned_alloc(size_t a, size_t n) { return memalign(a, n); }

extern "C" int posix_memalign(void** p, size_t a, size_t n) {
    *p = memalign(a, n);
    return *p ? 0 : 12;
}

extern "C" void free(void* p) { __libc_free(p); }

__attribute__((destructor)) static void relatarContagem() {
    const char* arquivo = getenv("CONTAGEM_ALOCACOES");
    if (!arquivo) return;
    int fd = open(arquivo, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    char texto[32];
    int n = snprintf(texto, sizeof texto, "%ld\n", contagem);
    if (n > 0 && write(fd, texto, static_cast<size_t>(n)) < 0) contagem = -1;
    close(fd);
}
