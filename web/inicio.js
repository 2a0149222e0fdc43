// The first script of the hosted page, before the widget's: the game's wasm
// starts compiling now, while the browser is still busy with the widget's
// script, and the service worker that keeps the page for offline play is
// registered once the page has loaded; on a room's link, the room's script
// is asked for instead. It is the first of the body's, not in the head:
// there it would hold up the parser, and Chromium would ask for the
// widget's script only once this one had come and run, tens of
// milliseconds later. The wasm is asked for here and not by a preload in
// the head, which would fetch it for a room's link too: the widget is then
// a terminal of the room (pagina.js), which needs neither the game's wasm
// nor offline play. zova.html, opened from the disk, goes without this
// script: its wasm is inside the game's module, and a file:// page can
// have no service worker.
(function () {
  "use strict";
  if (!/^https?:$/.test(location.protocol)) return;
  // A room's link: the page's address, # and the room's token. pagina.js
  // asks for the room's script (ligacao_sala.js) only once the widget's has
  // come and run; preloaded from here, it comes alongside the widget's, and
  // a game's visit never fetches it.
  if (/^#[0-9a-f]{32}$/.test(location.hash)) {
    var ligacaoSala = document.createElement("link");
    ligacaoSala.rel = "preload";
    ligacaoSala.as = "script";
    ligacaoSala.href = "ligacao_sala.js";
    document.head.appendChild(ligacaoSala);
    return;
  }

  // The game's module (zova.js) instantiates the wasm from this promise
  // when it finds it. A host that serves the file with another type than
  // application/wasm defeats streaming compilation: the same bytes are then
  // compiled whole.
  if (typeof WebAssembly === "object" && typeof WebAssembly.compileStreaming === "function") {
    var compilado = fetch("zova.wasm", { credentials: "same-origin" }).then(function (resposta) {
      if (!resposta.ok) throw new Error("zova.wasm: HTTP " + resposta.status);
      return WebAssembly.compileStreaming(resposta.clone()).catch(function () {
        return resposta.arrayBuffer().then(function (bytes) {
          return WebAssembly.compile(bytes);
        });
      });
    });
    // Whoever never uses it (a browser the page turns away) leaves no
    // unhandled rejection behind; the module sees the failure itself.
    compilado.catch(function () {});
    window.zovaCompilado = compilado;
  }

  // Only a secure context may have a service worker (https, or the
  // machine's own loopback). It is registered once the page has loaded and
  // the browser is idle, so installing it, which fetches the page's files
  // again, does not compete with the game's first screen.
  if (!window.isSecureContext || !("serviceWorker" in navigator)) return;
  window.addEventListener("load", function () {
    var registrar = function () {
      navigator.serviceWorker.register("sem_rede.js").catch(function (erro) {
        console.warn("zova: sem jogo offline:", erro);
      });
    };
    if (typeof requestIdleCallback === "function") requestIdleCallback(registrar, { timeout: 2000 });
    else setTimeout(registrar, 0);
  });
})();
