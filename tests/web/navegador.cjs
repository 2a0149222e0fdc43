// The browser edition in a real browser (Chromium, headless), against the
// native game in a real terminal emulator (tmux) given the same keys: the
// screens must read the same, letter drawn aside.
//   node navegador.cjs NATIVE_GAME SITE_FOLDER ZOVA_HTML
// Needs playwright-core (NODE_PATH) and Chromium at /usr/bin/chromium.
"use strict";
const { chromium } = require("playwright-core");
const { execFileSync } = require("child_process");
const path = require("path");
const url = require("url");
const { servir } = require(path.join(__dirname, "../../web/servidor.cjs"));

const [nativo, site, unico] = process.argv.slice(2);
const CHROMIUM = process.env.ZOVA_CHROMIUM || "/usr/bin/chromium";
let falhas = 0;
let verificados = 0;

function falhar(msg) {
  falhas++;
  console.log(`FAILED: ${msg}`);
}

// ---------------------------------------------------------------------------
// Both screens, as text. The letter is drawn at random on each side.
function normalizar(linhas) {
  const saida = linhas.map((l) =>
    l.replace(/\u00a0/g, " ").trimEnd()
      .replace(/(A letra sorteada foi: )[A-Z]/, "$1?")
      .replace(/(LETRA: )[A-Z]( \|)/, "$1?$2")
      .replace(/(\(Letra: )[A-Z]\)/, "$1?)"));
  while (saida.length > 0 && saida[saida.length - 1] === "") saida.pop();
  return saida;
}

const sessao = `zova-web-${process.pid}`;
function tmux(...args) {
  return execFileSync("tmux", ["-L", sessao, "-f", "/dev/null", ...args], {
    encoding: "utf8", env: { ...process.env, LC_ALL: "C.UTF-8" } });
}
const telaNativa = () => normalizar(tmux("capture-pane", "-p", "-t", sessao).split("\n"));

async function telaWeb(pagina) {
  return normalizar(await pagina.$$eval(".xterm-rows > div", (linhas) => linhas.map((l) => l.textContent)));
}

const dormir = (ms) => new Promise((r) => setTimeout(r, ms));

// Waits until the screen shows the text and has stopped changing.
async function estavel(ler, texto, nome) {
  let antes = null;
  for (let i = 0; i < 100; i++) {
    const tela = await ler();
    const junta = tela.join("\n");
    if (junta.includes(texto) && antes === junta) return tela;
    antes = junta;
    await dormir(100);
  }
  falhar(`${nome}: waited for "${texto}", the screen shows:\n${(await ler()).join("\n")}`);
  return null;
}

// The same keys to both: text, or a named key.
const TECLAS_PLAYWRIGHT = { Enter: "Enter", Left: "ArrowLeft", Up: "ArrowUp", Down: "ArrowDown", Home: "Home", End: "End" };
async function teclar(pagina, ...teclas) {
  for (const t of teclas) {
    if (TECLAS_PLAYWRIGHT[t]) {
      await pagina.keyboard.press(TECLAS_PLAYWRIGHT[t]);
      tmux("send-keys", "-t", sessao, t);
    } else {
      await pagina.keyboard.type(t);
      tmux("send-keys", "-t", sessao, "-l", t);
    }
  }
}

// Both screens once they show the text: the same lines, returned (null
// when either never showed it or they differ).
async function comparar(pagina, texto, passo) {
  const web = await estavel(() => telaWeb(pagina), texto, `${passo} (browser)`);
  const nat = await estavel(async () => telaNativa(), texto, `${passo} (native)`);
  if (!web || !nat) return null;
  verificados++;
  if (web.join("\n") === nat.join("\n")) return web;
  falhar(`${passo}: the screens differ\n--- browser\n${web.join("\n")}\n--- native\n${nat.join("\n")}`);
  return null;
}

// A results screen takes no key for a moment after it appears, so a hasty
// Enter does not skip it: players read it before they press Enter.
const LEITURA_MS = 800;

// The colours the page shows the text of a row in.
async function coresDaLinha(pagina, texto) {
  return pagina.$$eval(".xterm-rows > div", (linhas, t) => {
    const linha = linhas.find((l) => l.textContent.replace(/\u00a0/g, " ").includes(t));
    if (!linha) return null;
    const trecho = [...linha.querySelectorAll("span")].find((s) => s.textContent.trim() !== "") || linha;
    const fundo = getComputedStyle(document.querySelector(".xterm-viewport")).backgroundColor;
    return { texto: getComputedStyle(trecho).color, fundo };
  }, texto);
}

