// Puts the browser edition together from the game's module and the
// terminal widget's files:
//   site/      a folder to host anywhere static: index.html, the module,
//              the widget and its addons, the game's own addon and the
//              room's (the page a room serves), the page's scripts and
//              style, its icons and app manifest, its service worker
//              (offline play), and LICENCAS.txt
//   zova.html  the same page in one file, the module's wasm inside it, that
//              plays opened from the disk
//   node montar.cjs WEB NODE_MODULES LICENSE MODULE.js MODULE.wasm SINGLE.js OUT
//                   EMSCRIPTEN_NOTICE MUSL_NOTICE ICON.svg [ICON-<size>.png ...]
// EMSCRIPTEN_NOTICE is Emscripten's LICENSE, or Debian's copyright file of
// its package; the PNG icons are the SVG drawn at each size, where the
// build had a tool to draw it.
"use strict";
const fs = require("fs");
const path = require("path");
const crypto = require("crypto");
const { versionar } = require(path.join(__dirname, "versionar.cjs"));

const [web, modulos, licenca, modulo, wasm, unico, saida, avisoEmscripten, avisoMusl, icone, ...icones] =
  process.argv.slice(2);
if (!icone) {
  console.error("usage: node montar.cjs WEB NODE_MODULES LICENSE MODULE.js MODULE.wasm SINGLE.js OUT " +
    "EMSCRIPTEN_NOTICE MUSL_NOTICE ICON.svg [ICON-<size>.png ...]");
  process.exit(2);
}

