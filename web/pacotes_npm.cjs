// Installs a package.json's dependencies, at the versions and hashes its
// package-lock.json pins, into a folder of the build, with npm ci and
// without any development dependency; where that folder already holds
// exactly what the lockfile pins, as npm last recorded it, nothing is
// run: a rebuild, or a lockfile only touched, needs no network. Then it
// writes the build's record that the step is done (DESTINATION/instalados),
// a file of its own: the build system may delete that record when this
// step's command changes, and npm's own record must outlive it.
//   node pacotes_npm.cjs NPM SOURCE_FOLDER DESTINATION
"use strict";
const fs = require("fs");
const path = require("path");
const { execFileSync } = require("child_process");

const [npm, origem, destino] = process.argv.slice(2);
if (!destino) {
  console.error("usage: node pacotes_npm.cjs NPM SOURCE_FOLDER DESTINATION");
  process.exit(2);
}

const lerJson = (arquivo) => JSON.parse(fs.readFileSync(arquivo, "utf8"));
const trava = lerJson(path.join(origem, "package-lock.json"));
// What npm wrote of the last install (node_modules/.package-lock.json).
const instalado = path.join(destino, "node_modules", ".package-lock.json");

function jaInstalado() {
  let feitos;
  try {
    feitos = lerJson(instalado).packages || {};
  } catch (e) {
    return false;
  }
  const pedidos = Object.entries(trava.packages || {}).filter(([nome, p]) => nome !== "" && !p.dev);
  if (pedidos.length !== Object.keys(feitos).length) return false;
  return pedidos.every(([nome, p]) => feitos[nome] && feitos[nome].version === p.version &&
    feitos[nome].integrity === p.integrity && fs.existsSync(path.join(destino, nome, "package.json")));
}

fs.mkdirSync(destino, { recursive: true });
for (const nome of ["package.json", "package-lock.json"]) fs.copyFileSync(path.join(origem, nome), path.join(destino, nome));
if (!jaInstalado())
  execFileSync(npm, ["ci", "--omit=dev", "--prefix", destino, "--no-audit", "--no-fund", "--ignore-scripts", "--loglevel=error"],
    { stdio: "inherit", shell: process.platform === "win32" });
fs.writeFileSync(path.join(destino, "instalados"), `${path.join(origem, "package-lock.json")}\n`);
