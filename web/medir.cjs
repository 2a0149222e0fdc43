// The browser edition's figures: page load to the title screen over
// loopback in headless Chromium, against a page with the terminal widget
// alone that writes the same line, both when the title is in the page and
// when the browser has painted it; the repeat visit, served by the page's
// service worker; and the compressed sizes of the game's code (its module
// and its addon to the widget) and of zova.html.
//   NODE_PATH=<build>/npm-navegador/node_modules node medir.cjs BUILD_FOLDER
// Each first load is in a fresh context (no cache), drawn without a GPU, as
// a headless machine has none. The two pages are loaded in turn, five
// times each, five times over: a busy moment of the machine slows both
// alike, and the ratio of each set's medians says how much later than the
// widget alone the game's title comes.
"use strict";
const { chromium } = require("playwright-core");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { servir } = require(path.join(__dirname, "servidor.cjs"));
const { execFileSync } = require("child_process");

const build = process.argv[2];
const site = path.join(build, "site");
const TITULO = "Quantidade de jogadores (2 a 5):";
const SERIES = 5;
const CARGAS = 5;

// As gzip -9 sends it (Node's zlib gives other sizes).
const comprimido = (arquivo) => execFileSync("gzip", ["-9c", arquivo], { maxBuffer: 1 << 26 }).length;
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
const mediana = (valores) => [...valores].sort((a, b) => a - b)[Math.floor(valores.length / 2)];
const ms = (valores) => valores.map((t) => t.toFixed(0)).join(", ");

// The widget alone: its script and style, one terminal, one line.
function paginaDeReferencia() {
  const pasta = fs.mkdtempSync(path.join(os.tmpdir(), "zova-referencia-"));
  for (const nome of ["xterm.js", "xterm.css"]) fs.copyFileSync(path.join(site, nome), path.join(pasta, nome));
  fs.writeFileSync(path.join(pasta, "index.html"), `<!DOCTYPE html>
<html lang="pt-BR">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>xterm.js</title>
<link rel="stylesheet" href="xterm.css">
</head>
<body>
<div id="terminal"></div>
<script src="xterm.js"></script>
<script>
var term = new Terminal();
term.open(document.getElementById("terminal"));
term.write(${JSON.stringify(TITULO)});
</script>
</body>
</html>
`);
  return pasta;
}

// The moment the title is in the page, by the page's own clock (from the
// start of the navigation), and the moment the browser painted it (Element
// Timing, of the widget's elements that hold the title's text): what a page
// does between the two, or that puts the text in the page before the frame
// that shows it, counts in the second.
function vigiarTitulo(titulo) {
  const inicio = titulo.slice(0, 20);
  new PerformanceObserver((lista) => {
    for (const entrada of lista.getEntries())
      if (entrada.identifier === "titulo" && window.pintadoEm === undefined) window.pintadoEm = entrada.renderTime;
  }).observe({ type: "element", buffered: true });
  const observador = new MutationObserver((registros) => {
    for (const registro of registros)
      for (const no of registro.addedNodes) {
        if (no.nodeType !== Node.ELEMENT_NODE || !no.closest(".xterm-rows")) continue;
        for (const elemento of [no, ...no.querySelectorAll("*")])
          if (elemento.textContent.includes(inicio)) elemento.setAttribute("elementtiming", "titulo");
      }
    const linhas = document.querySelector(".xterm-rows");
    if (window.tituloEm === undefined && linhas && linhas.textContent.includes(titulo)) window.tituloEm = performance.now();
    if (window.pintadoEm !== undefined) observador.disconnect();
  });
  observador.observe(document, { subtree: true, childList: true, characterData: true });
}

async function esperarTitulo(pagina) {
  await pagina.waitForFunction(() => window.tituloEm !== undefined, null, { timeout: 10000 });
  return pagina.evaluate(() => window.tituloEm);
}

