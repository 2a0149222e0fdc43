#include "console/teclas.h"

#include "console/utf8.h"

namespace {

enum Estado {
    NORMAL,
    APOS_ESC,   // ESC read: a lone Escape, Alt with a key, or a sequence
    CSI,        // ESC [
    SS3,        // ESC O
    CSI_LINUX,  // ESC [ [, the Linux console's F1 to F5
    UTF8,       // inside a character of more than one byte
};

ResultadoTecla nenhuma() {
    ResultadoTecla r = {false, 0, false};
    return r;
}

ResultadoTecla tecla(int codigo) {
    ResultadoTecla r = {true, codigo, false};
    return r;
}

ResultadoTecla devolvendo(ResultadoTecla r) {
    r.reprocessar = true;
    return r;
}

void iniciarSequencia(DecodificadorTeclas& d, int estado) {
    d.estado = estado;
    d.numParametros = 0;
    d.parametroInvalido = false;
    for (int i = 0; i < MAX_PARAMETROS_CSI; i++) d.parametros[i] = 0;
}

// A key arrow with Shift, Alt or Ctrl carries a modifier parameter above 1
// (ESC [ 1 ; 5 A); rxvt sends the modified arrows as lower-case finals.
bool modificada(const DecodificadorTeclas& d, int final) {
    if (final >= 'a' && final <= 'd') return true;
    return d.numParametros >= 2 && d.parametros[1] > 1;
}

int setaDe(const DecodificadorTeclas& d, int final) {
    bool mod = modificada(d, final);
    switch (final) {
    case 'A':
    case 'a': return mod ? SETA_CIMA_MODIFICADA : SETA_CIMA;
    case 'B':
    case 'b': return mod ? SETA_BAIXO_MODIFICADA : SETA_BAIXO;
    case 'C':
    case 'c': return mod ? SETA_DIREITA_MODIFICADA : SETA_DIREITA;
    default: return mod ? SETA_ESQUERDA_MODIFICADA : SETA_ESQUERDA;
    }
}

// The keys sent as ESC [ number ~ (VT220 style).
int teclaTil(int numero) {
    switch (numero) {
    case 1:
    case 7: return TECLA_HOME;
    case 2: return TECLA_INSERT;
    case 3: return TECLA_DELETE;
    case 4:
    case 8: return TECLA_END;
    case 5: return TECLA_PAGE_UP;
    case 6: return TECLA_PAGE_DOWN;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return TECLA_F1 + numero - 11;
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: return TECLA_F1 + 5 + numero - 17;
    case 23:
    case 24: return TECLA_F11 + numero - 23;
    default: return ESTENDIDA_DESCONHECIDA;
    }
}

// The final byte of ESC [ ... or ESC O ... names the key.
int teclaDaSequencia(const DecodificadorTeclas& d, int final) {
    if (d.parametroInvalido) return ESTENDIDA_DESCONHECIDA;
    switch (final) {
    case 'A':
    case 'B':
    case 'C':
    case 'D':
    case 'a':
    case 'b':
    case 'c':
    case 'd': return setaDe(d, final);
    case 'H': return TECLA_HOME;
    case 'F': return TECLA_END;
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return TECLA_F1 + final - 'P';
    case 'Z': return TECLA_SHIFT_TAB;
    case '~': return d.numParametros > 0 ? teclaTil(d.parametros[0]) : ESTENDIDA_DESCONHECIDA;
    default: return ESTENDIDA_DESCONHECIDA;
    }
}

void acumularParametro(DecodificadorTeclas& d, int byte) {
    if (byte >= '0' && byte <= '9') {
        if (d.numParametros == 0) d.numParametros = 1;
        int& p = d.parametros[d.numParametros - 1];
        if (p < 10000) p = p * 10 + (byte - '0');  // bounded: no key number is that long
    } else if (byte == ';') {
        if (d.numParametros == 0) d.numParametros = 1;
        if (d.numParametros < MAX_PARAMETROS_CSI) d.numParametros++;
    } else {
        d.parametroInvalido = true;  // private markers, sub-parameters, intermediates
    }
}

ResultadoTecla normal(DecodificadorTeclas& d, int byte) {
    d.tamCaractere = 0;
    if (byte == 0x1B) {
        d.estado = APOS_ESC;
        return nenhuma();
    }
    if (byte == '\r' || byte == '\n') return tecla(TECLA_ENTER);
    if (byte < 0x80) return tecla(byte);
    int seguintes = seguintesUtf8(byte);
    if (seguintes == 0) return tecla(TECLA_NAO_ASCII);  // a stray byte
    d.estado = UTF8;
    d.faltamUtf8 = seguintes;
    d.altUtf8 = false;
    d.utf8[0] = static_cast<unsigned char>(byte);
    d.tamUtf8 = 1;
    return nenhuma();
}

// Alt with a key: the few a line editor acts on, or one code for the rest.
int teclaComAlt(unsigned caractere) {
    if (caractere == 'b' || caractere == 'B') return TECLA_ALT_B;
    if (caractere == 'f' || caractere == 'F') return TECLA_ALT_F;
    if (caractere == 0x7F || caractere == 0x08) return TECLA_ALT_BACKSPACE;
    return ESTENDIDA_ALT;
}

ResultadoTecla aposEsc(DecodificadorTeclas& d, int byte) {
    if (byte == '[') {
        iniciarSequencia(d, CSI);
        return nenhuma();
    }
    if (byte == 'O') {
        iniciarSequencia(d, SS3);
        return nenhuma();
    }
    d.estado = NORMAL;
    if (byte == 0x1B) return devolvendo(tecla(TECLA_ESC));  // Escape twice
    int alt = teclaComAlt(byte);
    if (alt != ESTENDIDA_ALT) return tecla(alt);
    int seguintes = seguintesUtf8(byte);
    if (seguintes > 0) {
        d.estado = UTF8;
        d.faltamUtf8 = seguintes;
        d.altUtf8 = true;
        d.tamUtf8 = 0;
        return nenhuma();
    }
    return tecla(ESTENDIDA_ALT);
}

ResultadoTecla sequencia(DecodificadorTeclas& d, int byte) {
    if (d.estado == CSI && byte == '[' && d.numParametros == 0 && !d.parametroInvalido) {
        d.estado = CSI_LINUX;
        return nenhuma();
    }
    if (byte >= 0x20 && byte <= 0x3F) {
        acumularParametro(d, byte);
        return nenhuma();
    }
    bool ss3 = d.estado == SS3;
    d.estado = NORMAL;
    if (byte >= 0x40 && byte <= 0x7E) {
        // The numeric keypad's Enter in application mode is still Enter.
        if (ss3 && byte == 'M' && d.numParametros == 0) return tecla(TECLA_ENTER);
        return tecla(teclaDaSequencia(d, byte));
    }
    // A control or non-ASCII byte cannot belong to the sequence: it cut it short.
    return devolvendo(tecla(ESTENDIDA_DESCONHECIDA));
}

ResultadoTecla csiLinux(DecodificadorTeclas& d, int byte) {
    d.estado = NORMAL;
    if (byte >= 'A' && byte <= 'E') return tecla(TECLA_F1 + byte - 'A');
    if (byte >= 0x20 && byte <= 0x7E) return tecla(ESTENDIDA_DESCONHECIDA);
    return devolvendo(tecla(ESTENDIDA_DESCONHECIDA));
}

ResultadoTecla continuacaoUtf8(DecodificadorTeclas& d, int byte) {
    bool alt = d.altUtf8;
    if (byte >= 0x80 && byte <= 0xBF) {
        if (d.tamUtf8 < 4) d.utf8[d.tamUtf8++] = static_cast<unsigned char>(byte);
        if (--d.faltamUtf8 > 0) return nenhuma();
        d.estado = NORMAL;
        if (!alt) d.tamCaractere = d.tamUtf8;
        return alt ? tecla(ESTENDIDA_ALT) : tecla(TECLA_NAO_ASCII);
    }
    d.estado = NORMAL;
    return devolvendo(alt ? tecla(ESTENDIDA_ALT) : tecla(TECLA_NAO_ASCII));
}

ResultadoTecla semByte(DecodificadorTeclas& d) {
    int estado = d.estado;
    d.estado = NORMAL;
    switch (estado) {
    case APOS_ESC: return tecla(TECLA_ESC);
    case CSI:
    case SS3:
    case CSI_LINUX: return tecla(ESTENDIDA_DESCONHECIDA);
    case UTF8: return d.altUtf8 ? tecla(ESTENDIDA_ALT) : tecla(TECLA_NAO_ASCII);
    default: return nenhuma();
    }
}

}  // namespace

