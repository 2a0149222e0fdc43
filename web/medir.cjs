// The browser edition's figures: page load to the title screen over
// loopback in headless Chromium, against a page with the terminal widget
// alone that writes the same line, both when the title is in the page and
// when the browser has painted it; the repeat visit, served by the page's
// service worker; and the compressed sizes of the game's code (its module
// and its addon to the widget) and of zova.html.
//   NODE_PATH=<build>/npm-navegador/node_modules node medir.cjs BUILD_FOLDER
// Each first load is in a fresh context (no cache), drawn without a GPU, as
// a headless machine has none. The pages are loaded in turn, five times
// each, five times over: a busy moment of the machine slows all alike, and
// the ratio of each set's medians says how much later than the widget
// alone the game's title comes. Two pages with the widget alone: one that
// writes the title's line on a widget of its default size, and one that
// writes the game's whole first screen on a widget of the size and font the
// page gives it; what the second takes beyond the first is the widget's
// own work for that screen, and what the page takes beyond the second is
// the page's own (its setup, its other scripts, the game).
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

// The widget alone: its script and style, one terminal, and either one line
// (no tela) or the game's first screen at the page's size (tela: its
// bytes, columns and rows).
function paginaDeReferencia(tela) {
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
var term = new Terminal(${tela ? JSON.stringify({ cols: tela.colunas, rows: tela.linhas, convertEol: true, fontFamily: tela.familia, fontSize: tela.fonte }) : ""});
term.open(document.getElementById("terminal"));
term.write(${JSON.stringify(tela ? tela.bytes : TITULO)});
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

// In the page: what the game writes first, and the widget's size and font.
function capturarPrimeiraTela() {
  let classe;
  Object.defineProperty(window, "Terminal", {
    configurable: true,
    get: () => classe,
    set: (valor) => {
      classe = valor;
      const escrever = valor.prototype.write;
      const abrir = valor.prototype.open;
      valor.prototype.open = function (...args) {
        window.telaCapturada = { colunas: this.cols, linhas: this.rows, familia: this.options.fontFamily, fonte: this.options.fontSize };
        return abrir.apply(this, args);
      };
      valor.prototype.write = function (dados, ...resto) {
        if (window.telaCapturada && window.telaCapturada.bytes === undefined)
          window.telaCapturada.bytes = typeof dados === "string" ? dados : new TextDecoder().decode(dados);
        return escrever.call(this, dados, ...resto);
      };
    },
  });
}

async function primeiraTela(navegador, endereco) {
  const contexto = await navegador.newContext();
  const pagina = await contexto.newPage();
  await pagina.addInitScript(capturarPrimeiraTela);
  await pagina.addInitScript(vigiarTitulo, TITULO);
  await pagina.goto(endereco);
  await esperarTitulo(pagina);
  const tela = await pagina.evaluate(() => window.telaCapturada);
  await contexto.close();
  if (!tela || typeof tela.bytes !== "string" || !tela.bytes.includes(TITULO)) throw new Error("the page's first screen was not captured");
  return tela;
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
  let referenciaTela = null;
  let servidorTela = null;
  try {
    // One load of each first, not counted: the browser's own start-up. The
    // page's tells its first screen.
    const tela = await primeiraTela(navegador, jogo);
    referenciaTela = paginaDeReferencia(tela);
    servidorTela = await servir(referenciaTela);
    const sozinhoTela = `http://127.0.0.1:${servidorTela.address().port}/`;
    await carregar(navegador, sozinho);
    await carregar(navegador, sozinhoTela);
    const paginas = [
      { nome: "the page", endereco: jogo },
      { nome: "xterm.js alone, 1 line", endereco: sozinho },
      { nome: `xterm.js alone, the first screen at ${tela.colunas}x${tela.linhas}`, endereco: sozinhoTela },
    ];
    const series = [];
    for (let s = 0; s < SERIES; s++) {
      const tempos = paginas.map(() => []);
      for (let vez = 0; vez < CARGAS; vez++) {
        // The order turns each time, so none always follows another.
        for (let k = 0; k < paginas.length; k++) {
          const i = (s + vez + k) % paginas.length;
          tempos[i].push(await carregar(navegador, paginas[i].endereco));
        }
      }
      series.push(tempos);
    }
    const largura = Math.max(...paginas.map((p) => p.nome.length)) + 1;
    for (const [momento, nome] of [["titulo", "load to title"], ["pintado", "load to the title painted"]]) {
      const medianas = paginas.map((_, i) => series.map((s) => mediana(s[i].map((t) => t[momento]))));
      console.log(`${nome}, medians of ${SERIES} sets of ${CARGAS} fresh loads, taken in turn:`);
      paginas.forEach((p, i) =>
        console.log(`  ${`${p.nome}:`.padEnd(largura)} ${ms(medianas[i])} ms (median ${mediana(medianas[i]).toFixed(0)} ms)`));
      for (const [i, contra] of [[1, "1 line"], [2, "the first screen"]]) {
        const razoes = medianas[0].map((t, k) => t / medianas[i][k]);
        console.log(`  ratio to xterm.js alone, ${contra}, set by set: ${razoes.map((r) => r.toFixed(2)).join(", ")}; median ${mediana(razoes).toFixed(2)}`);
      }
    }
    const seguintes = await visitasSeguintes(navegador, jogo);
    console.log(`repeat visit, from the service worker's cache: median ${mediana(seguintes).toFixed(0)} ms (runs: ${ms(seguintes)} ms)`);
  } finally {
    await navegador.close();
    servidor.close();
    servidorReferencia.close();
    if (servidorTela) servidorTela.close();
    for (const pasta of [referencia, referenciaTela]) if (pasta) fs.rmSync(pasta, { recursive: true, force: true });
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
