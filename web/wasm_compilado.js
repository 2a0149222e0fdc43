// Put at the start of the game's module (--pre-js). Where the page began
// compiling the wasm before this module was even evaluated (inicio.js), the
// module is instantiated from that compilation instead of fetching the file
// itself: at once, when the page's script that creates the game is done,
// so the game's first screen is written before the widget's first frame.
if (typeof zovaCompilado === "object" && zovaCompilado) {
  Module["instantiateWasm"] = function (importacoes, receber) {
    zovaCompilado
      .then(function (modulo) {
        receber(new WebAssembly.Instance(modulo, importacoes), modulo);
      })
      .catch(function (erro) {
        // abort rejects the promise the page got from the module, and the
        // page says the game did not load; what abort throws then has
        // nobody else to go to.
        try {
          abort(erro);
        } catch (e) {}
      });
    // The module waits for receber.
    return {};
  };
}