void reiniciarDecodificador(DecodificadorTeclas& d) {
    iniciarSequencia(d, NORMAL);
    d.faltamUtf8 = 0;
    d.altUtf8 = false;
    d.tamUtf8 = 0;
    d.tamCaractere = 0;
}

bool decodificadorNoMeio(const DecodificadorTeclas& d) { return d.estado != NORMAL; }

ResultadoTecla alimentarDecodificador(DecodificadorTeclas& d, int byte) {
    if (byte == SEM_BYTE) return semByte(d);
    byte &= 0xFF;
    switch (d.estado) {
    case APOS_ESC: return aposEsc(d, byte);
    case CSI:
    case SS3: return sequencia(d, byte);
    case CSI_LINUX: return csiLinux(d, byte);
    case UTF8: return continuacaoUtf8(d, byte);
    default: return normal(d, byte);
    }
}

void reiniciarLeitor(LeitorTeclas& l) {
    reiniciarDecodificador(l.decodificador);
    l.devolvido = -1;
}

int lerTeclaDeBytes(LeitorTeclas& l, FonteBytes fonte) {
    for (;;) {
        bool noMeio = decodificadorNoMeio(l.decodificador);
        int byte;
        if (l.devolvido >= 0) {
            byte = l.devolvido;
            l.devolvido = -1;
        } else {
            byte = fonte(noMeio ? ESPERA_SEQUENCIA_MS : -1);
        }
        if (byte == TECLA_REDESENHAR) {
            if (!noMeio) return TECLA_REDESENHAR;
            continue;  // a source asks only between keys; never cut one short for it
        }
        if (byte == TECLA_FIM) {
            if (!noMeio) return TECLA_FIM;
            byte = SEM_BYTE;  // take what came of the key; the next read reports the end
        }
        ResultadoTecla r = alimentarDecodificador(l.decodificador, byte);
        if (r.reprocessar) l.devolvido = byte;
        if (r.pronta) return r.codigo;
    }
}