async function verificarCor(pagina, texto, esperado, quem) {
  const cores = await coresDaLinha(pagina, texto);
  verificados++;
  if (!cores || cores.texto !== esperado || cores.fundo !== "rgb(0, 0, 0)")
    falhar(`${quem}'s sheet: expected ${esperado} on black, got ${JSON.stringify(cores)}`);
}

function vigiarErros(pagina, nome) {
  pagina.on("pageerror", (e) => falhar(`${nome}: page error: ${e.message}`));
  pagina.on("console", (m) => {
    if (m.type() === "error") falhar(`${nome}: console error: ${m.text()}`);
  });
}

// The page keeps its widget to itself: the widget's class is wrapped, as
// the page loads, to reach its buffer (terminalDoTeste) and to count the
// listeners registered on it and not yet disposed of (ouvintesDoTeste).
async function envolverTerminal(pagina) {
  await pagina.addInitScript(() => {
    const vivos = { onData: 0, onBinary: 0, onResize: 0 };
    globalThis.ouvintesDoTeste = vivos;
    let Classe;
    Object.defineProperty(globalThis, "Terminal", {
      configurable: true,
      get: () => Classe,
      set: (c) => {
        Classe = class extends c {
          constructor(...args) {
            super(...args);
            globalThis.terminalDoTeste = this;
          }
        };
        for (const nome of Object.keys(vivos)) {
          const evento = Object.getOwnPropertyDescriptor(c.prototype, nome).get;
          Object.defineProperty(Classe.prototype, nome, {
            get() {
              const registrar = evento.call(this);
              return (ouvinte) => {
                const registro = registrar(ouvinte);
                let vivo = true;
                vivos[nome]++;
                return {
                  dispose() {
                    if (vivo) vivos[nome]--;
                    vivo = false;
                    registro.dispose();
                  },
                };
              };
            },
          });
        }
      },
    });
  });
}