const ler = (arquivo) => fs.readFileSync(arquivo, "utf8");
// Source maps are not shipped: their comments would point at nothing.
const semMapa = (js) => js.replace(/\n?\/\/# sourceMappingURL=\S*\s*$/, "\n");
// The page's own scripts go out without the lines that are only comments:
// they are for whoever reads the sources, and would be most of what the
// game's addon weighs.
const semComentarios = (js) => js.split("\n").filter((linha) => !/^\s*\/\//.test(linha)).join("\n");

// Every file of the page, by the name the page gives it.
const arquivos = {
  "xterm.js": semMapa(ler(path.join(modulos, "@xterm/xterm/lib/xterm.js"))),
  "xterm.css": ler(path.join(modulos, "@xterm/xterm/css/xterm.css")),
  "addon-fit.js": semMapa(ler(path.join(modulos, "@xterm/addon-fit/lib/addon-fit.js"))),
  "larguras_jogo.js": semComentarios(require(path.join(web, "tabela_larguras.cjs"))(web)),
  "zova.js": ler(modulo),
  "ligacao_jogo.js": semComentarios(ler(path.join(web, "ligacao_jogo.js"))),
  "ligacao_sala.js": semComentarios(ler(path.join(web, "ligacao_sala.js"))),
  "pagina.js": semComentarios(ler(path.join(web, "pagina.js"))),
  "pagina.css": ler(path.join(web, "pagina.css")),
  "inicio.js": semComentarios(ler(path.join(web, "inicio.js"))),
};

// Emscripten's notice as its own LICENSE file words it or, from Debian's
// package, which has no such file, as its copyright file does (the
// machine-readable format): the paragraph of Emscripten's own files, with
// the texts of the licences it names.
function avisoDoEmscripten(arquivo) {
  const texto = ler(arquivo);
  if (!texto.startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/")) return texto;
  const paragrafos = texto.split(/\n\s*\n/).map((bloco) => {
    const campos = {};
    let campo = null;
    for (const linha of bloco.split("\n")) {
      const inicio = /^([A-Za-z-]+):\s*(.*)$/.exec(linha);
      if (inicio && !linha.startsWith(" ")) {
        campo = inicio[1];
        campos[campo] = inicio[2];
      } else if (campo) campos[campo] += `\n${linha.replace(/^ \.?$/, "").replace(/^ /, "")}`;
    }
    return campos;
  });
  const proprios = paragrafos.find((p) => p.Files !== undefined && p.Files.trim() === "*");
  if (!proprios || !proprios.License) throw new Error(`${arquivo}: no paragraph for Emscripten's own files`);
  const nomes = proprios.License.split("\n")[0].split(/\s+or\s+/);
  const textos = nomes.map((nome) => {
    const completo = paragrafos.find((p) => p.Files === undefined && p.License !== undefined &&
      p.License.split("\n")[0] === nome && p.License.includes("\n"));
    if (!completo) throw new Error(`${arquivo}: no text for the licence ${nome}`);
    return `License ${nome}:\n${completo.License.slice(completo.License.indexOf("\n") + 1).trim()}`;
  });
  return [`As the copyright file of Debian's emscripten package (${arquivo}) gives it for Emscripten's own files:`,
    `Copyright: ${proprios.Copyright.trim()}`, (proprios["License-Grant"] || "").trim(),
    `License: ${proprios.License.split("\n")[0]}`, ...textos]
    .filter((parte) => parte !== "")
    .join("\n\n");
}

const licencas = [
  ["zova", ler(licenca)],
  ["xterm.js (@xterm/xterm)", ler(path.join(modulos, "@xterm/xterm/LICENSE"))],
  ["xterm.js's fit addon (@xterm/addon-fit)", ler(path.join(modulos, "@xterm/addon-fit/LICENSE"))],
  ["Emscripten (zova.js is its runtime's glue; its runtime and system libraries are compiled into zova.wasm)",
    avisoDoEmscripten(avisoEmscripten)],
  ["musl (the C library compiled into zova.wasm, as Emscripten ships it)", ler(avisoMusl)],
]
  .map(([nome, texto]) => `${nome}\n${"=".repeat(nome.length)}\n\n${texto.trim()}\n`)
  .join("\n");

const pagina = ler(path.join(web, "index.html"));

// The icons: the SVG, which any size draws from, and the PNGs the build drew
// from it, for whatever takes no SVG.
const svg = fs.readFileSync(icone);
const pngs = icones.map((arquivo) => {
  const tamanho = /-(\d+)\.png$/.exec(arquivo);
  if (!tamanho) throw new Error(`${arquivo}: an icon is named <name>-<size>.png`);
  return { arquivo, nome: path.basename(arquivo), tamanho: tamanho[1] };
});

// What an installed page is called and how it looks, as the page's head
// says it.
const meta = (nome) => {
  const achado = new RegExp(`<meta name="${nome}" content="([^"]*)">`).exec(pagina);
  if (!achado) throw new Error(`index.html has no <meta name="${nome}">`);
  return achado[1];
};
const manifesto = {
  name: /<title>([^<]*)<\/title>/.exec(pagina)[1],
  short_name: "zova",
  description: meta("description"),
  lang: "pt-BR",
  dir: "ltr",
  id: "./",
  start_url: "./",
  scope: "./",
  display: "standalone",
  background_color: "#000000",
  theme_color: meta("theme-color"),
  icons: [
    { src: "zova.svg", sizes: "any", type: "image/svg+xml" },
    ...pngs.map((png) => ({ src: png.nome, sizes: `${png.tamanho}x${png.tamanho}`, type: "image/png" })),
  ],
};

// The folder, made anew: whatever an earlier build left there would be
// served, and kept by the service worker.
const site = path.join(saida, "site");
fs.rmSync(site, { recursive: true, force: true });
fs.mkdirSync(site, { recursive: true });
for (const [nome, texto] of Object.entries(arquivos)) fs.writeFileSync(path.join(site, nome), texto);
fs.copyFileSync(wasm, path.join(site, "zova.wasm"));
fs.writeFileSync(path.join(site, "LICENCAS.txt"), licencas);
fs.writeFileSync(path.join(site, "zova.svg"), svg);
for (const png of pngs) fs.copyFileSync(png.arquivo, path.join(site, png.nome));
fs.writeFileSync(path.join(site, "zova.webmanifest"), `${JSON.stringify(manifesto, null, 2)}\n`);
// Each script of the body is preloaded: without it, Chromium asks for each
// only once the one before it has run. The widget's, which the page waits
// for longest, from the end of the head, after what the head itself loads;
// the page's small ones only from just after the body's first script, so
// that they are asked for once that has run: asked for at once with the
// widget's, they share the connections and the machine with it, and it
// comes tens of milliseconds later.
const doCorpo = [...pagina.slice(pagina.indexOf("<body>")).matchAll(/<script src="([^"]+)"><\/script>/g)]
  .map(([, nome]) => nome);
const DO_WIDGET = "xterm.js";
if (!doCorpo.includes(DO_WIDGET) || doCorpo[0] === DO_WIDGET) throw new Error(`index.html: a script before ${DO_WIDGET}`);
const preCarga = (nomes) => nomes.map((nome) => `<link rel="preload" href="${nome}" as="script">\n`).join("");
const primeiro = `<script src="${doCorpo[0]}"></script>\n`;
fs.writeFileSync(path.join(site, "index.html"), pagina
  .replace("</head>", `${preCarga([DO_WIDGET])}</head>`)
  .replace(primeiro, `${primeiro}${preCarga(doCorpo.slice(1).filter((nome) => nome !== DO_WIDGET))}`));
// Last, once every other file is there.
versionar(site);

// The single file: every script and style sheet inline, the module with its
// wasm inside. Nothing is loaded from anywhere, so the policy allows no
// source at all but these very scripts, by their hashes. Opened from the
// disk, it has no service worker nor manifest (a file:// page can have
// neither), nor the script that serves them and fetches the wasm, nor the
// link to a room (a room serves its own page); its icon is inside it, and
// so are the licences, shown by its "Licenças" link.
arquivos["zova.js"] = ler(unico);
const hashes = [];
const fechaScript = /<\/script/i;
const html = (texto) => texto.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
let unica = pagina
  .replace(/<link rel="preload"[^>]*>\n/g, "")
  .replace(/<link rel="manifest"[^>]*>\n/, "")
  .replace(/<script src="inicio.js"><\/script>\n/, "")
  .replace(/href="zova.svg"/g, `href="data:image/svg+xml;base64,${svg.toString("base64")}"`)
  // The licences' link shows them in this very page, never in another tab
  // (which would start another game).
  .replace(/<a\b[^>]*\bhref="LICENCAS.txt"[^>]*>/g, (marca) =>
    marca.replace(/\s(target|rel)="[^"]*"/g, "").replace('href="LICENCAS.txt"', 'href="#licencas"'))
  .replace(/href="LICENCAS.txt"/g, 'href="#licencas"')
  .replace(/<link rel="stylesheet" href="([^"]+)">/g, (_, nome) => {
    const css = arquivos[nome];
    if (css === undefined) throw new Error(`no file for style sheet ${nome}`);
    return `<style>${css}</style>`;
  });
// No file of the folder is referred to any more (it is not beside this
// one), but by the scripts put in below.
const fora = /<(?!script)[a-z]+\b[^>]*\b(src|href)="(?!data:|#|https?:)[^"]*"/.exec(unica);
if (fora) throw new Error(`zova.html refers to a file of the folder: ${fora[0]}`);
unica = unica
  .replace(/<script src="([^"]+)"><\/script>/g, (_, nome) => {
    const js = arquivos[nome];
    if (js === undefined) throw new Error(`no file for script ${nome}`);
    if (fechaScript.test(js) || js.includes("<!--")) throw new Error(`${nome} cannot be inlined as it is`);
    hashes.push(`'sha256-${crypto.createHash("sha256").update(js).digest("base64")}'`);
    return `<script>${js}</script>`;
  });
