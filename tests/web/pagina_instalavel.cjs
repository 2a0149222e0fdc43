// The hosted page as an app, in a real browser (Chromium, headless, with a
// profile of its own: an incognito window installs nothing): what the page
// says it is, its policy, the licences it links, its manifest, that
// Chromium would install it, that it plays offline after a first visit,
// and that a new build replaces what the service worker kept. And the
// same identity and licences in zova.html, opened from the disk.
//   node pagina_instalavel.cjs SITE_FOLDER ZOVA_HTML
// Needs playwright-core (NODE_PATH) and Chromium at /usr/bin/chromium.
"use strict";
const { chromium } = require("playwright-core");
const fs = require("fs");
const os = require("os");
const path = require("path");
const url = require("url");
const { servir } = require(path.join(__dirname, "../../web/servidor.cjs"));
const { versionar } = require(path.join(__dirname, "../../web/versionar.cjs"));

const [site, unico] = process.argv.slice(2);
const CHROMIUM = process.env.ZOVA_CHROMIUM || "/usr/bin/chromium";
const TITULO = "Quantidade de jogadores (2 a 5):";
let falhas = 0;
let verificados = 0;

function falhar(msg) {
  falhas++;
  console.log(`FAILED: ${msg}`);
}

// One check: the problems it found, none when it passes.
function verificar(nome, problemas) {
  verificados++;
  if (problemas.length > 0) falhar(`${nome}:\n  ${problemas.join("\n  ")}`);
}

const igual = (problemas, oQue, obtido, esperado) => {
  if (JSON.stringify(obtido) !== JSON.stringify(esperado))
    problemas.push(`${oQue}: ${JSON.stringify(obtido)}, expected ${JSON.stringify(esperado)}`);
};

async function telaMostra(pagina, texto) {
  await pagina.waitForFunction((t) => {
    const linhas = document.querySelector(".xterm-rows");
    return linhas !== null && linhas.textContent.replace(/\u00a0/g, " ").includes(t);
  }, texto, { timeout: 10000 });
}

const controlada = (pagina) =>
  pagina.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 });

// ---------------------------------------------------------------------------
// Title, description, colours and icon, in both pages.
async function identidade(pagina, quem, icone) {
  const problemas = [];
  const cabeca = await pagina.evaluate(() => {
    const meta = (nome) => {
      const m = document.querySelector(`meta[name="${nome}"]`);
      return m && m.content;
    };
    const icone = document.querySelector('link[rel="icon"]');
    return { titulo: document.title, descricao: meta("description"), tema: meta("theme-color"),
      esquema: meta("color-scheme"), icone: icone && icone.href, lingua: document.documentElement.lang };
  });
  igual(problemas, "title", cabeca.titulo, "zova — jogo de palavras");
  igual(problemas, "lang", cabeca.lingua, "pt-BR");
  if (!/^Jogo de palavras para 2 a 5 pessoas/.test(cabeca.descricao || "")) problemas.push(`description: ${cabeca.descricao}`);
  igual(problemas, "theme-color", cabeca.tema, "#000000");
  igual(problemas, "color-scheme", cabeca.esquema, "dark");
  const svg = fs.readFileSync(path.join(site, "zova.svg"));
  if (icone === "arquivo") {
    const resposta = cabeca.icone && (await pagina.request.get(cabeca.icone));
    if (!resposta || !resposta.ok() || resposta.headers()["content-type"] !== "image/svg+xml" ||
        !(await resposta.body()).equals(svg))
      problemas.push(`the icon ${cabeca.icone} is not the game's SVG`);
  } else if (cabeca.icone !== `data:image/svg+xml;base64,${svg.toString("base64")}`) {
    problemas.push(`the icon is not the game's SVG inside the page: ${String(cabeca.icone).slice(0, 60)}`);
  }
  verificar(`${quem}: what the page says it is`, problemas);
}

// The policy allows what the page loads, and nothing else.
async function politica(pagina, quem, esperada) {
  const obtida = await pagina.$eval('meta[http-equiv="Content-Security-Policy"]', (m) => m.content);
  const problemas = [];
  igual(problemas, "Content-Security-Policy", obtida.replace(/('sha256-[A-Za-z0-9+/=]+' )+/, "HASHES "), esperada);
  verificar(`${quem}: its Content-Security-Policy`, problemas);
}

