// Writes the site's service worker (sem_rede.js) from its model in this
// folder: the list of every other file of the site, and a version that is
// a hash of their names and contents. A build that changes any file is a
// new worker, which browsers install, and whose cache replaces the last.
// montar.cjs calls it once site/ holds everything else; the browser test
// calls it again on a copy of the site that it changed, as a new build.
"use strict";
const fs = require("fs");
const path = require("path");
const crypto = require("crypto");

const TRABALHADOR = "sem_rede.js";

function versionar(site) {
  const nomes = fs.readdirSync(site).filter((nome) => nome !== TRABALHADOR).sort();
  const hash = crypto.createHash("sha256");
  for (const nome of nomes) {
    hash.update(`${nome}\0`);
    hash.update(fs.readFileSync(path.join(site, nome)));
    hash.update("\0");
  }
  const versao = hash.digest("hex").slice(0, 16);
  // The page's address itself ("./"), as a visit asks for it.
  const arquivos = ["./", ...nomes];
  const modelo = fs.readFileSync(path.join(__dirname, TRABALHADOR), "utf8");
  const texto = modelo
    .split("\n")
    .filter((linha) => !/^\s*\/\//.test(linha))
    .join("\n")
    .replace('"@VERSAO@"', JSON.stringify(versao))
    .replace('["@ARQUIVOS@"]', JSON.stringify(arquivos));
  if (!texto.includes(versao) || !texto.includes('"./"')) throw new Error(`${TRABALHADOR}: no place for the version or the files`);
  fs.writeFileSync(path.join(site, TRABALHADOR), texto);
  return versao;
}

module.exports = { versionar };