const politica =
  "default-src 'none'; script-src " +
  hashes.join(" ") +
  " 'wasm-unsafe-eval'; style-src 'unsafe-inline'; img-src data:; connect-src data:; base-uri 'none'; form-action 'none'";
unica = unica.replace(/(http-equiv="Content-Security-Policy" content=")[^"]*"/, (_, inicio) => `${inicio}${politica}"`);
// The licences over the whole window while the address ends in #licencas.
const estiloLicencas = "<style>#licencas:not(:target){display:none}" +
  "#licencas{position:fixed;inset:0;z-index:10;overflow:auto;margin:0;padding:1em;background:#000;color:#c0c0c0}" +
  "#licencas pre{white-space:pre-wrap}#licencas a{color:#6be3ff}</style>\n";
unica = unica.replace("</head>", `${estiloLicencas}</head>`);
unica = unica.replace("</body>", `<section id="licencas" aria-label="Licenças">\n<p><a href="#">Voltar ao jogo</a></p>\n` +
  `<pre>\n${html(licencas)}</pre>\n</section>\n</body>`);
const aviso = "<!--\nLicences of what this file holds: at its end, in the section \"licencas\", which the page's " +
  "\"Licenças\" link shows.\n-->\n";
unica = unica.replace("<!DOCTYPE html>\n", `<!DOCTYPE html>\n${aviso}`);
fs.writeFileSync(path.join(saida, "zova.html"), unica);
