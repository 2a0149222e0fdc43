// The hosted page's service worker: it keeps every file of the page, so
// the game plays offline after a first visit, and can be installed as an
// app. The list of files and the version, a hash of their contents, are
// written in below by montar.cjs: a new build is a new worker, whose cache
// replaces the last one's once it has every file.
"use strict";
var VERSAO = "@VERSAO@";
var ARQUIVOS = ["@ARQUIVOS@"];
var CACHE = "zova-" + VERSAO;

self.addEventListener("install", function (evento) {
  evento.waitUntil(
    caches
      .open(CACHE)
      .then(function (cache) {
        // From the server, never from the browser's HTTP cache, which may
        // still hold the last build's files under the same names.
        return cache.addAll(
          ARQUIVOS.map(function (arquivo) {
            return new Request(arquivo, { cache: "reload" });
          })
        );
      })
      .then(function () {
        return self.skipWaiting();
      })
  );
});

// The new version takes over the open pages too: each of them already has
// every file it needs, and its next load gets the new ones, all from one
// build.
self.addEventListener("activate", function (evento) {
  evento.waitUntil(
    caches
      .keys()
      .then(function (nomes) {
        return Promise.all(
          nomes
            .filter(function (nome) {
              return nome.indexOf("zova-") === 0 && nome !== CACHE;
            })
            .map(function (nome) {
              return caches.delete(nome);
            })
        );
      })
      .then(function () {
        return self.clients.claim();
      })
  );
});

// The page's files from the cache first; anything else, and whatever the
// cache lacks, from the network as usual.
self.addEventListener("fetch", function (evento) {
  if (evento.request.method !== "GET") return;
  evento.respondWith(
    caches
      .open(CACHE)
      .then(function (cache) {
        return cache.match(evento.request, { ignoreSearch: true });
      })
      .then(function (guardada) {
        return guardada || fetch(evento.request);
      })
  );
});
