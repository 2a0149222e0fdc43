// The widget's link to a room, as an xterm.js addon: the page loads it into
// the widget (term.loadAddon) in place of the game's when its address is a
// room's link. The match runs in the room; the widget is a terminal of it,
// over the room's WebSocket (path /sala): what is typed goes there, what
// the room writes comes back to the widget.
var LigacaoSala = (function () {
  "use strict";

  var CAMINHO = "/sala";
  // The room closes a device's connection at more than 200 messages in one
  // second, counted as they arrive: the network can bunch what went out
  // spread over a second, so the page sends no more than half as many.
  var MENSAGENS_POR_SEGUNDO = 100;
  // A message holds at most 1024 bytes: keys go in pieces of at most this
  // many bytes of UTF-8, a paste in as many messages as it takes.
  var BYTES_POR_MENSAGEM = 1000;
  // As a terminal's input buffer, the keys waiting to go hold so much and
  // no more, so a huge paste cannot take the page's memory.
  var LIMITE_FILA = 65536;
  // Waits before joining again after the connection dropped: longer at each
  // failure, up to the last.
  var ESPERAS_MS = [1000, 2000, 4000, 5000];
  // A connection that has not opened by then (a network that swallows
  // what is sent, as a lost Wi-Fi does) is given up, and tried again.
  var ABERTURA_MS = 10000;
  var SEGREDO = /^[0-9a-f]{32}$/;

  // The bytes of a character's UTF-8, from its first UTF-16 unit; a lone
  // surrogate goes out as U+FFFD, three bytes.
  function bytesDe(texto, i) {
    var c = texto.charCodeAt(i);
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    if (c >= 0xd800 && c < 0xdc00 && i + 1 < texto.length) {
      var d = texto.charCodeAt(i + 1);
      if (d >= 0xdc00 && d < 0xe000) return 4;
    }
    return 3;
  }

  // How much of the text's start fits in so many bytes of UTF-8: its
  // length in UTF-16 units, never half of a surrogate pair.
  function cabe(texto, bytes) {
    var i = 0;
    while (i < texto.length) {
      var n = bytesDe(texto, i);
      if (n > bytes) break;
      bytes -= n;
      i += n === 4 ? 2 : 1;
    }
    return i;
  }

  function tamanho(texto) {
    var bytes = 0;
    for (var i = 0; i < texto.length; i += bytesDe(texto, i) === 4 ? 2 : 1) bytes += bytesDe(texto, i);
    return bytes;
  }

  // token: the room's, from the link. avisos.estado(texto) is told what the
  // page should say of the connection ("" once the device has its seat);
  // avisos.fim(texto) that the room has turned the device away or closed,
  // and why.
  function LigacaoSala(token, avisos) {
    this.token = token;
    this.avisos = avisos;
    this.terminal = null;
    this.ouvintes = [];
    this.socket = null;
    // Set while the device holds its seat on the open connection: keys go
    // to the room only then.
    this.sentado = false;
    this.jaSentou = false;
    // Set by the room's last word: nothing is sent, nor joined again.
    this.encerrada = false;
    this.falhas = 0;
    this.religar = null;
    this.abertura = null;
    // Each piece of keys as the widget gave it, so a key's sequence is never
    // cut in two unless one piece is over a message's size.
    this.fila = [];
    this.bytesNaFila = 0;
    this.dimensoes = false;
    // When each of the last second's messages went, and the timer that
    // sends the rest once older ones have left that second.
    this.enviados = [];
    this.adiado = null;
  }

  LigacaoSala.prototype.activate = function (terminal) {
    var eu = this;
    this.terminal = terminal;
    // Bytes past ASCII that the widget sends on their own (onBinary: mouse
    // reports, which the room never asks for) have no place in a text
    // message, and are not listened to.
    this.ouvintes = [
      terminal.onData(function (texto) {
        eu.teclar(texto);
      }),
      terminal.onResize(function () {
        eu.dimensoes = true;
        eu.enviar();
      }),
    ];
    // A phone back from sleep, or back on the network, joins at once
    // rather than at the end of its wait.
    this.agora = function () {
      if (eu.religar !== null && document.visibilityState !== "hidden") {
        clearTimeout(eu.religar);
        eu.religar = null;
        eu.conectar();
      }
    };
    document.addEventListener("visibilitychange", this.agora);
    window.addEventListener("online", this.agora);
  };

  LigacaoSala.prototype.dispose = function () {
    for (var i = 0; i < this.ouvintes.length; i++) this.ouvintes[i].dispose();
    this.ouvintes = [];
    if (this.agora) {
      document.removeEventListener("visibilitychange", this.agora);
      window.removeEventListener("online", this.agora);
      this.agora = null;
    }
    this.encerrar();
  };

  // Nothing more is sent nor joined: the connection, if any, is closed.
  LigacaoSala.prototype.encerrar = function () {
    this.encerrada = true;
    this.sentado = false;
    this.esvaziar();
    clearTimeout(this.religar);
    this.religar = null;
    clearTimeout(this.abertura);
    if (this.socket) this.socket.close();
  };

  LigacaoSala.prototype.esvaziar = function () {
    this.fila = [];
    this.bytesNaFila = 0;
    this.dimensoes = false;
    clearTimeout(this.adiado);
    this.adiado = null;
  };

  LigacaoSala.prototype.chave = function () {
    return "zova-sala-" + this.token;
  };

  LigacaoSala.prototype.segredo = function () {
    try {
      var segredo = localStorage.getItem(this.chave());
      return segredo && SEGREDO.test(segredo) ? segredo : null;
    } catch (erro) {
      // No storage (a private window may refuse it): no seat to take back.
      return null;
    }
  };

  LigacaoSala.prototype.conectar = function () {
    var eu = this;
    if (this.encerrada) return;
    // Once a connection has failed, what the page says stays as the failure
    // left it until the device has its seat.
    if (!this.jaSentou && this.falhas === 0) this.avisos.estado("Conectando à sala...");
    var endereco = (location.protocol === "https:" ? "wss://" : "ws://") + location.host + CAMINHO;
    var socket;
    try {
      socket = new WebSocket(endereco);
    } catch (erro) {
      this.caiu();
      return;
    }
    this.socket = socket;
    socket.binaryType = "arraybuffer";
    this.abertura = setTimeout(function () {
      socket.close();
    }, ABERTURA_MS);
    socket.onopen = function () {
      clearTimeout(eu.abertura);
      var segredo = eu.segredo();
      eu.mandar("E" + eu.token + (segredo ? " " + segredo : ""));
    };
    socket.onmessage = function (evento) {
      if (eu.socket === socket && !eu.encerrada) eu.receber(evento.data);
    };
    socket.onclose = function () {
      if (eu.socket !== socket) return;
      clearTimeout(eu.abertura);
      eu.socket = null;
      eu.caiu();
    };
  };

  // The connection dropped without the room's last word (a phone that
  // slept, a network gone): the screen stays as it was, and the device
  // joins again after a wait; the room then draws the screen anew.
  LigacaoSala.prototype.caiu = function () {
    var eu = this;
    this.sentado = false;
    this.esvaziar();
    if (this.encerrada) return;
    this.avisos.estado(this.jaSentou ? "Conexão perdida. Reconectando..." :
      "Não foi possível entrar na sala. Tentando de novo...");
    var espera = ESPERAS_MS[Math.min(this.falhas, ESPERAS_MS.length - 1)];
    this.falhas++;
    this.religar = setTimeout(function () {
      eu.religar = null;
      eu.conectar();
    }, espera);
  };

  LigacaoSala.prototype.receber = function (dados) {
    if (typeof dados !== "string") {
      var bytes = new Uint8Array(dados);
      if (bytes.length > 0 && bytes[0] === 0x4f) this.terminal.write(bytes.subarray(1));
      return;
    }
    var tipo = dados.charAt(0);
    if (tipo === "A") {
      var assento = /^A([0-9a-f]{32}) ([0-9]+)$/.exec(dados);
      if (!assento) return;
      try {
        localStorage.setItem(this.chave(), assento[1]);
      } catch (erro) {
        // Without storage, a reload joins as a newcomer.
      }
      this.sentado = true;
      this.jaSentou = true;
      this.falhas = 0;
      this.avisos.estado("");
      // The room learns the widget's size first, and draws for it.
      this.dimensoes = true;
      this.enviar();
    } else if (tipo === "F") {
      this.encerrar();
      this.avisos.estado("");
      this.avisos.fim(dados.slice(1));
    }
  };

  LigacaoSala.prototype.teclar = function (texto) {
    if (!this.sentado) return;
    var resta = LIMITE_FILA - this.bytesNaFila;
    if (resta <= 0) return;
    var bytes = tamanho(texto);
    if (bytes > resta) {
      texto = texto.slice(0, cabe(texto, resta));
      bytes = tamanho(texto);
    }
    if (texto === "") return;
    this.fila.push(texto);
    this.bytesNaFila += bytes;
    this.enviar();
  };

  // Up to BYTES_POR_MENSAGEM bytes of the keys waiting, in the order typed:
  // whole pieces while they fit, a piece larger than a message alone cut at
  // a character.
  LigacaoSala.prototype.tirarTeclas = function () {
    var texto = "";
    var livre = BYTES_POR_MENSAGEM;
    while (this.fila.length > 0) {
      var peca = this.fila[0];
      var bytes = tamanho(peca);
      if (bytes <= livre) {
        texto += peca;
        livre -= bytes;
        this.bytesNaFila -= bytes;
        this.fila.shift();
        continue;
      }
      if (texto === "") {
        var corte = cabe(peca, livre);
        texto = peca.slice(0, corte);
        this.fila[0] = peca.slice(corte);
        this.bytesNaFila -= tamanho(texto);
      }
      break;
    }
    return texto;
  };

  // Sends what waits, the widget's size first, as fast as the room takes
  // messages; what is left goes when older messages have left the last
  // second.
  LigacaoSala.prototype.enviar = function () {
    var eu = this;
    while (this.sentado && this.adiado === null && (this.dimensoes || this.fila.length > 0)) {
      var agora = performance.now();
      while (this.enviados.length > 0 && agora - this.enviados[0] >= 1000) this.enviados.shift();
      if (this.enviados.length >= MENSAGENS_POR_SEGUNDO) {
        this.adiado = setTimeout(function () {
          eu.adiado = null;
          eu.enviar();
        }, Math.ceil(this.enviados[0] + 1000 - agora));
        return;
      }
      if (this.dimensoes) {
        this.dimensoes = false;
        this.mandar("D" + this.terminal.cols + " " + this.terminal.rows);
      } else {
        this.mandar("T" + this.tirarTeclas());
      }
    }
  };

  LigacaoSala.prototype.mandar = function (mensagem) {
    this.enviados.push(performance.now());
    this.socket.send(mensagem);
  };

  return LigacaoSala;
})();