// ---------------------------------------------------------------------------
// A whole match, side by side.
async function partidaLadoALado(navegador, endereco) {
  const pagina = await navegador.newPage({ viewport: { width: 900, height: 820 } });
  vigiarErros(pagina, "site");
  await pagina.goto(endereco);
  await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "title");
  const tamanho = await pagina.$eval("#terminal", (e) => [Number(e.dataset.colunas), Number(e.dataset.linhas)]);
  tmux("new-session", "-d", "-s", sessao, "-x", String(tamanho[0]), "-y", String(tamanho[1]),
    `${nativo}; sleep 600`);

  await comparar(pagina, "Quantidade de jogadores (2 a 5):", "title");
  await teclar(pagina, "2", "Enter");
  await comparar(pagina, "Nome do jogador 1:", "registration");
  await teclar(pagina, "Ana", "Enter", "Bia", "Enter");
  await comparar(pagina, "A letra sorteada foi", "round 1");
  // Typed during the letter's pause: these belong to no sheet.
  await teclar(pagina, "f", "f");
  await comparar(pagina, "JOGADOR: Ana", "Ana's sheet");
  await dormir(400);
  if (!(await telaWeb(pagina)).join("\n").includes("JOGADOR: Ana")) falhar("keys typed during the pause reached the sheet");
  verificados++;
  await verificarCor(pagina, "JOGADOR: Ana", "rgb(255, 0, 255)", "Ana");

  // An accented answer edited with the arrows, and the sheet's arrows.
  await teclar(pagina, "d", "Jo", "o", "Left", "ã", "Enter");
  await comparar(pagina, "Nome: João", "an answer edited with the arrows");
  await teclar(pagina, "Down");
  await comparar(pagina, " -> CEP:", "the sheet's down arrow");
  await teclar(pagina, "Enter", "São Paulo", "Enter");
  await comparar(pagina, "CEP: São Paulo", "an accented answer");
  // Wide characters take the columns the game counts for them.
  await teclar(pagina, "s", "Enter", "😀ab日本", "Left", "Left", "Left", "Z", "End", "c");
  await comparar(pagina, "😀aZb日本c", "an answer with wide characters, edited in the middle");
  // A line typed past what an answer holds (49 bytes): the keys beyond it
  // are refused, and nothing of them is left for the next player's sheet.
  // The sheet's up arrow goes round from Nome to Cor.
  const longa = "a".repeat(49);
  await teclar(pagina, "Enter", "Up", "Up", "Up", "d", longa, "SEGREDO-DA-ANA");
  const cheia = await comparar(pagina, `[Cor]: ${longa}`, "an answer typed past its size");
  verificados++;
  if (cheia && cheia[cheia.length - 1] !== `Digite a resposta para [Cor]: ${longa}`)
    falhar(`keys past an answer's size were taken\n${cheia.join("\n")}`);
  await teclar(pagina, "Enter", "f");
  await comparar(pagina, "JOGADOR: Bia", "Bia's sheet");
  await verificarCor(pagina, "JOGADOR: Bia", "rgb(0, 255, 255)", "Bia");
  await teclar(pagina, "d");
  const aberta = await comparar(pagina, "Digite a resposta para [Nome]:", "Bia's first answer after Ana's long one");
  verificados++;
  if (aberta && (aberta[aberta.length - 1] !== "Digite a resposta para [Nome]:" || aberta.join("").includes("SEGREDO")))
    falhar(`Bia's prompt does not open empty\n${aberta.join("\n")}`);

  // A resize with a line open: the screen is drawn again at the new width,
  // and the line goes on being edited at that width.
  await teclar(pagina, "Bea");
  await comparar(pagina, "[Nome]: Bea", "a line being typed");
  await pagina.setViewportSize({ width: 620, height: 700 });
  let novo = tamanho;
  for (let i = 0; i < 50 && novo[0] === tamanho[0]; i++) {
    await dormir(100);
    novo = await pagina.$eval("#terminal", (e) => [Number(e.dataset.colunas), Number(e.dataset.linhas)]);
  }
  if (novo[0] === tamanho[0]) falhar("the terminal did not follow the window");
  tmux("resize-window", "-t", sessao, "-x", String(novo[0]), "-y", String(novo[1]));
  await comparar(pagina, "[Nome]: Bea", "after a resize");
  await teclar(pagina, "triz Maria de Souza Albuquerque", "Home", "X");
  await comparar(pagina, "[Nome]: XBeatriz", "a line wrapped at the new width, edited at its start");
  await teclar(pagina, "End", "Enter");
  await comparar(pagina, "Nome: XBeatriz Maria de Souza Albuquerque", "the answer kept whole");
  await teclar(pagina, "f");

  // Judging, both results, the second round and the final screen.
  await comparar(pagina, "AVALIANDO AGORA AS RESPOSTAS DE: Bia", "the judging panel");
  for (let i = 0; i < 6; i++) await teclar(pagina, "10", "Enter");
  const painel = await comparar(pagina, "AVALIANDO AGORA AS RESPOSTAS DE: Ana", "the second judge");
  verificados++;
  if (painel && !painel.includes(`    - Cor: ${longa}`)) falhar(`Ana's Cor is not her 49 bytes\n${painel.join("\n")}`);
  for (let i = 0; i < 6; i++) await teclar(pagina, "5", "Enter");
  await comparar(pagina, "Pressione ENTER para iniciar a proxima rodada...", "round 1's result");
  await dormir(LEITURA_MS);
  await teclar(pagina, "Enter");
  await comparar(pagina, "JOGADOR: Ana", "round 2");
  await teclar(pagina, "f");
  await comparar(pagina, "JOGADOR: Bia", "round 2, Bia");
  await teclar(pagina, "f");
  // Each judge scores once their own panel is up: what is typed before it
  // belongs to nobody.
  await comparar(pagina, "AVALIANDO AGORA AS RESPOSTAS DE: Bia", "round 2's panel");
  for (let i = 0; i < 6; i++) await teclar(pagina, "0", "Enter");
  await comparar(pagina, "AVALIANDO AGORA AS RESPOSTAS DE: Ana", "round 2's second judge");
  for (let i = 0; i < 6; i++) await teclar(pagina, "0", "Enter");
  await comparar(pagina, "Pressione ENTER para iniciar a proxima rodada...", "round 2's result");
  await dormir(LEITURA_MS);
  await teclar(pagina, "Enter");
  await comparar(pagina, "FIM DE JOGO!", "the final screen");
  if (!(await telaWeb(pagina)).includes("VENCEDOR: Bia!")) falhar("the winner is not Bia");

  // The page then offers a new match, which starts at the title.
  verificados++;
  const botao = pagina.locator("#nova-partida");
  try {
    await botao.waitFor({ state: "visible", timeout: 5000 });
    await botao.click();
    await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "a new match");
  } catch (e) {
    falhar(`no new match offered at the end: ${e.message}`);
  }
  await pagina.close();
}

