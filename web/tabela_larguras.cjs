// The page's copy of the game's column counts: larguras_jogo.js with the
// runs of console/grafemas_tabela.h in it, so the widget and the game read
// the same table and a new Unicode version reaches both with one build.
//   require("tabela_larguras.cjs")(WEB) -> the text of larguras_jogo.js
"use strict";
const fs = require("fs");
const path = require("path");

// Each entry of the table: its first code point above bit 8; the columns in
// bits 5 and 6 and Extended_Pictographic in bit 4 below it. Entries that
// differ only in what the widget does not need are one run here.
function corridas(cabecalho) {
  const corpo = cabecalho.slice(cabecalho.indexOf("TABELA_GRAFEMAS[] = {"));
  const entradas = [...corpo.slice(0, corpo.indexOf("};")).matchAll(/0x([0-9A-Fa-f]{8})/g)].map((m) => parseInt(m[1], 16));
  if (entradas.length === 0 || entradas[0] >>> 8 !== 0) throw new Error("grafemas_tabela.h: no table found");
  const runs = [];
  let ultimo = -1;
  let antes = 0;
  for (const entrada of entradas) {
    const codigo = entrada >>> 8;
    const valor = ((entrada >> 5) & 3) | (entrada & 0x10 ? 4 : 0);
    if (valor === ultimo) continue;
    runs.push((codigo - antes).toString(36) + valor);
    antes = codigo;
    ultimo = valor;
  }
  return runs.join(",");
}

module.exports = (web) => {
  const tabela = fs.readFileSync(path.join(web, "..", "console", "grafemas_tabela.h"), "utf8");
  const addon = fs.readFileSync(path.join(web, "larguras_jogo.js"), "utf8");
  const lugar = "})(CORRIDAS_DO_JOGO);";
  if (addon.split(lugar).length !== 2) throw new Error(`larguras_jogo.js: no single ${lugar} to fill in`);
  return addon.replace(lugar, () => `})(${JSON.stringify(corridas(tabela))});`);
};