int caractereDaTecla(const LeitorTeclas& l, char destino[4]) {
    int n = l.decodificador.tamCaractere;
    for (int i = 0; i < n; i++) destino[i] = static_cast<char>(l.decodificador.utf8[i]);
    return n;
}

ResultadoTecla teclaDoConsole(int teclaVirtual, unsigned caractere, bool alt, bool ctrl, bool shift) {
    // Virtual-key codes of the console's key events.
    const int VK_SHIFT_ = 0x10, VK_CONTROL_ = 0x11, VK_MENU_ = 0x12, VK_CAPITAL_ = 0x14, VK_PRIOR_ = 0x21,
              VK_NEXT_ = 0x22, VK_END_ = 0x23, VK_HOME_ = 0x24, VK_LEFT_ = 0x25, VK_UP_ = 0x26, VK_RIGHT_ = 0x27,
              VK_DOWN_ = 0x28, VK_INSERT_ = 0x2D, VK_DELETE_ = 0x2E, VK_LWIN_ = 0x5B, VK_APPS_ = 0x5D, VK_F1_ = 0x70,
              VK_F10_ = 0x79, VK_F11_ = 0x7A, VK_F12_ = 0x7B, VK_NUMLOCK_ = 0x90, VK_SCROLL_ = 0x91, VK_LSHIFT_ = 0xA0,
              VK_RMENU_ = 0xA5, VK_BACK_ = 0x08;
    if (teclaVirtual == VK_SHIFT_ || teclaVirtual == VK_CONTROL_ || teclaVirtual == VK_MENU_ ||
        teclaVirtual == VK_CAPITAL_ || (teclaVirtual >= VK_LWIN_ && teclaVirtual <= VK_APPS_) ||
        teclaVirtual == VK_NUMLOCK_ || teclaVirtual == VK_SCROLL_ ||
        (teclaVirtual >= VK_LSHIFT_ && teclaVirtual <= VK_RMENU_)) {
        return nenhuma();
    }
    // Ctrl-Backspace types DEL, which is Backspace: the key itself says which.
    // With Alt too it is no AltGr character but Alt-Backspace, as a console
    // fed by a terminal (Wine's, a pseudo-console) gives ESC DEL: DEL is
    // Ctrl-Backspace's character, and the ESC before it holds Alt.
    if (teclaVirtual == VK_BACK_ && ctrl) return tecla(alt ? TECLA_ALT_BACKSPACE : TECLA_CTRL_BACKSPACE);
    if (caractere != 0) {
        // Alt with a key, unless Ctrl is held too (AltGr, which types letters).
        if (alt && !ctrl) return tecla(teclaComAlt(caractere));
        if (caractere == '\r' || caractere == '\n') return tecla(TECLA_ENTER);
        if (caractere < 0x80) return tecla(static_cast<int>(caractere));
        return tecla(TECLA_NAO_ASCII);
    }
    // Any modifier, Shift too, as a terminal sends ESC [ 1 ; 2 A for Shift+Up.
    bool modificada = alt || ctrl || shift;
    switch (teclaVirtual) {
    case VK_UP_: return tecla(modificada ? SETA_CIMA_MODIFICADA : SETA_CIMA);
    case VK_DOWN_: return tecla(modificada ? SETA_BAIXO_MODIFICADA : SETA_BAIXO);
    case VK_LEFT_: return tecla(modificada ? SETA_ESQUERDA_MODIFICADA : SETA_ESQUERDA);
    case VK_RIGHT_: return tecla(modificada ? SETA_DIREITA_MODIFICADA : SETA_DIREITA);
    case VK_HOME_: return tecla(TECLA_HOME);
    case VK_END_: return tecla(TECLA_END);
    case VK_PRIOR_: return tecla(TECLA_PAGE_UP);
    case VK_NEXT_: return tecla(TECLA_PAGE_DOWN);
    case VK_INSERT_: return tecla(TECLA_INSERT);
    case VK_DELETE_: return tecla(TECLA_DELETE);
    case VK_F11_:
    case VK_F12_: return tecla(TECLA_F11 + teclaVirtual - VK_F11_);
    default:
        if (teclaVirtual >= VK_F1_ && teclaVirtual <= VK_F10_) return tecla(TECLA_F1 + teclaVirtual - VK_F1_);
        return tecla(ESTENDIDA_DESCONHECIDA);
    }
}