// The single file, opened from the disk on a tablet, plays to the final
// screen: a tap brings up the keyboard (focuses the widget's input), and
// the text comes as an on-screen keyboard sends it. The game's listeners
// on the widget are disposed of when it ends; the page's own stay.
async function arquivoUnico(navegador) {
  const contexto = await navegador.newContext({ viewport: { width: 768, height: 1000 }, isMobile: true, hasTouch: true });
  const pagina = await contexto.newPage();
  vigiarErros(pagina, "zova.html");
  await envolverTerminal(pagina);
  await pagina.goto(url.pathToFileURL(unico).href);
  await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "zova.html: the title");
  const ouvintes = () => pagina.evaluate(() => ({ ...globalThis.ouvintesDoTeste }));
  const emJogo = await ouvintes();
  verificados++;
  if (emJogo.onData < 1 || emJogo.onBinary < 1 || emJogo.onResize < 1)
    falhar(`zova.html: the game listens to no key or resize: ${JSON.stringify(emJogo)}`);
  await pagina.evaluate(() => document.activeElement && document.activeElement.blur());
  await pagina.tap("#terminal");
  verificados++;
  if (!(await pagina.evaluate(() => document.activeElement.classList.contains("xterm-helper-textarea"))))
    falhar("zova.html: a tap on the terminal does not bring up the keyboard");
  const passo = async (texto, ...teclas) => {
    await estavel(() => telaWeb(pagina), texto, `zova.html: ${texto}`);
    for (const t of teclas) {
      if (t === "Enter") await pagina.keyboard.press("Enter");
      else await pagina.keyboard.insertText(t);
    }
  };
  await passo("Quantidade de jogadores", "3", "Enter");
  await passo("Nome do jogador 1:", "Zé", "Enter");
  await passo("Nome do jogador 2:", "Ana", "Enter");
  await passo("Nome do jogador 3:", "Bia", "Enter");
  for (const rodada of [1, 2]) {
    for (const nome of ["Zé", "Ana", "Bia"]) await passo(`JOGADOR: ${nome}`, "f");
    for (const nome of ["Ana", "Bia", "Zé"]) {
      await passo(`AVALIANDO AGORA AS RESPOSTAS DE: ${nome}`);
      for (let i = 0; i < 6; i++) {
        await pagina.keyboard.insertText(nome === "Ana" ? "7" : "1");
        await pagina.keyboard.press("Enter");
      }
    }
    await passo(`RESULTADO DA RODADA ${rodada}`);
    await dormir(LEITURA_MS);
    await pagina.keyboard.press("Enter");
  }
  const final = await estavel(() => telaWeb(pagina), "FIM DE JOGO!", "zova.html: the final screen");
  verificados++;
  if (final && !final.includes("VENCEDOR: Ana!")) falhar(`zova.html: the winner is not Ana\n${final.join("\n")}`);
  await pagina.locator("#nova-partida").waitFor({ state: "visible", timeout: 5000 });
  const depois = await ouvintes();
  verificados++;
  if (depois.onData !== 0 || depois.onBinary !== 0 || depois.onResize !== emJogo.onResize - 1)
    falhar(`zova.html: the game's listeners are left on the widget after its end: ` +
      `${JSON.stringify(depois)}, during the game ${JSON.stringify(emJogo)}`);
  await contexto.close();
}

