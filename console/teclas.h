// Key decoding: turns the bytes a terminal sends for one key press into the
// key codes the game reads (an ordinary key is one code; an extended key,
// the arrows among them, is the prefix PREFIXO_ESTENDIDA and a second code).
//
// The decoder is a pure state machine fed one byte at a time, or the event
// SEM_BYTE when nothing more came in time, so it is tested without a terminal.
#pragma once

// Prefix of a two-code key, as the game expects it.
const int PREFIXO_ESTENDIDA = 224;

// Second codes of the extended keys.
const int SETA_CIMA = 72;
const int SETA_BAIXO = 80;
const int SETA_ESQUERDA = 75;
const int SETA_DIREITA = 77;
const int TECLA_HOME = 71;
const int TECLA_END = 79;
const int TECLA_INSERT = 82;
const int TECLA_DELETE = 83;
const int TECLA_PAGE_UP = 73;
const int TECLA_PAGE_DOWN = 81;
const int TECLA_F1 = 59;  // F1 to F10 are 59 to 68, F11 and F12 are 133, 134
const int TECLA_F11 = 133;
const int TECLA_SHIFT_TAB = 15;
// Up and down with Shift, Ctrl or Alt held: distinct from the plain arrows,
// so a modified arrow never moves the cursor by surprise.
const int SETA_CIMA_MODIFICADA = 141;
const int SETA_BAIXO_MODIFICADA = 145;
const int SETA_ESQUERDA_MODIFICADA = 115;
const int SETA_DIREITA_MODIFICADA = 116;
const int ESTENDIDA_ALT = 1;           // Alt held with an ordinary key
const int ESTENDIDA_DESCONHECIDA = 0;  // any other sequence, read whole

const int TECLA_ENTER = 13;
const int TECLA_ESC = 27;
// One code for every character outside ASCII: one key press, one code, and
// never one the game acts on (224, a prefix, is the Latin-1 code of a letter).
const int TECLA_NAO_ASCII = 255;

// Fed instead of a byte when no byte came within the wait.
const int SEM_BYTE = -2;

const int MAX_PARAMETROS_CSI = 4;

struct DecodificadorTeclas {
    int estado;
    int faltamUtf8;  // continuation bytes still expected
    bool altUtf8;    // the character being read came after ESC
    int parametros[MAX_PARAMETROS_CSI];
    int numParametros;
    bool parametroInvalido;  // private or intermediate bytes seen
    unsigned char utf8[4];   // the bytes of the character being read
    int tamUtf8;
    int tamCaractere;  // bytes in utf8 of the last key, when it was a whole character outside ASCII
};

struct ResultadoTecla {
    int quantidade;  // 0, 1 or 2 codes
    int codigos[2];
    bool reprocessar;  // the byte ended a key without being part of it: feed it again
};

void reiniciarDecodificador(DecodificadorTeclas& d);

// Feeds one byte (0 to 255) or SEM_BYTE.
ResultadoTecla alimentarDecodificador(DecodificadorTeclas& d, int byte);

// True while a key has begun and its remaining bytes are awaited.
bool decodificadorNoMeio(const DecodificadorTeclas& d);

// How long to wait for the rest of a sequence before taking what came.
const int ESPERA_SEQUENCIA_MS = 50;

// Result of a byte source: a byte 0 to 255, SEM_BYTE (nothing within the
// wait), or BYTE_FIM (no byte can come any more).
const int BYTE_FIM = -1;
typedef int (*FonteBytes)(int esperaMs);  // esperaMs < 0: wait as long as needed

struct LeitorTeclas {
    DecodificadorTeclas decodificador;
    int pendente;   // second code of an extended key, or -1
    int devolvido;  // a byte that ended a key without belonging to it, or -1
};

void reiniciarLeitor(LeitorTeclas& l);

// Reads one key code from the source; BYTE_FIM once no key can be read.
int lerTeclaDeBytes(LeitorTeclas& l, FonteBytes fonte);

// The bytes of the last key read when it was TECLA_NAO_ASCII for a whole
// UTF-8 character (the line editor inserts them); 0 for anything else.
int caractereDaTecla(const LeitorTeclas& l, char destino[4]);

// A key press read as a console key event (Windows): its virtual-key code,
// the character it typed (UTF-16, 0 for none) and whether Alt or Ctrl were
// held. Gives the same codes as the bytes of a terminal would: a letter with
// an accent is one TECLA_NAO_ASCII, never a prefix; a modifier alone is no
// key at all (0 codes).
ResultadoTecla teclaDoConsole(int teclaVirtual, unsigned caractere, bool alt, bool ctrl);
