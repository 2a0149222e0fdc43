// The widget counts columns as the game does, as an xterm.js addon: each
// code point on its own (wide characters and emoji 2, combining marks,
// joiners and variation selectors 0, the rest 1), and an emoji right after
// a zero-width joiner shares the cell of the one before it. The game moves
// the cursor by its own count (console/grafemas.cpp); where the widget
// counted otherwise, as its own tables and the Unicode addons do for emoji
// newer than their data, skin tones or variation selectors, the cursor and
// the text after it would stand a column off what the game means.
//
// The columns come from the game's own table (console/grafemas_tabela.h):
// montar.cjs puts its runs in place of CORRIDAS_DO_JOGO, through
// tabela_larguras.cjs.
var LargurasJogo = (function (corridas) {
  "use strict";

  // Each run: the first code point, as base-36 steps from the run before,
  // then one digit: the columns (0 to 2) plus 4 for an emoji
  // (Extended_Pictographic).
  var partes = corridas.split(",");
  var inicios = new Uint32Array(partes.length);
  var valores = new Uint8Array(partes.length);
  var codigo = 0;
  for (var i = 0; i < partes.length; i++) {
    codigo += parseInt(partes[i].slice(0, -1), 36);
    inicios[i] = codigo;
    valores[i] = Number(partes[i].slice(-1));
  }
  var EMOJI = 4;
  var ZWJ = 0x200d;

  function valor(c) {
    var inicio = 0, fim = inicios.length - 1;
    while (inicio < fim) {
      var meio = (inicio + fim + 1) >> 1;
      if (inicios[meio] <= c) inicio = meio;
      else fim = meio - 1;
    }
    return valores[inicio];
  }

  // What the widget keeps between two code points, as its own providers
  // pack it: the state above bit 3 (here, 1 after a joiner), the cell's
  // columns in bits 1 and 2, and bit 0 set when the code point went into
  // the cell before it.
  function propriedades(aposZwj, colunas, junta) {
    return (aposZwj ? 8 : 0) | (colunas << 1) | (junta ? 1 : 0);
  }

  var provedor = {
    version: "zova",
    wcwidth: function (c) {
      return valor(c) & 3;
    },
    charProperties: function (c, antes) {
      if (c >= 0x20 && c < 0x7f) return propriedades(false, 1, false);
      var v = valor(c);
      var colunas = antes >> 3 === 1 && v & EMOJI ? 0 : v & 3;
      // A code point of no columns goes into the cell before it, which
      // keeps its columns; at the start of a row there is none.
      var daCelula = (antes >> 1) & 3;
      var junta = colunas === 0 && daCelula > 0;
      return propriedades(c === ZWJ, junta ? daCelula : colunas, junta);
    },
  };

  function LargurasJogo() {
    this.unicode = null;
    this.anterior = "";
  }

  LargurasJogo.prototype.activate = function (terminal) {
    this.unicode = terminal.unicode;
    this.anterior = this.unicode.activeVersion;
    this.unicode.register(provedor);
    this.unicode.activeVersion = provedor.version;
  };

  LargurasJogo.prototype.dispose = function () {
    if (this.unicode) this.unicode.activeVersion = this.anterior;
    this.unicode = null;
  };

  return LargurasJogo;
})(CORRIDAS_DO_JOGO);
