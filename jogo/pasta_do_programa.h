// Where the running program is, to find what was installed beside it.
#pragma once

#include <cstddef>

// The folder of the running program's file, links resolved; false where the
// system does not tell it.
bool pastaDoPrograma(const char* argv0, char* destino, size_t tamanho);