// What the licences must name: each part of the page, and the two that
// Emscripten puts into the game's module.
const AVISOS = [
  /^zova\n====/m,
  /^xterm\.js \(@xterm\/xterm\)\n====/m,
  /^Emscripten \(zova\.js is its runtime's glue[^\n]*\n====/m,
  /Emscripten authors/i,
  /^musl \(the C library compiled into zova\.wasm[^\n]*\n====/m,
  /musl as a whole is licensed under the following standard MIT license/,
  /Rich Felker/,
];

async function licencas(pagina, quem) {
  const problemas = [];
  const link = pagina.getByRole("link", { name: "Licenças", exact: true });
  if ((await link.count()) !== 1 || !(await link.isVisible())) {
    problemas.push('no visible "Licenças" link');
    verificar(`${quem}: the licences`, problemas);
    return;
  }
  const texto = fs.readFileSync(path.join(site, "LICENCAS.txt"), "utf8");
  for (const aviso of AVISOS) if (!aviso.test(texto)) problemas.push(`LICENCAS.txt lacks ${aviso}`);
  if (quem === "site") {
    const alvo = await link.getAttribute("href");
    const resposta = await pagina.request.get(new URL(alvo, pagina.url()).href);
    if (!resposta.ok() || (await resposta.text()) !== texto) problemas.push(`the link (${alvo}) does not give LICENCAS.txt`);
  } else {
    // Opened from the disk, the notices are in the page itself, shown by
    // the link, over the game.
    await link.click();
    const secao = pagina.locator("#licencas");
    await secao.waitFor({ state: "visible", timeout: 5000 }).catch(() => {});
    if (!(await secao.isVisible())) problemas.push("the link shows no licences");
    else if ((await secao.locator("pre").textContent()) !== texto) problemas.push("the licences shown are not LICENCAS.txt's");
  }
  verificar(`${quem}: the licences`, problemas);
}

// ---------------------------------------------------------------------------
// The manifest and its icons, as the page links them; then Chromium's own
// verdict on whether the page can be installed.
async function manifesto(contexto, pagina) {
  const problemas = [];
  const endereco = await pagina.$eval('link[rel="manifest"]', (l) => l.href).catch(() => null);
  if (!endereco) {
    verificar("the manifest", ["the page links no manifest"]);
    return;
  }
  const resposta = await pagina.request.get(endereco);
  igual(problemas, "the manifest's type", resposta.headers()["content-type"], "application/manifest+json");
  let m = {};
  try {
    m = JSON.parse(await resposta.text());
  } catch (e) {
    problemas.push(`the manifest is no JSON: ${e.message}`);
  }
  const { icons, ...campos } = m;
  igual(problemas, "the manifest's fields", campos, {
    name: "zova — jogo de palavras",
    short_name: "zova",
    description: await pagina.$eval('meta[name="description"]', (d) => d.content),
    lang: "pt-BR",
    dir: "ltr",
    id: "./",
    start_url: "./",
    scope: "./",
    display: "standalone",
    background_color: "#000000",
    theme_color: "#000000",
  });
  if (!Array.isArray(icons) || JSON.stringify(icons[0]) !== JSON.stringify({ src: "zova.svg", sizes: "any", type: "image/svg+xml" }))
    problemas.push(`the first icon is not the SVG: ${JSON.stringify(icons)}`);
  // Each PNG is as large as the manifest says: a PNG's width and height are
  // at bytes 16 and 20.
  for (const icone of icons || []) {
    const r = await pagina.request.get(new URL(icone.src, endereco).href);
    const corpo = r.ok() ? await r.body() : Buffer.alloc(0);
    if (!r.ok() || r.headers()["content-type"] !== icone.type) problemas.push(`icon ${icone.src} does not load as ${icone.type}`);
    else if (icone.type === "image/png") {
      const tamanho = `${corpo.readUInt32BE(16)}x${corpo.readUInt32BE(20)}`;
      if (tamanho !== icone.sizes) problemas.push(`icon ${icone.src} is ${tamanho}, the manifest says ${icone.sizes}`);
    }
  }
  const cdp = await contexto.newCDPSession(pagina);
  const { installabilityErrors: erros } = await cdp.send("Page.getInstallabilityErrors");
  if (erros.length > 0) problemas.push(`Chromium would not install it: ${JSON.stringify(erros)}`);
  await cdp.detach();
  verificar("the manifest, and Chromium would install the page", problemas);
}

// After one visit, the page plays with no network at all: every file it
// asks for comes from the service worker.
async function semRede(contexto, pagina) {
  const problemas = [];
  try {
    await controlada(pagina);
  } catch (e) {
    verificar("offline after a first visit", ["no service worker controls the page after its first visit"]);
    return;
  }
  const pedidos = [];
  const ouvir = (resposta) => pedidos.push(resposta);
  const falhos = [];
  const falhou = (pedido) => falhos.push(pedido.url());
  pagina.on("response", ouvir);
  pagina.on("requestfailed", falhou);
  await contexto.setOffline(true);
  try {
    await pagina.reload();
    await telaMostra(pagina, TITULO);
    await pagina.keyboard.type("2");
    await pagina.keyboard.press("Enter");
    await telaMostra(pagina, "Nome do jogador 1:");
  } catch (e) {
    problemas.push(`offline, the page does not play: ${e.message.split("\n")[0]}`);
  }
  await contexto.setOffline(false);
  pagina.off("response", ouvir);
  pagina.off("requestfailed", falhou);
  const daRede = pedidos.filter((r) => !r.fromServiceWorker()).map((r) => r.url());
  if (daRede.length > 0) problemas.push(`not from the service worker: ${daRede.join(", ")}`);
  if (falhos.length > 0) problemas.push(`failed: ${falhos.join(", ")}`);
  if (!pedidos.some((r) => r.url().endsWith("/zova.wasm"))) problemas.push("the game's wasm was not asked for");
  verificar("offline after a first visit", problemas);
}

// A new build (a file changed, the service worker written again as the
// build writes it) replaces what the last one kept: one cache, of the new
// version, and the new file served.
async function novaVersao(contexto) {
  const problemas = [];
  const copia = fs.mkdtempSync(path.join(os.tmpdir(), "zova-site-"));
  for (const nome of fs.readdirSync(site)) fs.copyFileSync(path.join(site, nome), path.join(copia, nome));
  const servidor = await servir(copia);
  const pagina = await contexto.newPage();
  try {
    await pagina.goto(`http://127.0.0.1:${servidor.address().port}/`);
    await telaMostra(pagina, TITULO);
    await controlada(pagina);
    const guardados = () => pagina.evaluate(() => caches.keys());
    const antes = await guardados();
    const MARCA = "/* outra versão */";
    fs.appendFileSync(path.join(copia, "pagina.css"), `${MARCA}\n`);
    versionar(copia);
    await pagina.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    let depois = antes;
    for (let i = 0; i < 100 && (depois.length !== 1 || depois[0] === antes[0]); i++) {
      await pagina.waitForTimeout(100);
      depois = await guardados();
    }
    if (antes.length !== 1 || depois.length !== 1 || depois[0] === antes[0])
      problemas.push(`caches before the new build ${JSON.stringify(antes)}, after ${JSON.stringify(depois)}`);
    // The server no longer matters: what is served now is what was kept.
    servidor.close();
    await contexto.setOffline(true);
    await pagina.reload();
    await telaMostra(pagina, TITULO);
    const css = await pagina.evaluate(() => fetch("pagina.css").then((r) => r.text()));
    if (!css.includes(MARCA)) problemas.push("the new build's pagina.css is not served");
  } catch (e) {
    problemas.push(e.message.split("\n")[0]);
  } finally {
    await contexto.setOffline(false);
    servidor.close();
    await pagina.close();
    fs.rmSync(copia, { recursive: true, force: true });
  }
  verificar("a new build replaces the kept files", problemas);
}

function vigiarErros(pagina, nome) {
  pagina.on("pageerror", (e) => falhar(`${nome}: page error: ${e.message}`));
  pagina.on("console", (m) => {
    if (m.type() === "error") falhar(`${nome}: console error: ${m.text()}`);
  });
}

(async () => {
  const servidor = await servir(site);
  const perfil = fs.mkdtempSync(path.join(os.tmpdir(), "zova-perfil-"));
  const contexto = await chromium.launchPersistentContext(perfil, { executablePath: CHROMIUM,
    args: ["--no-sandbox", "--disable-dev-shm-usage"] });
  try {
    const pagina = await contexto.newPage();
    vigiarErros(pagina, "site");
    await pagina.goto(`http://127.0.0.1:${servidor.address().port}/`);
    await telaMostra(pagina, TITULO);
    await identidade(pagina, "site", "arquivo");
    await politica(pagina, "site", "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; " +
      "style-src 'self' 'unsafe-inline'; img-src 'self'; connect-src 'self'; manifest-src 'self'; " +
      "worker-src 'self'; base-uri 'none'; form-action 'none'");
    await licencas(pagina, "site");
    await manifesto(contexto, pagina);
    await semRede(contexto, pagina);
    await pagina.close();

    const arquivo = await contexto.newPage();
    vigiarErros(arquivo, "zova.html");
    await arquivo.goto(url.pathToFileURL(unico).href);
    await telaMostra(arquivo, TITULO);
    await identidade(arquivo, "zova.html", "dentro");
    await politica(arquivo, "zova.html", "default-src 'none'; script-src HASHES 'wasm-unsafe-eval'; " +
      "style-src 'unsafe-inline'; img-src data:; connect-src data:; base-uri 'none'; form-action 'none'");
    await licencas(arquivo, "zova.html");
    await arquivo.close();

    await novaVersao(contexto);
  } catch (e) {
    falhar(e.stack || String(e));
  } finally {
    await contexto.close();
    servidor.close();
    fs.rmSync(perfil, { recursive: true, force: true });
  }
  console.log(`pagina_instalavel: ${verificados - falhas} passed, ${falhas} failed`);
  process.exit(falhas > 0 ? 1 : 0);
})();
