// A room (zova --sala) played to its end from three devices in Chromium:
// two phones and a computer, each its own browser context, the room in a
// real terminal emulator (tmux). Each device sees its own turn and only
// that: never another player's sheet, nor a judging panel that is not its
// own; keys from a device whose turn it is not reach no read; a phone that
// reloads mid-line gets its line back; connections that are no device's
// are turned away while the match goes on; a full room turns the sixth
// away; Ctrl-C at the room tells every device and leaves its terminal as
// it was.
//   node celulares.cjs ZOVA SITE_FOLDER
// Needs playwright-core (NODE_PATH), Chromium and tmux.
"use strict";
const { devices } = require("playwright-core");
const { abrirSala, linkDaSala, abrirNavegador, abrirAparelho, telaDe, textoRecebido, dormir } =
  require("./sala.cjs");

const [zova, site] = process.argv.slice(2);
let falhas = 0;
let verificados = 0;

function verificar(ok, mensagem) {
  verificados++;
  if (!ok) {
    falhas++;
    console.log(`FAILED: ${mensagem}`);
  }
  return ok;
}

// A step the rest of the match needs: when it does not come, the match
// cannot go on, and the test stops there.
class Parada extends Error {}

// Waits until the screen (a device's, or the room's) shows the text and
// has stopped changing; its lines.
async function esperar(ler, texto, passo) {
  let antes = null;
  for (let i = 0; i < 150; i++) {
    const tela = await ler();
    const junta = tela.join("\n");
    if (junta.includes(texto) && junta === antes) return tela;
    antes = junta;
    await dormir(100);
  }
  falhas++;
  console.log(`FAILED: ${passo}: waited for "${texto}", the screen shows:\n${(await ler()).join("\n")}`);
  throw new Parada(passo);
}

const telaDaSala = (sala) => async () => sala.tela().split("\n").map((l) => l.trimEnd());
const naTela = (aparelho) => () => telaDe(aparelho);

async function teclar(aparelho, ...teclas) {
  for (const t of teclas) {
    if (t === "Enter") await aparelho.pagina.keyboard.press("Enter");
    else await aparelho.pagina.keyboard.type(t);
  }
}

// A device whose turn it is not sees who plays, and nothing else.
function espera(numero, nome) {
  return ["=".repeat(37), "                ZOVA", "=".repeat(37), "", `Voce e o jogador ${numero}.`, "",
    `Vez de: ${nome}`, "", "Aguarde a sua vez."];
}

async function esperaCerta(aparelho, numero, nome, passo) {
  const tela = await esperar(naTela(aparelho), `Vez de: ${nome}`, passo);
  verificar(tela.join("\n") === espera(numero, nome).join("\n"),
    `${passo}: the waiting screen is not just whose turn it is\n${tela.join("\n")}`);
}

// The last line of a screen: the one being typed.
const ultima = (tela) => tela[tela.length - 1];

// A raw WebSocket from a page the room served, as a program that is no
// page of ours would open it: sends the messages once it opens, and says
// what came back until it closed (or 5 s passed).
function conversar(pagina, mensagens) {
  return pagina.evaluate((mensagens) => new Promise((pronto) => {
    const recebidas = [];
    const ws = new WebSocket(`ws://${location.host}/sala`);
    ws.binaryType = "arraybuffer";
    const limite = setTimeout(() => pronto({ recebidas, fechou: false }), 5000);
    ws.onopen = () => mensagens.forEach((m) => ws.send(m));
    ws.onmessage = (e) => recebidas.push(typeof e.data === "string" ? e.data : "O(binary)");
    ws.onclose = () => {
      clearTimeout(limite);
      pronto({ recebidas, fechou: true });
    };
  }), mensagens);
}