// A window too short for a sheet: the sheet runs into the widget's
// scroll-back, and the next player's sheet leaves nothing of it there, nor
// on the screen, where a line wraps and its second row is reached by no
// newline.
async function rolagemNaTroca(navegador) {
  const pagina = await navegador.newPage({ viewport: { width: 660, height: 190 } });
  vigiarErros(pagina, "short window");
  await envolverTerminal(pagina);
  await pagina.goto(url.pathToFileURL(unico).href);
  // The buffer's lines, a wrapped row joined to the one it goes on from:
  // those above the screen, then those on it, and how many rows wrapped.
  const buffer = () => pagina.evaluate(() => {
    const b = globalThis.terminalDoTeste.buffer.active;
    const acima = [], tela = [];
    let quebradas = 0;
    for (let i = 0; i < b.length; i++) {
      const linha = b.getLine(i), destino = i < b.baseY ? acima : tela;
      const texto = linha.translateToString(false);
      if (linha.isWrapped && (tela.length || acima.length)) {
        quebradas++;
        if (tela.length) tela[tela.length - 1] += texto;
        else acima[acima.length - 1] += texto;
      } else destino.push(texto);
    }
    return { acima: acima.map((l) => l.trimEnd()), tela: tela.map((l) => l.trimEnd()), quebradas };
  });
  // The text looked for may be above the screen.
  const tudo = async () => {
    const b = await buffer();
    return normalizar([...b.acima, ...b.tela]);
  };
  const passo = async (texto, ...teclas) => {
    const tela = await estavel(tudo, texto, `short window: ${texto}`);
    for (const t of teclas) {
      if (t === "Enter") await pagina.keyboard.press("Enter");
      else await pagina.keyboard.type(t);
    }
    return tela;
  };
  await passo("Quantidade de jogadores", "2", "Enter");
  await passo("Nome do jogador 1:", "Ana", "Enter");
  await passo("Nome do jogador 2:", "Bia", "Enter");
  await passo("JOGADOR: Ana", "d");
  await passo("[Nome]:", "Moscou", "Enter");
  await passo("Nome: Moscou");
  const antes = await buffer();
  verificados++;
  if (!antes.acima.some((l) => l.includes("JOGADOR: Ana")) || antes.quebradas === 0)
    falhar(`short window: Ana's sheet must run into the scroll-back and wrap a row, or nothing is checked\n` +
      [...antes.acima, "--- screen", ...antes.tela].join("\n"));
  await pagina.keyboard.press("f");
  const folha = await passo("JOGADOR: Bia");
  const depois = await buffer();
  verificados++;
  if (depois.acima.some((l) => l.includes("Ana") || l.includes("Moscou")))
    falhar(`short window: Ana's sheet is left in the scroll-back above Bia's\n${depois.acima.join("\n")}`);
  // From the top of the scroll-back, Bia's sheet and nothing else.
  const esperada = [
    "=".repeat(37), "              RODADA 1", "=".repeat(37), "",
    "LETRA: ? | JOGADOR: Bia",
    "(W/S ou Setas para navegar | ENTER ou D para responder | F para finalizar)", "",
    " -> Nome:", "    CEP:", "    Objeto:", "    Marca:", "    Animal:", "    Cor:",
  ];
  verificados++;
  if (folha && folha.join("\n") !== esperada.join("\n"))
    falhar(`short window: Bia's sheet is not drawn clean over Ana's\n${folha.join("\n")}`);
  await pagina.close();
}

// A browser without WebAssembly gets a message that says so.
async function semWebAssembly(navegador) {
  const pagina = await navegador.newPage();
  await pagina.addInitScript(() => delete globalThis.WebAssembly);
  await pagina.goto(url.pathToFileURL(unico).href);
  verificados++;
  try {
    const aviso = pagina.locator("#sem-wasm");
    await aviso.waitFor({ state: "visible", timeout: 5000 });
    if (!(await aviso.textContent()).includes("não executa WebAssembly")) falhar("no message without WebAssembly");
  } catch (e) {
    falhar(`without WebAssembly: ${e.message}`);
  }
  await pagina.close();
}

(async () => {
  const servidor = await servir(site);
  const navegador = await chromium.launch({ executablePath: CHROMIUM, args: ["--no-sandbox", "--disable-dev-shm-usage"] });
  try {
    await partidaLadoALado(navegador, `http://127.0.0.1:${servidor.address().port}/`);
    await arquivoUnico(navegador);
    await rolagemNaTroca(navegador);
    await semWebAssembly(navegador);
  } catch (e) {
    falhar(e.stack || String(e));
  } finally {
    await navegador.close();
    servidor.close();
    try {
      tmux("kill-server");
    } catch (e) {
      // no session was started
    }
  }
  console.log(`navegador: ${verificados - falhas} passed, ${falhas} failed`);
  process.exit(falhas > 0 ? 1 : 0);
})();
