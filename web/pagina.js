// The page of the browser edition: the terminal widget filling the window,
// in the colours of a classic console, with the game behind it; or, opened
// by a room's link, with the room's match behind it.
(function () {
  "use strict";
  // A room's link is its address with # and the room's token (32 lowercase
  // hexadecimal digits): the widget is then a terminal of the room, and the
  // game's module is never started. inicio.js tells the same apart, before
  // this script. The page opened from the disk is never a room's.
  var sala = /^https?:$/.test(location.protocol) && /^#[0-9a-f]{32}$/.test(location.hash) ? location.hash.slice(1) : null;
  var caixa = document.getElementById("terminal");
  var teclas = document.getElementById("teclas");
  var fim = document.getElementById("fim");
  var novaPartida = document.getElementById("nova-partida");
  var girar = document.getElementById("girar");
  var abrirAjuda = document.getElementById("abrir-ajuda");
  var ajuda = document.getElementById("ajuda");
  var estadoSala = document.querySelector("#estado-sala span");
  var fimSala = document.getElementById("fim-sala");

  // Whatever stops the game leaves a message in its place, never a black
  // page: the widget, its keys and its help go, the message shows.
  var jogando = true;
  function avisar(id) {
    jogando = false;
    caixa.hidden = true;
    teclas.hidden = true;
    girar.hidden = true;
    ajuda.hidden = true;
    abrirAjuda.hidden = true;
    var aviso = document.getElementById(id);
    aviso.hidden = false;
    var botao = aviso.querySelector("button");
    if (botao) botao.focus();
  }
  document.getElementById("tentar-de-novo").addEventListener("click", function () {
    location.reload();
  });

  if (!sala && (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function")) {
    avisar("sem-wasm");
    return;
  }
  // A script of the page that did not come (a dropped connection, a host
  // missing a file) leaves its name undefined. The room's link has a script
  // of its own, asked for only where it is needed (below).
  if (typeof Terminal !== "function" || typeof FitAddon !== "object" || typeof LargurasJogo !== "function" ||
      (!sala && (typeof LigacaoJogo !== "function" || typeof criarZova !== "function"))) {
    avisar("falha");
    return;
  }

  // The game's colours by the console's palette, in the terminal's order
  // (ANSI black, red, green, yellow, blue, magenta, cyan, white, then the
  // bright ones): each player's screen looks as it does in a console.
  var paleta = {
    background: "#000000",
    foreground: "#c0c0c0",
    cursor: "#c0c0c0",
    black: "#000000",
    red: "#800000",
    green: "#008000",
    yellow: "#808000",
    blue: "#000080",
    magenta: "#800080",
    cyan: "#008080",
    white: "#c0c0c0",
    brightBlack: "#808080",
    brightRed: "#ff0000",
    brightGreen: "#00ff00",
    brightYellow: "#ffff00",
    brightBlue: "#0000ff",
    brightMagenta: "#ff00ff",
    brightCyan: "#00ffff",
    brightWhite: "#ffffff",
  };

  // What a screen reader says of the widget, in the page's language.
  Terminal.strings.promptLabel = "Entrada do jogo";
  Terminal.strings.tooMuchOutput = "Texto demais para ler de uma vez: percorra as linhas da tela para lê-las";

  var FONTE = 16;
  var FAMILIA = '"DejaVu Sans Mono", "Cascadia Mono", Consolas, Menlo, "Courier New", monospace';
  // The help shows by itself on a first visit, before the widget takes its
  // size: the widget's first size is the one the game starts with.
  try {
    if (!localStorage.getItem("zova.ajudaVista")) {
      localStorage.setItem("zova.ajudaVista", "1");
      ajuda.hidden = false;
      abrirAjuda.setAttribute("aria-expanded", "true");
    }
  } catch (erro) {
    // No storage (a private window may refuse it): no help by itself.
  }

  // The widget is made at the size that fills its box, from the box's size
  // and the font's, as the fit addon reckons them: made at its default size
  // and fitted after, it would build its buffer and lay out and build its
  // rows twice before the first screen. The addon has the last word (below,
  // and at each change of size) where this reckoning came out otherwise.
  var medido = tamanhoDaCaixa();
  var term = new Terminal({
    cols: medido ? medido.cols : 80,
    rows: medido ? medido.rows : 24,
    theme: paleta,
    // The game writes LF; a terminal's output turns it into CR LF.
    convertEol: true,
    fontFamily: FAMILIA,
    fontSize: FONTE,
    cursorBlink: true,
    scrollback: 1000,
    // Bold is not drawn brighter: the game's colours are its own.
    drawBoldTextInBrightColors: false,
    // The screen reader mode (a screen reader reads the screen's rows, and
    // what the game writes is announced as it comes) is turned on once the
    // first screen is on the screen, below: building its rows of text with
    // the widget's would hold the game's title back.
    // For the character widths below.
    allowProposedApi: true,
  });
  // The widget counts columns as the game does, from the game's own table.
  term.loadAddon(new LargurasJogo());
  // The keys and what is written go through an addon: the game's, or the
  // room's link, loaded once its script has come (below). Every key reaches
  // it by the widget's input, as the keyboard's do: the on-screen keys and
  // pastes too (teclar, below).
  var ligacao = null;
  if (!sala) {
    ligacao = new LigacaoJogo();
    term.loadAddon(ligacao);
  }

  // The keys a browser's user expects of a page, before the game's: Tab
  // and Shift-Tab move the focus on (the game does nothing with Tab, and a
  // widget that kept it would hold the keyboard in), Ctrl-V pastes as
  // Ctrl-Shift-V and Shift-Insert do, and Ctrl-C copies what is selected
  // in the widget; with nothing selected it goes to the game. The browser
  // then does the paste and the copy: the widget takes the paste as typed
  // text, as it takes any other.
  term.attachCustomKeyEventHandler(function (evento) {
    var mod = (evento.ctrlKey ? "c" : "") + (evento.altKey ? "a" : "") + (evento.metaKey ? "m" : "") +
      (evento.shiftKey ? "s" : "");
    var tecla = evento.key.length === 1 ? evento.key.toLowerCase() : evento.key;
    if (tecla === "Tab" && (mod === "" || mod === "s")) return false;
    if (mod === "c" && tecla === "v") return false;
    if (mod === "c" && tecla === "c" && term.hasSelection()) return false;
    // Escape closes the help (below), and goes no further.
    if (tecla === "Escape" && !ajuda.hidden) return false;
    return true;
  });

  // The game starts loading now: its module compiles while the widget is
  // set up, and it runs only once this script is done. Where its code does
  // not come or the browser refuses it (a wasm file missing on the host, a
  // dropped connection, a policy that forbids wasm), the module gives up
  // and says so here.
  var terminou = false;
  var carga;
  if (!sala) {
    try {
      carga = criarZova({
        ligacao: ligacao,
        aoTerminar: function () {
          terminou = true;
          jogando = false;
          fim.hidden = false;
          teclas.hidden = true;
          ajustar();
          // The keyboard's next stop is the new match.
          novaPartida.focus();
        },
      });
    } catch (erro) {
      carga = Promise.reject(erro);
    }
    Promise.resolve(carga).catch(function (erro) {
      if (terminou) return;
      console.warn("zova: o jogo não carregou:", erro);
      ligacao.dispose();
      avisar("falha");
    });
  }

  // What the room's link says of its connection, over the widget's bottom
  // rows without changing its size, and read out by a screen reader; said
  // once, however often the link repeats it.
  function estadoDaSala(texto) {
    if (estadoSala.textContent !== texto) estadoSala.textContent = texto;
  }
  // The room turned the device away or closed: its reason, under the
  // widget, which keeps the room's last screen; the keys go.
  function fimDaSala(texto) {
    jogando = false;
    teclas.hidden = true;
    fimSala.textContent = texto;
    ajustar();
  }

  // Ctrl-W erases a word in the game, but the browser may take it to close
  // the tab: while a match is on, in the page or in a room, the browser
  // asks first.
  window.addEventListener("beforeunload", function (evento) {
    if (!jogando) return;
    evento.preventDefault();
    evento.returnValue = "";
  });

  var ajuste = new FitAddon.FitAddon();
  term.loadAddon(ajuste);
  term.open(caixa);

  function tamanhoDaCaixa() {
    if (typeof OffscreenCanvas !== "function") return null;
    var contexto = new OffscreenCanvas(1, 1).getContext("2d");
    if (!contexto) return null;
    contexto.font = FONTE + "px " + FAMILIA;
    var letra = contexto.measureText("W");
    if (!(letra.width > 0) || !(letra.fontBoundingBoxAscent + letra.fontBoundingBoxDescent > 0)) return null;
    var dpr = window.devicePixelRatio || 1;
    var altura = Math.ceil((letra.fontBoundingBoxAscent + letra.fontBoundingBoxDescent) * dpr) / dpr;
    var estilo = getComputedStyle(caixa);
    // The widget keeps a scroll bar's width at its right.
    var largura = Math.max(0, parseInt(estilo.width, 10)) - 14;
    var linhas = Math.floor(parseInt(estilo.height, 10) / altura);
    // A cell's width, as the widget lays the row out, is the row's width
    // in whole pixels shared among its columns.
    var colunas = Math.floor(largura / letra.width);
    var celula = Math.round(letra.width * colunas) / colunas;
    colunas = Math.floor(largura / celula);
    if (!(colunas > 0) || !(linhas > 0)) return null;
    return { cols: Math.max(2, colunas), rows: Math.max(1, linhas) };
  }

  // A moment after the game's first screen is drawn: the screen reader
  // mode. Its rows of text, built as soon as the widget has drawn the title,
  // go into the frames that were still putting the title on the screen, and
  // hold it back (some 30 ms on the machine of the README's figures, where
  // the frame came 25 to 60 ms after the drawing); a quarter of a second is
  // nothing to whoever listens, and past that frame on a slow phone too.
  var LEITOR_APOS_MS = 250;
  var escrito = false;
  var primeiraEscrita = term.onWriteParsed(function () {
    primeiraEscrita.dispose();
    escrito = true;
  });
  var primeiroDesenho = term.onRender(function () {
    if (!escrito) return;
    primeiroDesenho.dispose();
    setTimeout(function () {
      term.options.screenReaderMode = true;
    }, LEITOR_APOS_MS);
  });

  // The size in characters is on the page too, for whoever reads it.
  function anotarTamanho() {
    caixa.dataset.colunas = term.cols;
    caixa.dataset.linhas = term.rows;
  }
  term.onResize(anotarTamanho);

  // For a screen reader to echo what is typed, the widget in its screen
  // reader mode takes text only from key presses, and drops the text that
  // comes with no key at all: an emoji picker's, dictation's, an on-screen
  // keyboard's word. That text goes to the game here, as the widget itself
  // sends it with the mode off. Text that came with a key (an on-screen
  // keyboard's letters among them) is the widget's own to send.
  var teclaPressionada = false;
  term.textarea.addEventListener("keydown", function () {
    teclaPressionada = true;
  });
  term.textarea.addEventListener("keyup", function () {
    teclaPressionada = false;
  });
  // A key that takes the focus away (Tab) is let go elsewhere.
  term.textarea.addEventListener("blur", function () {
    teclaPressionada = false;
  });
  term.textarea.addEventListener("input", function (evento) {
    // Before the mode is on, the widget sends that text itself.
    if (!term.options.screenReaderMode) return;
    if (evento.inputType === "insertText" && evento.data && !evento.isComposing && !teclaPressionada)
      teclar(evento.data);
  });

  // Keys that come from the page rather than the keyboard go in by the
  // widget's input, where the keyboard's and the widget's pastes go: the
  // addon, the game's or the room's, takes them all from there alike.
  function teclar(bytes) {
    term.input(bytes, true);
  }

  // On a touch screen (a phone, a tablet): keys on the screen for the sheet
  // and the line, a font that fits the game's widest line where it can, and
  // the widget kept above the on-screen keyboard.
  var toque = false;
  // The widest line the game writes: the hint of the judging panel ("Dica:
  // Atribua notas ..."), 80 columns. Wider than the sheet's key hint (74)
  // and the panel's rules (53); the lines with names grow with them, and
  // wrap.
  var COLUNAS_DO_JOGO = 80;
  // Smaller than this, the text is too small to read on a phone: the
  // lines wrap instead, and the page asks for the phone to be turned.
  var FONTE_MINIMA = 12;

  function ajustarFonte() {
    if (!toque || caixa.hidden) return;
    var tamanho = FONTE;
    var cabe = false;
    for (;;) {
      if (term.options.fontSize !== tamanho) term.options.fontSize = tamanho;
      var proposta = ajuste.proposeDimensions();
      cabe = Boolean(proposta) && proposta.cols >= COLUNAS_DO_JOGO;
      if (cabe || tamanho <= FONTE_MINIMA) break;
      tamanho--;
    }
    girar.hidden = cabe;
  }

  // The widget follows the window; a resize reaches the game, which draws
  // its screen again at the new width.
  var ajustePendente = false;
  function ajustar() {
    if (ajustePendente) return;
    ajustePendente = true;
    requestAnimationFrame(function () {
      ajustePendente = false;
      if (caixa.hidden) return;
      ajustarFonte();
      ajuste.fit();
    });
  }
  window.addEventListener("resize", ajustar);
  if (typeof ResizeObserver === "function") new ResizeObserver(ajustar).observe(caixa);

  // The keys on the screen send what the keyboard's keys send, through the
  // widget's own input, so the game cannot tell them apart. They never take
  // the focus: the on-screen keyboard stays open or closed as it was.
  var SETAS = { cima: "A", baixo: "B", direita: "C", esquerda: "D" };
  var BYTES = { w: "w", s: "s", d: "d", f: "f", enter: "\r", apagar: "\x7f" };
  teclas.addEventListener("mousedown", function (evento) {
    evento.preventDefault();
  });
  teclas.addEventListener("click", function (evento) {
    var botao = evento.target.closest("button[data-tecla]");
    if (!botao) return;
    var nome = botao.dataset.tecla;
    teclar(SETAS[nome] ? (term.modes.applicationCursorKeysMode ? "\x1bO" : "\x1b[") + SETAS[nome] : BYTES[nome]);
  });

  // With the on-screen keyboard up, only part of the page is in sight (the
  // visual viewport): the page is cut to that part, and the widget with it,
  // so the line being typed stays above the keyboard. A zoomed page (a
  // pinch) is left as it is.
  var visivel = window.visualViewport;
  var jogo = document.getElementById("jogo");
  function seguirVisivel() {
    if (!toque || !visivel) return;
    var inteira = Math.abs(visivel.scale - 1) < 0.01;
    jogo.style.height = inteira ? visivel.height + "px" : "";
    jogo.style.top = inteira ? visivel.offsetTop + "px" : "";
    ajustar();
  }

  function ativarToque() {
    if (toque || !jogando) return;
    toque = true;
    teclas.hidden = false;
    seguirVisivel();
    ajustar();
  }
  if (window.matchMedia && window.matchMedia("(pointer: coarse)").matches) ativarToque();
  else window.addEventListener("touchstart", ativarToque, { once: true, passive: true });
  if (visivel) {
    visivel.addEventListener("resize", seguirVisivel);
    visivel.addEventListener("scroll", seguirVisivel);
  }

  // Fitted now, unless the reckoning above stands and the observer of the
  // box, which reports its first size after the first frame, checks it
  // then: reading the layout here would lay the page out once more before
  // the title.
  if (toque || !medido || typeof ResizeObserver !== "function") {
    ajustarFonte();
    ajuste.fit();
  }
  anotarTamanho();

  // Keys go to the game wherever the page is clicked or tapped; on a phone
  // the tap brings up the on-screen keyboard.
  function focar() {
    term.focus();
  }
  caixa.addEventListener("click", focar);
  caixa.addEventListener("touchend", focar);
  focar();

  // The room is joined once the widget has its size, which the room learns
  // as soon as the device has its seat. The help says how a room is played.
  // The room's link is a script of its own, which a game never needs: it is
  // asked for here (inicio.js has it coming already, from the page's
  // start), and the widget is a terminal of the room once it has come.
  if (sala) {
    var partes = document.querySelectorAll("[data-modo]");
    for (var i = 0; i < partes.length; i++) partes[i].hidden = partes[i].dataset.modo !== "sala";
    var script = document.createElement("script");
    script.src = "ligacao_sala.js";
    script.onload = function () {
      if (typeof LigacaoSala !== "function") {
        avisar("falha");
        return;
      }
      ligacao = new LigacaoSala(sala, { estado: estadoDaSala, fim: fimDaSala });
      term.loadAddon(ligacao);
      ligacao.conectar();
    };
    script.onerror = function () {
      avisar("falha");
    };
    document.body.appendChild(script);
  }

  // The help, by its button: it takes its own place above the widget, so
  // it hides nothing of the game, and the keys stay with the game while it
  // is open.
  function mostrarAjuda(aberta) {
    ajuda.hidden = !aberta;
    abrirAjuda.setAttribute("aria-expanded", String(aberta));
    ajustar();
  }
  function fecharAjuda() {
    mostrarAjuda(false);
    if (jogando) focar();
  }
  abrirAjuda.hidden = false;
  abrirAjuda.addEventListener("click", function () {
    mostrarAjuda(ajuda.hidden);
    if (!ajuda.hidden) document.getElementById("fechar-ajuda").focus();
  });
  document.getElementById("fechar-ajuda").addEventListener("click", fecharAjuda);
  document.addEventListener("keydown", function (evento) {
    if (evento.key === "Escape" && !ajuda.hidden) fecharAjuda();
  });
  novaPartida.addEventListener("click", function () {
    location.reload();
  });
})();
