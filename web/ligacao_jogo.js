// The game's link to the terminal widget, as an xterm.js addon: the page
// loads it into the widget (term.loadAddon) and hands it to the game's
// module as Module.ligacao; the game's backend (console/terminal_web.cpp)
// calls its methods and nothing else of the page. It keeps the keys typed
// for the game, and what the game writes until the game waits for something.
var LigacaoJogo = (function () {
  "use strict";

  // As a terminal's input buffer, the queue holds so much and no more, so
  // a huge paste cannot take the page's memory.
  var LIMITE_ENTRADA = 65536;
  // The bytes already taken are cut off the front of the queue in blocks of
  // this many, so taking a byte costs the same however much waits.
  var BLOCO_LIDO = 4096;

  function LigacaoJogo() {
    this.terminal = null;
    this.ouvintes = [];
    // Keys reach the queue only while a game runs: none typed while the
    // module loads, none once the game is over.
    this.ativa = false;
    this.entrada = [];
    this.lidos = 0;
    this.saida = [];
    this.redesenhar = false;
    // Set while the game waits: a key or a resize calls it.
    this.acordar = null;
  }

  LigacaoJogo.prototype.activate = function (terminal) {
    var eu = this;
    var codificador = new TextEncoder();
    this.terminal = terminal;
    this.ouvintes = [
      terminal.onData(function (texto) {
        eu.receber(codificador.encode(texto));
      }),
      // Bytes past ASCII that the widget sends as they are (mouse reports
      // and the like), one per character.
      terminal.onBinary(function (texto) {
        var bytes = new Uint8Array(texto.length);
        for (var i = 0; i < texto.length; i++) bytes[i] = texto.charCodeAt(i) & 255;
        eu.receber(bytes);
      }),
      terminal.onResize(function () {
        if (!eu.ativa) return;
        eu.redesenhar = true;
        if (eu.acordar) eu.acordar();
      }),
    ];
  };

  // The widget calls it when it is disposed of, the game when it ends;
  // the second call finds nothing left to do.
  LigacaoJogo.prototype.dispose = function () {
    for (var i = 0; i < this.ouvintes.length; i++) this.ouvintes[i].dispose();
    this.ouvintes = [];
    this.ativa = false;
  };

  LigacaoJogo.prototype.receber = function (bytes) {
    if (!this.ativa) return;
    for (var i = 0; i < bytes.length && this.entrada.length - this.lidos < LIMITE_ENTRADA; i++)
      this.entrada.push(bytes[i]);
    if (this.acordar) this.acordar();
  };

  // The game starts: nothing typed or written before it is kept.
  LigacaoJogo.prototype.iniciar = function () {
    this.entrada = [];
    this.lidos = 0;
    this.saida = [];
    this.redesenhar = false;
    this.acordar = null;
    this.ativa = this.ouvintes.length > 0;
  };

  // A byte already typed, or -1.
  LigacaoJogo.prototype.tirarByte = function () {
    if (this.lidos >= this.entrada.length) return -1;
    var byte = this.entrada[this.lidos++];
    if (this.lidos === this.entrada.length) {
      this.entrada = [];
      this.lidos = 0;
    } else if (this.lidos >= BLOCO_LIDO) {
      this.entrada = this.entrada.slice(this.lidos);
      this.lidos = 0;
    }
    return byte;
  };

  LigacaoJogo.prototype.descartar = function () {
    this.entrada = [];
    this.lidos = 0;
  };

  // Kept until the game waits: then all of it is one write to the widget,
  // so a screen is never shown half drawn.
  LigacaoJogo.prototype.escrever = function (bytes) {
    if (this.ativa) this.saida.push(bytes);
  };

  LigacaoJogo.prototype.descarregar = function () {
    if (this.saida.length === 0) return;
    var total = 0;
    for (var i = 0; i < this.saida.length; i++) total += this.saida[i].length;
    var tudo = new Uint8Array(total);
    var p = 0;
    for (var j = 0; j < this.saida.length; j++) {
      tudo.set(this.saida[j], p);
      p += this.saida[j].length;
    }
    this.saida = [];
    this.terminal.write(tudo);
  };

  // Waits for a byte: up to esperaMs, or for as long as it takes when
  // esperaMs < 0. Resolves to the byte, to semByte when none came in time,
  // or to redesenhar when the widget changed size while the wait was
  // between keys.
  LigacaoJogo.prototype.esperarByte = async function (esperaMs, semByte, redesenhar) {
    var eu = this;
    this.descarregar();
    for (;;) {
      var byte = this.tirarByte();
      if (byte >= 0) return byte;
      if (esperaMs < 0 && this.redesenhar) {
        this.redesenhar = false;
        return redesenhar;
      }
      var limite = null;
      var venceu = await new Promise(function (pronto) {
        eu.acordar = function () {
          pronto(false);
        };
        if (esperaMs >= 0)
          limite = setTimeout(function () {
            pronto(true);
          }, esperaMs);
      });
      this.acordar = null;
      if (limite !== null) clearTimeout(limite);
      if (venceu) {
        byte = this.tirarByte();
        return byte >= 0 ? byte : semByte;
      }
    }
  };

  // Waits ms; resolves to what was left of the wait if the widget changed
  // size first, to 0 otherwise. Keys do not shorten a pause.
  LigacaoJogo.prototype.pausar = async function (ms) {
    var eu = this;
    this.descarregar();
    var fim = performance.now() + ms;
    for (;;) {
      if (this.redesenhar) {
        this.redesenhar = false;
        return Math.max(1, Math.ceil(fim - performance.now()));
      }
      var resta = fim - performance.now();
      if (resta <= 0) return 0;
      await new Promise(function (pronto) {
        var limite = setTimeout(pronto, resta);
        eu.acordar = function () {
          if (eu.redesenhar) {
            clearTimeout(limite);
            pronto();
          }
        };
      });
      this.acordar = null;
    }
  };

  // The widget's size; 0 where it tells none.
  LigacaoJogo.prototype.colunas = function () {
    return (this.terminal && this.terminal.cols) || 0;
  };

  LigacaoJogo.prototype.linhas = function () {
    return (this.terminal && this.terminal.rows) || 0;
  };

  // The game is over: its last screen goes out, and the widget's keys and
  // resizes stop reaching it.
  LigacaoJogo.prototype.encerrar = function () {
    this.descarregar();
    this.dispose();
  };

  return LigacaoJogo;
})();
