// The browser edition in a real browser (Chromium, headless), against the
// native game in a real terminal emulator (tmux) given the same keys: the
// screens must read the same, letter drawn aside.
//   node navegador.cjs NATIVE_GAME SITE_FOLDER ZOVA_HTML
// Needs playwright-core and axe-core (NODE_PATH) and Chromium at
// /usr/bin/chromium.
"use strict";
const { chromium, devices } = require("playwright-core");
const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
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
const TECLAS_PLAYWRIGHT = { Enter: "Enter", Left: "ArrowLeft", Right: "ArrowRight", Up: "ArrowUp", Down: "ArrowDown",
  Home: "Home", End: "End" };
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
// What tmux shows of emoji joined by a zero-width joiner is not always what
// it was sent (on a freshly installed machine it kept only the first of a
// family), which says nothing of the game: the two screens are compared
// without the joined emoji; the page must still show them whole, and what
// follows them must stand where the game put it on both.
const semJuncoes = (texto) => texto.replace(/\u200d\p{Extended_Pictographic}/gu, "");

async function comparar(pagina, texto, passo) {
  const web = await estavel(() => telaWeb(pagina), texto, `${passo} (browser)`);
  const nat = await estavel(async () => (await telaNativa()).map(semJuncoes), semJuncoes(texto), `${passo} (native)`);
  if (!web || !nat) return null;
  verificados++;
  if (web.map(semJuncoes).join("\n") === nat.join("\n")) return web;
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

// The accessibility checker (axe-core), run in the page as it is served,
// under its own policy (the test's driver evaluates it, as a page's
// console would): no rule broken on the screen shown, nor left for a
// person to judge (an ARIA attribute where it may not belong is one), but
// the contrast of the widget's text, which it cannot measure over the
// widget's layers.
const AXE = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
async function acessivel(pagina, passo) {
  verificados++;
  if (!(await pagina.evaluate(() => typeof globalThis.axe === "object"))) await pagina.evaluate(AXE);
  const problemas = await pagina.evaluate(async () => {
    const r = await globalThis.axe.run(document);
    return [...r.violations, ...r.incomplete.filter((v) => v.id !== "color-contrast")].map((v) =>
      `${v.id} (${v.help}): ${v.nodes.map((n) => n.target.join(" ")).slice(0, 5).join(", ")}`);
  });
  if (problemas.length > 0) falhar(`${passo}: accessibility rules broken:\n  ${problemas.join("\n  ")}`);
}

// Where the keyboard's focus is: an element's id, or its class.
const foco = (pagina) => pagina.evaluate(() => {
  const e = document.activeElement;
  return e ? e.id || e.className || e.tagName : null;
});

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
  await acessivel(pagina, "registration");
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
  await acessivel(pagina, "a sheet");

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
  // Emoji newer than the widget's own tables, a family of emoji joined by
  // zero-width joiners, and a flag take the columns the game counts for
  // them: what is typed after them stands where the game put it.
  await teclar(pagina, "Enter", "s", "Enter", "🫠🥲abc", "Left", "Left", "Z");
  await comparar(pagina, "[Marca]: 🫠🥲aZbc", "emoji newer than Unicode 11, edited after them");
  await teclar(pagina, "Enter", "s", "Enter", "👨‍👩‍👧🇧🇷🧋fim", "Left", "Left", "Left", "Left", "Z", "Home", "Right", "Y");
  await comparar(pagina, "[Animal]: 👨‍👩‍👧Y🇧🇷Z🧋fim", "a family of emoji and a flag, edited around them");
  // A line typed past what an answer holds (49 bytes): the keys beyond it
  // are refused, and nothing of them is left for the next player's sheet.
  // The sheet's up arrow goes round from Nome to Cor.
  const longa = "a".repeat(49);
  await teclar(pagina, "End", "Enter", "Up", "Up", "Up", "Up", "Up", "d", longa, "SEGREDO-DA-ANA");
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
  await acessivel(pagina, "a line prompt");

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
  await acessivel(pagina, "the judging panel");
  for (let i = 0; i < 6; i++) await teclar(pagina, "10", "Enter");
  const painel = await comparar(pagina, "AVALIANDO AGORA AS RESPOSTAS DE: Ana", "the second judge");
  verificados++;
  if (painel && !painel.includes(`    - Cor: ${longa}`)) falhar(`Ana's Cor is not her 49 bytes\n${painel.join("\n")}`);
  for (let i = 0; i < 6; i++) await teclar(pagina, "5", "Enter");
  await comparar(pagina, "Pressione ENTER para iniciar a proxima rodada...", "round 1's result");
  await acessivel(pagina, "a round's result");
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

  // The page then offers a new match: the keyboard's focus goes to its
  // button, Tab leaves the widget for it, and Enter on it starts the new
  // match at the title.
  verificados++;
  const botao = pagina.locator("#nova-partida");
  try {
    await botao.waitFor({ state: "visible", timeout: 5000 });
    await acessivel(pagina, "the final screen");
    const noFim = await foco(pagina);
    await pagina.click("#terminal");
    const noTerminal = await foco(pagina);
    await pagina.keyboard.press("Tab");
    const depoisDoTab = await foco(pagina);
    verificados++;
    if (noFim !== "nova-partida" || noTerminal !== "xterm-helper-textarea" || depoisDoTab !== "nova-partida")
      falhar(`the keyboard's focus at the end: ${noFim}; on the terminal: ${noTerminal}; after Tab: ${depoisDoTab}`);
    if (depoisDoTab === "nova-partida") await Promise.all([pagina.waitForEvent("load"), pagina.keyboard.press("Enter")]);
    else await botao.click();
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

// The keys a browser's user expects, on the hosted page with the clipboard
// allowed: the help a first visit shows closes with Escape, leaving the
// keys with the game; Ctrl-D on an empty line does nothing (the match goes
// on with the name typed after it); Ctrl-V pastes into the line; Ctrl-C
// copies what is selected in the widget. A second visit shows no help.
async function teclasDoNavegador(navegador, endereco) {
  const contexto = await navegador.newContext({ viewport: { width: 900, height: 700 },
    permissions: ["clipboard-read", "clipboard-write"] });
  const pagina = await contexto.newPage();
  vigiarErros(pagina, "keys");
  await pagina.goto(endereco);
  await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "keys: the title");
  const ajuda = pagina.locator("#ajuda");
  verificados++;
  if (!(await ajuda.isVisible()) || !(await ajuda.textContent()).includes("2 a 5 pessoas"))
    falhar("keys: a first visit shows no help");
  else {
    await pagina.keyboard.press("Escape");
    verificados++;
    if ((await ajuda.isVisible()) || (await foco(pagina)) !== "xterm-helper-textarea")
      falhar(`keys: Escape leaves the help open, or the keys away from the game (focus: ${await foco(pagina)})`);
  }

  await pagina.keyboard.type("2");
  await pagina.keyboard.press("Enter");
  await estavel(() => telaWeb(pagina), "Nome do jogador 1:", "keys: registration");
  await pagina.keyboard.press("Control+D");
  await pagina.keyboard.type("Ana");
  await pagina.keyboard.press("Enter");
  verificados++;
  await estavel(() => telaWeb(pagina), "Nome do jogador 2:", "keys: Ctrl-D on an empty line, then a name");
  await pagina.evaluate(() => navigator.clipboard.writeText("Bia"));
  await pagina.keyboard.press("Control+V");
  const colada = await estavel(() => telaWeb(pagina), "Nome do jogador 2: Bia", "keys: Ctrl-V");
  verificados++;
  if (colada && colada[colada.length - 1] !== "Nome do jogador 2: Bia")
    falhar(`keys: Ctrl-V does not paste the clipboard as typed text\n${colada.join("\n")}`);
  await pagina.keyboard.press("Enter");
  const folha = await estavel(() => telaWeb(pagina), "JOGADOR: Ana", "keys: the match goes on after Ctrl-D");

  // A double click selects the word "Ana" on the sheet.
  if (folha) {
    const linha = await pagina.evaluate(() => {
      const l = [...document.querySelectorAll(".xterm-rows > div")].find((d) => d.textContent.includes("JOGADOR: Ana"));
      const r = l.getBoundingClientRect();
      return { x: r.x, y: r.y, altura: r.height, texto: l.textContent.replace(/\u00a0/g, " ") };
    });
    const coluna = (await pagina.locator(".xterm-screen").boundingBox()).width /
      Number(await pagina.$eval("#terminal", (e) => e.dataset.colunas));
    await pagina.mouse.dblclick(linha.x + coluna * (linha.texto.indexOf("JOGADOR: Ana") + 10.5), linha.y + linha.altura / 2);
    await pagina.keyboard.press("Control+C");
    const copiado = await pagina.evaluate(() => navigator.clipboard.readText());
    verificados++;
    if (copiado !== "Ana") falhar(`keys: Ctrl-C with "Ana" selected copies ${JSON.stringify(copiado)}`);
  }

  const outra = await contexto.newPage();
  await outra.goto(endereco);
  await estavel(() => telaWeb(outra), "Quantidade de jogadores", "keys: a second visit");
  verificados++;
  if (await outra.locator("#ajuda").isVisible()) falhar("keys: the help shows by itself on a second visit too");
  await contexto.close();
}

// Every code point the game's table counts columns for, as the widget
// counts them, against the table itself (console/grafemas_tabela.h): the
// first and the last code point of each of its runs, on its own after a
// letter, and after a letter and a zero-width joiner (an emoji there
// shares the cell before it).
async function larguras(navegador, endereco) {
  const cabecalho = fs.readFileSync(path.join(__dirname, "../../console/grafemas_tabela.h"), "utf8");
  const corpo = cabecalho.slice(cabecalho.indexOf("TABELA_GRAFEMAS[] = {"));
  const entradas = [...corpo.slice(0, corpo.indexOf("};")).matchAll(/0x([0-9A-F]{8})/g)].map((m) => parseInt(m[1], 16));
  const esperado = [];
  entradas.forEach((entrada, i) => {
    const fim = i + 1 < entradas.length ? (entradas[i + 1] >>> 8) - 1 : 0x10ffff;
    for (const codigo of new Set([entrada >>> 8, fim])) {
      // The widget acts on control characters, and a surrogate is no text.
      if (codigo < 0x20 || (codigo >= 0x7f && codigo < 0xa0) || (codigo >= 0xd800 && codigo < 0xe000)) continue;
      const colunas = (entrada >> 5) & 3;
      esperado.push([codigo, colunas, entrada & 0x10 ? 0 : colunas]);
    }
  });
  const pagina = await navegador.newPage();
  vigiarErros(pagina, "widths");
  await pagina.goto(endereco);
  await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "widths: the title");
  const erradas = await pagina.evaluate(async (casos) => {
    if (typeof LargurasJogo !== "function") return ["the page has no LargurasJogo"];
    const caixa = document.createElement("div");
    document.body.appendChild(caixa);
    const term = new Terminal({ allowProposedApi: true, cols: 8, rows: 1000, scrollback: 0 });
    term.open(caixa);
    term.loadAddon(new LargurasJogo());
    // The columns of the text after the first cell ("a"): 0 when it went
    // into that cell.
    const colunas = (linha) => {
      const celula = linha.getCell(1);
      return celula.getChars() === "" ? 0 : celula.getWidth();
    };
    const erradas = [];
    for (let i = 0; i < casos.length; i += 500) {
      const lote = casos.slice(i, i + 500);
      const texto = lote.map(([c]) => `a${String.fromCodePoint(c)}\r\na\u200d${String.fromCodePoint(c)}`).join("\r\n");
      await new Promise((pronto) => term.write(`\x1b[H\x1b[J${texto}`, pronto));
      const b = term.buffer.active;
      lote.forEach(([c, so, aposZwj], k) => {
        const obtido = [colunas(b.getLine(2 * k)), colunas(b.getLine(2 * k + 1))];
        if (obtido[0] !== so || obtido[1] !== aposZwj)
          erradas.push(`U+${c.toString(16).toUpperCase()}: ${obtido.join("/")} columns, the game ${so}/${aposZwj}`);
      });
    }
    term.dispose();
    caixa.remove();
    return erradas;
  }, esperado);
  verificados++;
  if (erradas.length > 0)
    falhar(`the widget counts ${erradas.length} of ${esperado.length} code points otherwise than the game ` +
      `(alone / after a joiner):\n  ${erradas.slice(0, 12).join("\n  ")}`);
  await pagina.close();
}

