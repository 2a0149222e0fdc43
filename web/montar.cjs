// Puts the browser edition together from the game's module and the
// terminal widget's files:
//   site/      a folder to host anywhere static: index.html, the module,
//              the widget and its addons, the game's own addon, the page's
//              script and style, and LICENCAS.txt
//   zova.html  the same page in one file, the module's wasm inside it, that
//              plays opened from the disk
//   node montar.cjs WEB NODE_MODULES LICENSE MODULE.js MODULE.wasm SINGLE.js OUT
"use strict";
const fs = require("fs");
const path = require("path");
const crypto = require("crypto");

const [web, modulos, licenca, modulo, wasm, unico, saida] = process.argv.slice(2);
if (!saida) {
  console.error("usage: node montar.cjs WEB NODE_MODULES LICENSE MODULE.js MODULE.wasm SINGLE.js OUT");
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
  "addon-unicode11.js": semMapa(ler(path.join(modulos, "@xterm/addon-unicode11/lib/addon-unicode11.js"))),
  "zova.js": ler(modulo),
  "ligacao_jogo.js": semComentarios(ler(path.join(web, "ligacao_jogo.js"))),
  "pagina.js": semComentarios(ler(path.join(web, "pagina.js"))),
  "pagina.css": ler(path.join(web, "pagina.css")),
};

const licencas = [
  ["zova", ler(licenca)],
  ["xterm.js (@xterm/xterm)", ler(path.join(modulos, "@xterm/xterm/LICENSE"))],
  ["xterm.js's fit addon (@xterm/addon-fit)", ler(path.join(modulos, "@xterm/addon-fit/LICENSE"))],
  ["xterm.js's Unicode 11 addon (@xterm/addon-unicode11)", ler(path.join(modulos, "@xterm/addon-unicode11/LICENSE"))],
]
  .map(([nome, texto]) => `${nome}\n${"=".repeat(nome.length)}\n\n${texto.trim()}\n`)
  .join("\n");

const pagina = ler(path.join(web, "index.html"));

// The folder.
const site = path.join(saida, "site");
fs.mkdirSync(site, { recursive: true });
for (const [nome, texto] of Object.entries(arquivos)) fs.writeFileSync(path.join(site, nome), texto);
fs.copyFileSync(wasm, path.join(site, "zova.wasm"));
fs.writeFileSync(path.join(site, "LICENCAS.txt"), licencas);
fs.writeFileSync(path.join(site, "index.html"), pagina);

// The single file: every script and style sheet inline, the module with its
// wasm inside. Nothing is loaded from anywhere, so the policy allows no
// source at all but these very scripts, by their hashes.
arquivos["zova.js"] = ler(unico);
const hashes = [];
const fechaScript = /<\/script/i;
let unica = pagina
  .replace(/<link rel="preload"[^>]*>\n/g, "")
  .replace(/<script src="([^"]+)"><\/script>/g, (_, nome) => {
    const js = arquivos[nome];
    if (js === undefined) throw new Error(`no file for script ${nome}`);
    if (fechaScript.test(js) || js.includes("<!--")) throw new Error(`${nome} cannot be inlined as it is`);
    hashes.push(`'sha256-${crypto.createHash("sha256").update(js).digest("base64")}'`);
    return `<script>${js}</script>`;
  })
  .replace(/<link rel="stylesheet" href="([^"]+)">/g, (_, nome) => {
    const css = arquivos[nome];
    if (css === undefined) throw new Error(`no file for style sheet ${nome}`);
    return `<style>${css}</style>`;
  });
const politica =
  "default-src 'none'; script-src " +
  hashes.join(" ") +
  " 'wasm-unsafe-eval'; style-src 'unsafe-inline'; img-src data:; connect-src data:; base-uri 'none'; form-action 'none'";
unica = unica.replace(/(http-equiv="Content-Security-Policy" content=")[^"]*"/, (_, inicio) => `${inicio}${politica}"`);
const aviso = `<!--\nLicences of what this file holds:\n\n${licencas.replace(/--/g, "- -")}-->\n`;
unica = unica.replace("<!DOCTYPE html>\n", `<!DOCTYPE html>\n${aviso}`);
fs.writeFileSync(path.join(saida, "zova.html"), unica);
