// The page of the browser edition: the terminal widget filling the window,
// in the colours of a classic console, with the game behind it.
(function () {
  "use strict";
  var caixa = document.getElementById("terminal");

  if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function") {
    caixa.hidden = true;
    document.getElementById("sem-wasm").hidden = false;
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

  var term = new Terminal({
    theme: paleta,
    // The game writes LF; a terminal's output turns it into CR LF.
    convertEol: true,
    fontFamily: '"DejaVu Sans Mono", "Cascadia Mono", Consolas, Menlo, "Courier New", monospace',
    fontSize: 16,
    cursorBlink: true,
    scrollback: 1000,
    // Bold is not drawn brighter: the game's colours are its own.
    drawBoldTextInBrightColors: false,
    // For the character widths below.
    allowProposedApi: true,
  });
  // Emoji take two columns, as the game counts them and as terminals draw
  // them: the widget's own table is older than emoji.
  term.loadAddon(new Unicode11Addon.Unicode11Addon());
  term.unicode.activeVersion = "11";
  // The game's keys and writes go through its own addon.
  var ligacao = new LigacaoJogo();
  term.loadAddon(ligacao);
  // The game starts loading now: its module compiles while the widget is
  // set up, and it runs only once this script is done.
  var fim = document.getElementById("fim");
  var terminou = false;
  criarZova({
    ligacao: ligacao,
    aoTerminar: function () {
      terminou = true;
      fim.hidden = false;
      ajustar();
    },
  });

  // Ctrl-W erases a word in the game, but the browser may take it to close
  // the tab: while a match is on, the browser asks first.
  window.addEventListener("beforeunload", function (evento) {
    if (terminou) return;
    evento.preventDefault();
    evento.returnValue = "";
  });

  var ajuste = new FitAddon.FitAddon();
  term.loadAddon(ajuste);
  term.open(caixa);

  // The size in characters is on the page too, for whoever reads it.
  function anotarTamanho() {
    caixa.dataset.colunas = term.cols;
    caixa.dataset.linhas = term.rows;
  }
  term.onResize(anotarTamanho);
  ajuste.fit();
  anotarTamanho();

  // The widget follows the window; a resize reaches the game, which draws
  // its screen again at the new width.
  var ajustePendente = false;
  function ajustar() {
    if (ajustePendente) return;
    ajustePendente = true;
    requestAnimationFrame(function () {
      ajustePendente = false;
      ajuste.fit();
    });
  }
  window.addEventListener("resize", ajustar);
  if (typeof ResizeObserver === "function") new ResizeObserver(ajustar).observe(caixa);

  // Keys go to the game wherever the page is clicked or tapped; on a phone
  // the tap brings up the on-screen keyboard.
  function focar() {
    term.focus();
  }
  caixa.addEventListener("click", focar);
  caixa.addEventListener("touchend", focar);
  focar();

  document.getElementById("nova-partida").addEventListener("click", function () {
    location.reload();
  });

})();