// The game's code missing on the host (zova.wasm, on a copy of the site):
// a message in its place, with the focus on a button that tries again;
// with the file back, the button brings the game.
async function falhaAoCarregar(navegador) {
  const pasta = fs.mkdtempSync(path.join(os.tmpdir(), "zova-site-"));
  fs.cpSync(site, pasta, { recursive: true });
  fs.renameSync(path.join(pasta, "zova.wasm"), path.join(pasta, "zova.wasm.fora"));
  const servidor = await servir(pasta);
  const pagina = await navegador.newPage();
  try {
    await pagina.goto(`http://127.0.0.1:${servidor.address().port}/`);
    const aviso = pagina.locator("#falha");
    verificados++;
    await aviso.waitFor({ state: "visible", timeout: 10000 });
    const texto = await aviso.textContent();
    const botao = await pagina.evaluate(() => document.activeElement.textContent);
    if (!texto.includes("Não foi possível carregar o jogo") || botao !== "Tentar de novo" ||
        (await pagina.locator("#terminal").isVisible()))
      falhar(`without zova.wasm: no message in the game's place, or no "Tentar de novo" with the focus ` +
        `(${JSON.stringify(texto)}, focus on ${JSON.stringify(botao)})`);
    await acessivel(pagina, "the load failure");
    fs.renameSync(path.join(pasta, "zova.wasm.fora"), path.join(pasta, "zova.wasm"));
    await Promise.all([pagina.waitForEvent("load"), pagina.keyboard.press("Enter")]);
    await estavel(() => telaWeb(pagina), "Quantidade de jogadores", "Tentar de novo, with zova.wasm back");
  } catch (e) {
    falhar(`without zova.wasm: ${e.message}`);
  } finally {
    await pagina.close();
    servidor.close();
    fs.rmSync(pasta, { recursive: true, force: true });
  }
}

