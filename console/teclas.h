// Key decoding: turns the bytes a terminal sends for one key press, or a
// console's key event, into one key code. This is the one place where bytes
// become keys; the console services hand the codes on (lerTecla gives the
// game an extended key as the two codes it expects).
//
// The decoder is a pure state machine fed one byte at a time, or the event
// SEM_BYTE when nothing more came in time, so it is tested without a terminal.
#pragma once

#include "console/codigos_teclas.h"

// Not a key: the screen must be drawn again (the window was resized, or the
// game came back from a stop) before the read goes on.
const int TECLA_REDESENHAR = -3;

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
    bool pronta;  // a whole key came: codigo
    int codigo;
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
// wait), TECLA_FIM (no byte can come any more) or, while no key has begun,
// TECLA_REDESENHAR.
typedef int (*FonteBytes)(int esperaMs);  // esperaMs < 0: wait as long as needed

struct LeitorTeclas {
    DecodificadorTeclas decodificador;
    int devolvido;  // a byte that ended a key without belonging to it, or -1
};

void reiniciarLeitor(LeitorTeclas& l);

// Reads one key code from the source; TECLA_FIM once no key can be read,
// TECLA_REDESENHAR when the source asks for it between two keys.
int lerTeclaDeBytes(LeitorTeclas& l, FonteBytes fonte);

// The bytes of the last key read when it was TECLA_NAO_ASCII for a whole
// UTF-8 character (the line editor inserts them); 0 for anything else.
int caractereDaTecla(const LeitorTeclas& l, char destino[4]);

// A console key event (Windows' KEY_EVENT_RECORD) as a record of its own,
// so that how events become keys is decided, and tested, on any system.
struct EventoConsole {
    bool pressionada;  // bKeyDown: false when the key is let go
    int repeticoes;    // wRepeatCount: presses the event stands for
    int teclaVirtual;  // wVirtualKeyCode
    unsigned unidade;  // uChar.UnicodeChar: one UTF-16 unit, 0 for none
    unsigned estado;   // dwControlKeyState
};

// The bits of dwControlKeyState that matter to the keys.
const unsigned CONSOLE_ALT_DIREITO = 0x0001;
const unsigned CONSOLE_ALT_ESQUERDO = 0x0002;
const unsigned CONSOLE_CTRL_DIREITO = 0x0004;
const unsigned CONSOLE_CTRL_ESQUERDO = 0x0008;
const unsigned CONSOLE_SHIFT = 0x0010;
const unsigned CONSOLE_TECLA_ESTENDIDA = 0x0100;  // not on the numeric keypad

// What one event left for the next: the first half of a character outside
// the basic plane, which comes in two events.
struct LeitorConsole {
    unsigned metadeAlta;  // 0 for none
    // The console sends the arrows, Home, End and their neighbours without
    // the extended-key bit that sets them apart from the keypad's digits
    // (Wine's, which makes them from a terminal's sequences and has no
    // Alt+numpad codes): then only the keypad's own digits are digits.
    bool estendidasSemMarca;
};

struct TeclaDoEvento {
    int codigo;
    int vezes;     // presses of that key: 0 when the event is no key
    char utf8[4];  // the character's bytes, when codigo is TECLA_NAO_ASCII
    int tamUtf8;
};

void reiniciarLeitorConsole(LeitorConsole& l, bool estendidasSemMarca = false);

// The one place where console key events become keys. Every character the
// console delivers is one key, once: on a key press, in a VK_PACKET event
// (text sent as events, two for a character outside the basic plane), or
// carried by the Alt key's release at the end of an Alt+numpad code, which
// is also how the console types a pasted character the keyboard layout
// lacks. The numeric keypad's digits pressed with Alt held are no key: the
// character they make comes with the release. Every other release is no key.
TeclaDoEvento teclaDoEvento(LeitorConsole& l, const EventoConsole& e);

// A key press read as a console key event (Windows): its virtual-key code,
// the character it typed (UTF-16, 0 for none) and whether Alt, Ctrl or
// Shift were held (Shift tells only the arrows apart). Gives the same code
// as the bytes of a terminal would: a letter with an accent is one
// TECLA_NAO_ASCII; a modifier alone is no key at all (no key pronta).
ResultadoTecla teclaDoConsole(int teclaVirtual, unsigned caractere, bool alt, bool ctrl, bool shift = false);