// Both moments of a fresh load: { titulo, pintado }.
async function carregar(navegador, endereco) {
  const contexto = await navegador.newContext();
  const pagina = await contexto.newPage();
  await pagina.addInitScript(vigiarTitulo, TITULO);
  await pagina.goto(endereco);
  const titulo = await esperarTitulo(pagina);
  await pagina.waitForFunction(() => window.pintadoEm !== undefined, null, { timeout: 10000 });
  const tempo = { titulo, pintado: await pagina.evaluate(() => window.pintadoEm) };
  // ZOVA_DETALHES=1: when each file came, to see what the time went on.
  if (process.env.ZOVA_DETALHES)
    console.log(endereco, await pagina.evaluate(() => JSON.stringify({
      nav: performance.getEntriesByType("navigation").map((n) => [n.responseEnd, n.domInteractive, n.domContentLoadedEventEnd, n.loadEventEnd].map(Math.round)),
      rec: performance.getEntriesByType("resource").map((r) => [r.name.split("/").pop(), Math.round(r.startTime), Math.round(r.responseEnd)]),
      titulo: Math.round(window.tituloEm), pintado: Math.round(window.pintadoEm) })));
  await contexto.close();
  return tempo;
}

// Once the service worker holds the page, a reload is served from its
// cache: the time of each of CARGAS reloads.
async function visitasSeguintes(navegador, endereco) {
  const contexto = await navegador.newContext();
  const pagina = await contexto.newPage();
  await pagina.addInitScript(vigiarTitulo, TITULO);
  await pagina.goto(endereco);
  await esperarTitulo(pagina);
  await pagina.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 });
  const tempos = [];
  for (let vez = 0; vez < CARGAS; vez++) {
    await pagina.reload();
    tempos.push(await esperarTitulo(pagina));
  }
  await contexto.close();
  return tempos;
}

(async () => {
  const referencia = paginaDeReferencia();
  const servidor = await servir(site);
  const servidorReferencia = await servir(referencia);
  const jogo = `http://127.0.0.1:${servidor.address().port}/`;
  const sozinho = `http://127.0.0.1:${servidorReferencia.address().port}/`;
  const navegador = await chromium.launch({ executablePath: process.env.ZOVA_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu"] });
  try {
    // One load of each first, not counted: the browser's own start-up.
    await carregar(navegador, jogo);
    await carregar(navegador, sozinho);
    const series = [];
    for (let s = 0; s < SERIES; s++) {
      const doJogo = [];
      const doWidget = [];
      for (let vez = 0; vez < CARGAS; vez++) {
        // Which goes first alternates, so neither always follows the other.
        const primeiro = (s + vez) % 2 === 0;
        if (primeiro) doJogo.push(await carregar(navegador, jogo));
        doWidget.push(await carregar(navegador, sozinho));
        if (!primeiro) doJogo.push(await carregar(navegador, jogo));
      }
      series.push({ jogo: doJogo, widget: doWidget });
    }
    for (const [momento, nome] of [["titulo", "load to title"], ["pintado", "load to the title painted"]]) {
      const jogo = series.map((s) => mediana(s.jogo.map((t) => t[momento])));
      const widget = series.map((s) => mediana(s.widget.map((t) => t[momento])));
      const razoes = jogo.map((t, i) => t / widget[i]);
      console.log(`${nome}, medians of ${SERIES} sets of ${CARGAS} fresh loads, taken in turn:`);
      console.log(`  the page:               ${ms(jogo)} ms (median ${mediana(jogo).toFixed(0)} ms)`);
      console.log(`  xterm.js alone, 1 line: ${ms(widget)} ms (median ${mediana(widget).toFixed(0)} ms)`);
      console.log(`  ratio, set by set: ${razoes.map((r) => r.toFixed(2)).join(", ")}; median ${mediana(razoes).toFixed(2)}`);
    }
    const seguintes = await visitasSeguintes(navegador, jogo);
    console.log(`repeat visit, from the service worker's cache: median ${mediana(seguintes).toFixed(0)} ms (runs: ${ms(seguintes)} ms)`);
  } finally {
    await navegador.close();
    servidor.close();
    servidorReferencia.close();
    fs.rmSync(referencia, { recursive: true, force: true });
  }
  const wasm = comprimido(path.join(site, "zova.wasm"));
  const js = comprimido(path.join(site, "zova.js"));
  const ligacao = comprimido(path.join(site, "ligacao_jogo.js"));
  console.log(`game code, gzip -9: ${kb(wasm + js + ligacao)} (wasm ${kb(wasm)}, glue ${kb(js)}, ` +
    `link to the widget ${kb(ligacao)})`);
  console.log(`zova.html, gzip -9: ${kb(comprimido(path.join(build, "zova.html")))}`);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
