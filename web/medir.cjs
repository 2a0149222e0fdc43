// The browser edition's figures: page load to the title screen over
// loopback in headless Chromium (median of 5, each in a fresh context: no
// cache; drawn without a GPU, as a headless machine has none), and
// the compressed sizes of the game's code (its module and its addon to the
// widget) and of zova.html.
//   NODE_PATH=<build>/npm-navegador/node_modules node medir.cjs BUILD_FOLDER
"use strict";
const { chromium } = require("playwright-core");
const path = require("path");
const { servir } = require(path.join(__dirname, "servidor.cjs"));
const { execFileSync } = require("child_process");

const build = process.argv[2];
const site = path.join(build, "site");

// As gzip -9 sends it (Node's zlib gives other sizes).
const comprimido = (arquivo) => execFileSync("gzip", ["-9c", arquivo], { maxBuffer: 1 << 26 }).length;
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;

(async () => {
  const servidor = await servir(site);
  const navegador = await chromium.launch({ executablePath: process.env.ZOVA_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu"] });
  const tempos = [];
  for (let vez = 0; vez < 5; vez++) {
    const contexto = await navegador.newContext();
    const pagina = await contexto.newPage();
    // The moment the title is in the page, by the page's own clock (from
    // the start of the navigation).
    await pagina.addInitScript(() => {
      new MutationObserver((_, observador) => {
        const linhas = document.querySelector(".xterm-rows");
        if (linhas && linhas.textContent.includes("Quantidade de jogadores")) {
          window.tituloEm = performance.now();
          observador.disconnect();
        }
      }).observe(document, { subtree: true, childList: true, characterData: true });
    });
    await pagina.goto(`http://127.0.0.1:${servidor.address().port}/`);
    await pagina.waitForFunction(() => window.tituloEm !== undefined, null, { timeout: 10000 });
    tempos.push(await pagina.evaluate(() => window.tituloEm));
    // ZOVA_DETALHES=1: when each file came, to see what the time went on.
    if (process.env.ZOVA_DETALHES)
      console.log(await pagina.evaluate(() => JSON.stringify({
        nav: performance.getEntriesByType("navigation").map((n) => [n.responseEnd, n.domInteractive, n.domContentLoadedEventEnd, n.loadEventEnd].map(Math.round)),
        rec: performance.getEntriesByType("resource").map((r) => [r.name.split("/").pop(), Math.round(r.startTime), Math.round(r.responseEnd)]),
        titulo: Math.round(window.tituloEm) })));
    await contexto.close();
  }
  await navegador.close();
  servidor.close();
  tempos.sort((a, b) => a - b);
  console.log(`load to title: median ${tempos[2].toFixed(0)} ms (runs: ${tempos.map((t) => t.toFixed(0)).join(", ")} ms)`);
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