// Phones, as Playwright describes them (viewport, pixel ratio, mobile,
// touch). Upright, the game's widest line (80 columns) would need a font
// under 12px: the page asks for the phone to be turned, and keeps 12px.
// Turned, it fits whole. Keys on the screen play (a tap reaches the game),
// the widget's input is never under 16px (a phone zooms into a smaller
// one), and with the on-screen keyboard up the line being typed stays in
// the part of the page left in sight.
async function celulares(navegador, endereco) {
  const DICA = "Dica: Atribua notas (ex: 10 para valido/unico, 5 para repetido, 0 para invalido)";
  for (const nome of ["iPhone 13", "Pixel 7"]) {
    const { defaultBrowserType, ...aparelho } = devices[nome];
    const contexto = await navegador.newContext(aparelho);
    const pagina = await contexto.newPage();
    vigiarErros(pagina, nome);
    await pagina.goto(endereco);
    await estavel(() => telaWeb(pagina), "Quantidade de jogadores", `${nome}: the title`);
    const medidas = () => pagina.evaluate(() => ({
      teclas: !document.getElementById("teclas").hidden,
      girar: !document.getElementById("girar").hidden,
      fonte: parseFloat(getComputedStyle(document.querySelector(".xterm-rows")).fontSize),
      entrada: parseFloat(getComputedStyle(document.querySelector(".xterm-helper-textarea")).fontSize),
      colunas: Number(document.getElementById("terminal").dataset.colunas),
    }));
    const emPe = await medidas();
    verificados++;
    if (!emPe.teclas || !emPe.girar || emPe.fonte !== 12 || emPe.entrada < 16)
      falhar(`${nome}, upright: ${JSON.stringify(emPe)}: expected the keys, the request to turn the phone, ` +
        `a 12px font and an input of 16px or more`);
    await acessivel(pagina, `${nome}, upright`);
    // The help of the first visit, read, makes room for the game.
    if (await pagina.locator("#fechar-ajuda").isVisible()) await pagina.tap("#fechar-ajuda");

    await pagina.setViewportSize(devices[`${nome} landscape`].viewport);
    let deLado = await medidas();
    for (let i = 0; i < 50 && (deLado.girar || deLado.colunas < 80); i++) {
      await dormir(100);
      deLado = await medidas();
    }
    const tecla = (t) => pagina.tap(`#teclas [data-tecla="${t}"]`);
    await pagina.keyboard.insertText("2");
    await tecla("enter");
    await estavel(() => telaWeb(pagina), "Nome do jogador 1:", `${nome}: the on-screen Enter`);
    for (const jogador of ["Ana", "Bia"]) {
      await pagina.keyboard.insertText(jogador);
      await tecla("enter");
    }
    await estavel(() => telaWeb(pagina), "JOGADOR: Ana", `${nome}: Ana's sheet`);
    await tecla("f");
    await estavel(() => telaWeb(pagina), "JOGADOR: Bia", `${nome}: the on-screen F`);
    await tecla("f");
    const painel = await estavel(() => telaWeb(pagina), "AVALIANDO AGORA AS RESPOSTAS DE: Bia", `${nome}: the panel`);
    verificados++;
    if (deLado.girar || deLado.fonte < 12 || !painel || !painel.includes(DICA))
      falhar(`${nome}, turned: ${JSON.stringify(deLado)}: the panel's widest line is not whole on its row\n` +
        (painel || []).join("\n"));

    // The on-screen keyboard takes the lower half of the page.
    await pagina.keyboard.insertText("7");
    const linhas = Number(await pagina.$eval("#terminal", (e) => e.dataset.linhas));
    const visivel = Math.round(devices[`${nome} landscape`].viewport.height / 2);
    await pagina.evaluate((altura) => {
      Object.defineProperty(visualViewport, "height", { configurable: true, get: () => altura });
      visualViewport.dispatchEvent(new Event("resize"));
    }, visivel);
    for (let i = 0; i < 50 && Number(await pagina.$eval("#terminal", (e) => e.dataset.linhas)) >= linhas; i++)
      await dormir(100);
    await estavel(() => telaWeb(pagina), "-> Nome []: 7", `${nome}: with the on-screen keyboard up`);
    const linha = await pagina.evaluate(() => {
      const l = [...document.querySelectorAll(".xterm-rows > div")].find((d) => d.textContent.includes("-> Nome []: 7"));
      return l && l.getBoundingClientRect().bottom;
    });
    verificados++;
    if (!linha || linha > visivel + 1)
      falhar(`${nome}: with the on-screen keyboard up, the line being typed is out of sight ` +
        `(its bottom at ${linha}px, the visible part ${visivel}px high)`);
    await contexto.close();
  }
}

// With JavaScript off, the message that says the game needs it, in the
// middle of the page.
async function semJavaScript(navegador, endereco) {
  const contexto = await navegador.newContext({ javaScriptEnabled: false, viewport: { width: 900, height: 700 } });
  const pagina = await contexto.newPage();
  await pagina.goto(endereco);
  const aviso = pagina.locator("noscript .aviso");
  const caixa = await aviso.boundingBox();
  verificados++;
  if (!caixa || !(await aviso.textContent()).includes("precisa de JavaScript") ||
      Math.abs(caixa.y + caixa.height / 2 - 350) > 35 || Math.abs(caixa.x + caixa.width / 2 - 450) > 45)
    falhar(`without JavaScript, the message is not in the middle of the page: ${JSON.stringify(caixa)}`);
  await contexto.close();
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
    const endereco = `http://127.0.0.1:${servidor.address().port}/`;
    await partidaLadoALado(navegador, endereco);
    await teclasDoNavegador(navegador, endereco);
    await larguras(navegador, endereco);
    await arquivoUnico(navegador);
    await rolagemNaTroca(navegador);
    await celulares(navegador, endereco);
    await falhaAoCarregar(navegador);
    await semJavaScript(navegador, endereco);
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