namespace {

const int VK_MENU_ = 0x12, VK_PACKET_ = 0xE7, VK_NUMPAD0_ = 0x60, VK_NUMPAD9_ = 0x69, VK_CLEAR_ = 0x0C,
          VK_INSERT_ = 0x2D, VK_PRIOR_ = 0x21, VK_DOWN_ = 0x28;

// A digit key of the numeric keypad: with Num Lock off, the keypad's keys
// are the editing keys, told from the keys of the same name only by the
// missing extended-key bit.
bool digitoDoTecladoNumerico(const LeitorConsole& l, const EventoConsole& e) {
    int vk = e.teclaVirtual;
    if (vk >= VK_NUMPAD0_ && vk <= VK_NUMPAD9_) return true;
    if (l.estendidasSemMarca || (e.estado & CONSOLE_TECLA_ESTENDIDA)) return false;
    return vk == VK_INSERT_ || vk == VK_CLEAR_ || (vk >= VK_PRIOR_ && vk <= VK_DOWN_);
}

}  // namespace

void reiniciarLeitorConsole(LeitorConsole& l, bool estendidasSemMarca) {
    l.metadeAlta = 0;
    l.estendidasSemMarca = estendidasSemMarca;
}

TeclaDoEvento teclaDoEvento(LeitorConsole& l, const EventoConsole& e) {
    TeclaDoEvento t = {0, 0, {0, 0, 0, 0}, 0};
    unsigned unidade = e.unidade & 0xFFFF;
    bool alt = (e.estado & (CONSOLE_ALT_ESQUERDO | CONSOLE_ALT_DIREITO)) != 0;
    bool ctrl = (e.estado & (CONSOLE_CTRL_ESQUERDO | CONSOLE_CTRL_DIREITO)) != 0;
    bool shift = (e.estado & CONSOLE_SHIFT) != 0;
    int teclaVirtual = e.teclaVirtual;
    if (!e.pressionada) {
        if (teclaVirtual != VK_MENU_ || unidade == 0) return t;
        teclaVirtual = 0;  // the character alone: no key was pressed for it
    } else if (alt && digitoDoTecladoNumerico(l, e)) {
        return t;
    }
    // A character sent as an event was typed by no key: no modifier holds.
    if (teclaVirtual == 0 || teclaVirtual == VK_PACKET_) alt = ctrl = shift = false;

    if (unidade >= 0xD800 && unidade <= 0xDBFF) {
        l.metadeAlta = unidade;
        return t;
    }
    unsigned caractere = unidade;
    if (unidade >= 0xDC00 && unidade <= 0xDFFF) {
        if (l.metadeAlta == 0) return t;  // half a character is none
        caractere = 0x10000 + ((l.metadeAlta - 0xD800) << 10) + (unidade - 0xDC00);
    }
    ResultadoTecla r = teclaDoConsole(teclaVirtual, caractere, alt, ctrl, shift);
    // A modifier pressed between the halves (the Alt of the second half's
    // code) does not part them.
    if (!r.pronta) return t;
    l.metadeAlta = 0;
    t.codigo = r.codigo;
    t.vezes = e.pressionada && e.repeticoes > 1 ? e.repeticoes : 1;
    if (r.codigo == TECLA_NAO_ASCII) t.tamUtf8 = codificarUtf8(caractere, t.utf8);
    return t;
}
