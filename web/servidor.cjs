// A static server on loopback for the page's folder, as any static host
// would serve it; for the browser tests and the benchmark.
"use strict";
const http = require("http");
const fs = require("fs");
const path = require("path");

const TIPOS = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css",
  ".wasm": "application/wasm", ".txt": "text/plain; charset=utf-8", ".svg": "image/svg+xml", ".png": "image/png",
  ".webmanifest": "application/manifest+json" };

// Resolves to the listening server; its address is http://127.0.0.1:<port>/.
function servir(pasta) {
  const servidor = http.createServer((pedido, resposta) => {
    const nome = pedido.url === "/" ? "index.html" : path.basename(pedido.url);
    fs.readFile(path.join(pasta, nome), (erro, dados) => {
      if (erro) {
        resposta.writeHead(404);
        resposta.end();
        return;
      }
      resposta.writeHead(200, { "Content-Type": TIPOS[path.extname(nome)] || "application/octet-stream" });
      resposta.end(dados);
    });
  });
  return new Promise((pronto) => servidor.listen(0, "127.0.0.1", () => pronto(servidor)));
}

module.exports = { servir };