// ---------------------------------------------------------------------------
// A full room: five seats taken by raw connections, the sixth turned away,
// a seat taken back by its secret (the device that held it is told), a
// message past the size closes a seated connection and leaves its seat,
// and Ctrl-C in the lobby tells every device.
async function salaCheia(navegador) {
  const sala = abrirSala(zova, site, "cheia");
  try {
    const link = await linkDaSala(sala);
    const token = link.slice(link.indexOf("#") + 1);
    const pagina = await navegador.newPage();
    await pagina.goto(link.replace(/\/#.*/, "/LICENCAS.txt"));
    const assentos = await pagina.evaluate((token) => {
      globalThis.conexoes = [];
      // Until the condition holds, 5 s at most.
      globalThis.ate = async (condicao) => {
        for (let i = 0; i < 100 && !condicao(); i++) await new Promise((r) => setTimeout(r, 50));
      };
      const entrar = (mensagem) => new Promise((pronto) => {
        const ws = new WebSocket(`ws://${location.host}/sala`);
        const c = { ws, recebidas: [], fechou: false };
        globalThis.conexoes.push(c);
        setTimeout(() => pronto("(nothing in 5 s)"), 5000);
        ws.onopen = () => ws.send(mensagem);
        ws.onmessage = (e) => {
          // The screens aside: the room's word to the device.
          if (typeof e.data !== "string") return;
          c.recebidas.push(e.data);
          pronto(e.data);
        };
        ws.onclose = () => {
          c.fechou = true;
          pronto(null);
        };
      });
      globalThis.entrar = entrar;
      return (async () => {
        const r = [];
        for (let i = 0; i < 6; i++) r.push(await entrar(`E${token}`));
        return r;
      })();
    }, token);
    for (let i = 0; i < 5; i++)
      verificar(new RegExp(`^A[0-9a-f]{32} ${i + 1}$`).test(assentos[i] || ""), `full room: join ${i + 1} got ${assentos[i]}`);
    verificar(assentos[5] === "FA sala ja tem 5 jogadores.", `full room: the sixth device got ${assentos[5]}`);
    await esperar(telaDaSala(sala), "Jogadores na sala (5 de 5):", "full room: the room's terminal");

    const r = await pagina.evaluate(async (token) => {
      const c = globalThis.conexoes;
      const segredo = (i) => c[i].recebidas[0].slice(1, 33);
      // Seat 5 again, by its secret: the same seat, and its first device told.
      const retomado = await globalThis.entrar(`E${token} ${segredo(4)}`);
      await globalThis.ate(() => c[4].fechou);
      // Seat 1 sends a message past the size: closed, with no word.
      c[0].ws.send(`T${"a".repeat(1100)}`);
      await globalThis.ate(() => c[0].fechou);
      const primeiro = { recebidas: c[0].recebidas.slice(1), fechou: c[0].fechou };
      const devolvido = await globalThis.entrar(`E${token} ${segredo(0)}`);
      return { retomado, segredo5: segredo(4), antigo5: c[4].recebidas.slice(1), fechou5: c[4].fechou, primeiro,
        devolvido, segredo1: segredo(0) };
    }, token);
    verificar(r.retomado === `A${r.segredo5} 5`, `full room: seat 5 taken back by its secret got ${r.retomado}`);
    verificar(r.antigo5.join("|") === "FSeu lugar na sala foi aberto em outro aparelho." && r.fechou5,
      `full room: the device that held seat 5 got ${JSON.stringify(r.antigo5)} (closed: ${r.fechou5})`);
    verificar(r.primeiro.fechou && r.primeiro.recebidas.length === 0,
      `full room: a message past 1024 bytes leaves the connection ${JSON.stringify(r.primeiro)}`);
    verificar(r.devolvido === `A${r.segredo1} 1`, `full room: seat 1, after its message past the size, got ${r.devolvido}`);

    // Open until Ctrl-C: seats 2 to 4 as they joined, 5 and 1 as taken back.
    const abertas = await pagina.evaluate(() => globalThis.conexoes.map((c, i) => (c.fechou ? -1 : i)).filter((i) => i >= 0));
    verificar(JSON.stringify(abertas) === "[1,2,3,6,7]", `full room: the connections open before Ctrl-C: ${abertas}`);
    sala.teclar("C-c");
    await esperar(telaDaSala(sala), "saiu=0", "full room: Ctrl-C in the lobby");
    const ditas = await pagina.evaluate(async (abertas) => {
      await globalThis.ate(() => abertas.every((i) => globalThis.conexoes[i].fechou));
      return abertas.map((i) => globalThis.conexoes[i]).map((c) => ({ ultima: c.recebidas[c.recebidas.length - 1], fechou: c.fechou }));
    }, abertas);
    verificar(ditas.every((d) => d.ultima === "FA sala foi encerrada." && d.fechou),
      `full room: what the devices heard of Ctrl-C: ${JSON.stringify(ditas)}`);
    await pagina.close();
  } finally {
    sala.fechar();
  }
}

// ---------------------------------------------------------------------------
// A whole match of three.
async function partida(navegador) {
  const sala = abrirSala(zova, site, "partida");
  const semNavegador = ({ defaultBrowserType, ...d }) => d;
  const aparelhos = [];
  try {
    const link = await linkDaSala(sala);
    const ana = await abrirAparelho(navegador, "Ana", semNavegador(devices["Pixel 7"]));
    const pedro = await abrirAparelho(navegador, "Pedro", semNavegador(devices["iPhone 13"]));
    const caio = await abrirAparelho(navegador, "Caio", { viewport: { width: 1000, height: 800 } });
    aparelhos.push(ana, pedro, caio);
    const todos = [ana, pedro, caio];

    // They join in this order, which is the order they play in.
    for (const [i, a] of todos.entries()) {
      await a.pagina.goto(link);
      await esperar(naTela(a), `Voce entrou na sala: e o jogador ${i + 1}.`, `${a.nome} joins`);
    }
    const saguao = await esperar(telaDaSala(sala), "Jogadores na sala (3 de 5):", "the lobby");
    verificar(["  1. jogador 1", "  2. jogador 2", "  3. jogador 3"].every((l) => saguao.includes(l)),
      `the lobby does not list three players\n${saguao.join("\n")}`);
    sala.teclar("Enter");

    // Registration. Ana's name, with Caio's keys and the room's Enter
    // arriving in the middle of it: they go nowhere.
    await esperar(naTela(ana), "Nome do jogador 1:", "Ana's name");
    await esperaCerta(pedro, 2, "jogador 1", "Pedro during Ana's name");
    await esperaCerta(caio, 3, "jogador 1", "Caio during Ana's name");
    await esperar(telaDaSala(sala), "Vez de: jogador 1", "the room during Ana's name");
    await teclar(ana, "An");
    await esperar(naTela(ana), "Nome do jogador 1: An", "Ana types");
    await teclar(caio, "Intruso", "Enter");
    sala.teclar("Enter");
    await dormir(500);
    await teclar(ana, "a", "Enter");

    // Pedro's phone reloads in the middle of his name: his seat, his
    // screen and what he had typed come back.
    await esperar(naTela(pedro), "Nome do jogador 2:", "Pedro's name");
    await esperaCerta(ana, 1, "jogador 2", "Ana during Pedro's name");
    await teclar(pedro, "Pedr");
    await esperar(naTela(pedro), "Nome do jogador 2: Pedr", "Pedro types");
    await pedro.pagina.reload();
    const voltou = await esperar(naTela(pedro), "Nome do jogador 2: Pedr", "Pedro's phone after a reload");
    verificar(ultima(voltou) === "Nome do jogador 2: Pedr", `Pedro's line after a reload: ${ultima(voltou)}`);
    await teclar(pedro, "o", "Enter");

    // Caio's line opens empty: nothing of what he typed out of turn.
    const nome3 = await esperar(naTela(caio), "Nome do jogador 3:", "Caio's name");
    verificar(ultima(nome3) === "Nome do jogador 3:", `Caio's name opens with ${JSON.stringify(ultima(nome3))}`);
    await teclar(caio, "Caio", "Enter");

    // Round 1: everyone sees the letter, then Ana's sheet. Pedro's "f" and
    // Enter would end her sheet or her answer, were they taken.
    for (const a of todos) await esperar(naTela(a), "A letra sorteada foi:", `round 1's letter on ${a.nome}'s device`);
    await esperar(telaDaSala(sala), "A letra sorteada foi:", "round 1's letter in the room");
    await esperar(naTela(ana), "JOGADOR: Ana", "Ana's sheet");
    await esperaCerta(pedro, 2, "Ana", "Pedro during Ana's sheet");
    await esperaCerta(caio, 3, "Ana", "Caio during Ana's sheet");
    await esperar(telaDaSala(sala), "Vez de: Ana", "the room during Ana's sheet");
    await teclar(ana, "d", "Zeb");
    await esperar(naTela(ana), "[Nome]: Zeb", "Ana's first answer");
    await teclar(pedro, "f", "Zzz", "Enter", "f");
    await dormir(500);
    await teclar(ana, "ra", "Enter", "s", "d", "Zarco", "Enter");
    const folhaAna = await esperar(naTela(ana), " -> CEP: Zarco", "Ana's sheet, answered");
    verificar(folhaAna.includes("    Nome: Zebra"), `Ana's answers, with Pedro's keys about\n${folhaAna.join("\n")}`);
    // Ana ends her sheet with more keys in the same message (a burst, as a
    // paste sends): what came after her F answers nothing of Pedro's.
    await ana.pagina.evaluate(() => globalThis.terminalDoTeste.input("fdIntrusa\r", true));

    // Pedro's sheet: his phone sends a message past the size in the
    // middle of an answer. The room cuts it off; the page joins again and
    // gets its line back, with nothing of that message in it.
    const folhaNova = await esperar(naTela(pedro), "JOGADOR: Pedro", "Pedro's sheet");
    verificar(folhaNova.includes(" -> Nome:") && !folhaNova.join("\n").includes("Intrusa"),
      `Pedro's sheet does not open untouched after Ana's burst\n${folhaNova.join("\n")}`);
    await esperaCerta(ana, 1, "Pedro", "Ana during Pedro's sheet");
    await teclar(pedro, "d", "Zin");
    await esperar(naTela(pedro), "[Nome]: Zin", "Pedro's answer");
    const assentosPedro = pedro.assentos;
    await pedro.pagina.evaluate(() => globalThis.socketDoTeste.send(`T${"a".repeat(1100)}`));
    for (let i = 0; i < 100 && pedro.assentos === assentosPedro; i++) await dormir(100);
    verificar(pedro.assentos > assentosPedro, "Pedro's phone did not join again after the room cut it off");
    const deVolta = await esperar(naTela(pedro), "[Nome]: Zin", "Pedro's line after the room cut him off");
    verificar(ultima(deVolta) === "Digite a resposta para [Nome]: Zin", `Pedro's line: ${ultima(deVolta)}`);
    await teclar(pedro, "co", "Enter");
    const folhaPedro = await esperar(naTela(pedro), " -> Nome: Zinco", "Pedro's answer, done");
    verificar(!folhaPedro.join("\n").includes("aaa"), `the message past the size was typed\n${folhaPedro.join("\n")}`);
    await teclar(pedro, "f");

    // Caio's sheet. Meanwhile, connections that are no device's are turned
    // away, and Caio's page sends a malformed size: the room cuts it off
    // too, and it comes back to its sheet.
    await esperar(naTela(caio), "JOGADOR: Caio", "Caio's sheet");
    const token = link.slice(link.indexOf("#") + 1);
    const estranho = await navegador.newPage();
    await estranho.goto(link.replace(/\/#.*/, "/LICENCAS.txt"));
    const outroToken = token.replace(/^./, (c) => (c === "0" ? "1" : "0"));
    const recusas = [
      [[`E${outroToken}`], ["FEste link nao e o desta sala. Peca o link de novo a quem abriu a sala."], "a wrong link"],
      [[`E${token}`], ["FA partida ja comecou: so quem entrou antes pode voltar."], "a newcomer"],
      [[`X${token}`], [], "a message of no known kind"],
      [[`E${token} ${"0".repeat(1100)}`], [], "a first message past 1024 bytes"],
      [[`T${"f".repeat(10)}`], [], "keys before joining"],
    ];
    for (const [mensagens, esperado, caso] of recusas) {
      const r = await conversar(estranho, mensagens);
      verificar(r.fechou && JSON.stringify(r.recebidas) === JSON.stringify(esperado),
        `${caso}: the room answered ${JSON.stringify(r)}, expected ${JSON.stringify(esperado)} and closed`);
    }
    await estranho.close();
    const assentosCaio = caio.assentos;
    await caio.pagina.evaluate(() => globalThis.socketDoTeste.send("D9999999 x"));
    for (let i = 0; i < 100 && caio.assentos === assentosCaio; i++) await dormir(100);
    verificar(caio.assentos > assentosCaio, "Caio's page did not join again after the room cut it off");
    await esperar(naTela(caio), "JOGADOR: Caio", "Caio's sheet after the room cut him off");
    await teclar(caio, "d", "Zulu", "Enter");
    await esperar(naTela(caio), " -> Nome: Zulu", "Caio's answer");
    await teclar(caio, "f");

    // Judging: each judge's panel on the judge's device alone. Caio's
    // score, out of turn, counts for nothing.
    await esperar(naTela(ana), "AVALIANDO AGORA AS RESPOSTAS DE: Pedro", "Ana judges");
    await esperaCerta(pedro, 2, "Ana", "Pedro while Ana judges");
    await esperaCerta(caio, 3, "Ana", "Caio while Ana judges");
    await esperar(telaDaSala(sala), "Vez de: Ana", "the room while Ana judges");
    // Until the first panel, no device had received another's answers.
    const proprias = { Ana: ["Zebra", "Zarco"], Pedro: ["Zinco"], Caio: ["Zulu"] };
    for (const a of todos) {
      const recebido = textoRecebido(a);
      const antesDoPainel = recebido.split("CORRECAO DAS RESPOSTAS")[0];
      const alheias = Object.entries(proprias).filter(([n]) => n !== a.nome).flatMap(([, r]) => r);
      const vistas = alheias.filter((r) => antesDoPainel.includes(r));
      verificar(vistas.length === 0, `${a.nome}'s device received ${vistas.join(", ")} during the sheets`);
    }
    const salaDuranteFolhas = sala.tela();
    verificar(!/Zebra|Zarco|Zinco|Zulu/.test(salaDuranteFolhas), `the room's terminal shows answers\n${salaDuranteFolhas}`);
    await teclar(caio, "99", "Enter");
    await dormir(300);
    for (let i = 0; i < 6; i++) await teclar(ana, "10", "Enter");
    await esperar(naTela(pedro), "AVALIANDO AGORA AS RESPOSTAS DE: Caio", "Pedro judges");
    await esperaCerta(ana, 1, "Pedro", "Ana while Pedro judges");
    for (let i = 0; i < 6; i++) await teclar(pedro, "5", "Enter");
    const painelCaio = await esperar(naTela(caio), "AVALIANDO AGORA AS RESPOSTAS DE: Ana", "Caio judges");
    verificar(painelCaio.includes("    - Nome: Zebra") && painelCaio.includes("    - CEP: Zarco"),
      `Caio's panel does not list Ana's answers\n${painelCaio.join("\n")}`);
    for (let i = 0; i < 6; i++) await teclar(caio, "7", "Enter");

    const resultado1 = ["Ana fez 42 pontos nesta rodada", "Pedro fez 60 pontos nesta rodada",
      "Caio fez 30 pontos nesta rodada", "Ana: 42 pontos no total", "Pedro: 60 pontos no total", "Caio: 30 pontos no total"];
    for (const [nome, ler] of [...todos.map((a) => [a.nome, naTela(a)]), ["the room", telaDaSala(sala)]]) {
      const tela = await esperar(ler, "Pressione ENTER para iniciar a proxima rodada...", `round 1's result on ${nome}`);
      const faltam = resultado1.filter((l) => !tela.includes(l));
      verificar(faltam.length === 0, `round 1's result on ${nome} lacks ${faltam.join("; ")}\n${tela.join("\n")}`);
    }
    // Each panel went to its judge alone.
    const paineis = { Ana: ["Pedro"], Pedro: ["Caio"], Caio: ["Ana"] };
    for (const a of todos) {
      const vistos = [...textoRecebido(a).matchAll(/AVALIANDO AGORA AS RESPOSTAS DE: (\S+)/g)].map((m) => m[1]);
      verificar(JSON.stringify(vistos) === JSON.stringify(paineis[a.nome]),
        `${a.nome}'s device received the panels judging ${JSON.stringify(vistos)}`);
    }
    // The room's Enter moves everyone on, once the result has been read.
    await dormir(1200);
    sala.teclar("Enter");

    // Round 2: the sheets passed at once; the judges score again.
    for (const a of todos) {
      await esperar(naTela(a), `JOGADOR: ${a.nome}`, `round 2, ${a.nome}'s sheet`);
      await teclar(a, "f");
    }
    for (const [juiz, avaliado, nota] of [[ana, "Pedro", "1"], [pedro, "Caio", "0"], [caio, "Ana", "2"]]) {
      await esperar(naTela(juiz), `AVALIANDO AGORA AS RESPOSTAS DE: ${avaliado}`, `round 2, ${juiz.nome} judges`);
      for (let i = 0; i < 6; i++) await teclar(juiz, nota, "Enter");
    }
    await esperar(naTela(caio), "RESULTADO DA RODADA 2", "round 2's result");
    await dormir(1200);
    await teclar(caio, "Enter");

    // The final screen, everywhere.
    const final = ["Ana: 54 pontos", "Pedro: 66 pontos", "Caio: 30 pontos", "VENCEDOR: Pedro!"];
    for (const [nome, ler] of [...todos.map((a) => [a.nome, naTela(a)]), ["the room", telaDaSala(sala)]]) {
      const tela = await esperar(ler, "FIM DE JOGO!", `the final screen on ${nome}`);
      const faltam = final.filter((l) => !tela.includes(l));
      verificar(faltam.length === 0, `the final screen on ${nome} lacks ${faltam.join("; ")}\n${tela.join("\n")}`);
    }
    await esperar(telaDaSala(sala), "A partida terminou. Pressione ENTER para fechar a sala.", "the room at the end");
    // A phone that reloads once nothing more is read gets the final screen.
    await ana.pagina.reload();
    const deNovo = await esperar(naTela(ana), "FIM DE JOGO!", "Ana's phone reloaded at the end");
    verificar(deNovo.includes("VENCEDOR: Pedro!"), `Ana's final screen after a reload\n${deNovo.join("\n")}`);

    // Ctrl-C at the room: every device is told, under its last screen; the
    // room has exited, and its terminal echoes as before.
    sala.teclar("C-c");
    for (const a of todos) {
      let texto = "";
      for (let i = 0; i < 50 && texto === ""; i++) {
        texto = await a.pagina.$eval("#fim-sala", (e) => e.textContent);
        if (texto === "") await dormir(100);
      }
      verificar(texto === "A sala foi encerrada.", `${a.nome}'s device, after Ctrl-C at the room, says ${JSON.stringify(texto)}`);
      const tela = await telaDe(a);
      verificar(tela.includes("VENCEDOR: Pedro!"), `${a.nome}'s last screen is gone after Ctrl-C\n${tela.join("\n")}`);
    }
    const fim = await esperar(telaDaSala(sala), "saiu=0", "the room after Ctrl-C");
    const stty = fim.join(" ");
    verificar(/(^|\s)echo(\s|$)/.test(stty) && /(^|\s)icanon(\s|$)/.test(stty),
      `the room's terminal is left without echo or line mode\n${fim.join("\n")}`);
    for (const a of todos) verificar(a.erros.length === 0, `${a.nome}'s page: ${a.erros.join("; ")}`);
  } finally {
    for (const a of aparelhos) await a.contexto.close();
    sala.fechar();
  }
}

(async () => {
  const navegador = await abrirNavegador();
  try {
    await salaCheia(navegador);
    await partida(navegador);
  } catch (e) {
    if (!(e instanceof Parada)) {
      falhas++;
      console.log(`FAILED: ${e.stack}`);
    }
  } finally {
    await navegador.close();
  }
  console.log(`sala: ${verificados} checks, ${falhas} failed`);
  process.exit(falhas === 0 ? 0 : 1);
})();
