// The command line: what it asks for (a match, the usage, the version, or
// nothing it knows), decided before the console is touched, and the texts
// written for it. Pure: it reads the arguments and writes nothing itself.
#pragma once

enum PedidoLinha { PEDIDO_PARTIDA, PEDIDO_AJUDA, PEDIDO_VERSAO, PEDIDO_RECUSADO, PEDIDO_SALA };

// The status of a refused argument, as for any misused command.
const int STATUS_USO_ERRADO = 2;

struct LinhaDeComando {
    PedidoLinha pedido;
    int status;    // the exit status, where no match is played
    int recusado;  // the index in argv of the argument refused; 0 otherwise
};

// --sala first asks for a room, and every argument after it is the room's
// to check. Otherwise every argument is checked, so a mistyped one is never taken silently for
// a match; when all are known, the first decides.
LinhaDeComando lerLinhaDeComando(int argc, const char* const argv[]);

// Plain ASCII, as the game's own texts: they read the same in any Windows
// code page.
extern const char TEXTO_USO[];
extern const char TEXTO_VERSAO[];  // "zova <version>\n"

// The refused argument shows at most this many bytes, then "...".
const int MAX_ARGUMENTO_MOSTRADO = 80;
const int TAM_RECUSA = 160;

// The one line, newline included, that names a refused argument and points to
// --help. The argument comes from anyone: its control characters (ESC above
// all) show as '?', so it can neither move the cursor nor change a colour,
// and a long one is cut without cutting a character in two.
void montarRecusa(char destino[TAM_RECUSA], const char* argumento);
