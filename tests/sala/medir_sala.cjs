// The room's figures under a full room: five devices (WebSockets from one
// Chromium page the room served) in a room (zova --sala) in tmux, over
// loopback.
//   - key to echo: a key sent while a line is being typed, until the room's
//     echo of it comes back to the device that typed it (a letter, then a
//     Backspace, so the line stays short), paced under the room's limit of
//     messages per second;
//   - the room's memory (VmRSS, and its peak VmHWM, from /proc): at start,
//     with the five devices in, along the keys, along devices that leave
//     and come back by their secret, and at the end of a whole match of
//     five.
//   node medir_sala.cjs ZOVA SITE_FOLDER [KEYS] [RETURNS]
// Needs playwright-core (NODE_PATH), Chromium and tmux.
"use strict";
const fs = require("fs");
const { abrirSala, linkDaSala, abrirNavegador, dormir } = require("./sala.cjs");

const [zova, site, teclasArg, voltasArg] = process.argv.slice(2);
const TECLAS = Number(teclasArg || 1000);
const VOLTAS = Number(voltasArg || 120);
const DISPOSITIVOS = 5;

function memoria(pid) {
  const status = fs.readFileSync(`/proc/${pid}/status`, "utf8");
  const kib = (campo) => Number(new RegExp(`^${campo}:\\s+(\\d+) kB`, "m").exec(status)[1]);
  return { rss: kib("VmRSS"), pico: kib("VmHWM"), threads: Number(/^Threads:\s+(\d+)/m.exec(status)[1]) };
}
const mib = (kib) => `${(kib / 1024).toFixed(2)} MiB`;

function percentil(ordenados, p) {
  return ordenados[Math.min(ordenados.length - 1, Math.floor((ordenados.length * p) / 100))];
}

(async () => {
  const sala = abrirSala(zova, site, "medir");
  const navegador = await abrirNavegador();
  const linhas = [];
  try {
    const link = await linkDaSala(sala);
    const token = link.slice(link.indexOf("#") + 1);
    let pid;
    for (let i = 0; i < 50 && !pid; i++) {
      pid = sala.pid();
      if (!pid) await dormir(100);
    }
    const inicio = memoria(pid);
    linhas.push(`room at start: VmRSS ${mib(inicio.rss)}, VmHWM ${mib(inicio.pico)}, ${inicio.threads} threads`);

    const pagina = await navegador.newPage();
    await pagina.goto(link.replace(/\/#.*/, "/LICENCAS.txt"));
    // In the page: the devices, each with what it received as text, the
    // time of its last output message and a waiter for the next.
    await pagina.evaluate(({ token, n }) => {
      const aparelhos = [];
      globalThis.aparelhos = aparelhos;
      globalThis.ligar = (i, segredo) => new Promise((pronto) => {
        const a = aparelhos[i] || { texto: "", segredo: null, proxima: null };
        aparelhos[i] = a;
        const ws = new WebSocket(`ws://${location.host}/sala`);
        ws.binaryType = "arraybuffer";
        const utf8 = new TextDecoder();
        a.ws = ws;
        ws.onopen = () => ws.send(`E${token}${segredo ? ` ${segredo}` : ""}`);
        ws.onmessage = (e) => {
          if (typeof e.data === "string") {
            if (e.data.startsWith("A")) {
              a.segredo = e.data.slice(1, 33);
              ws.send("D80 24");
              pronto();
            }
            return;
          }
          a.texto += utf8.decode(new Uint8Array(e.data).subarray(1), { stream: true });
          if (a.texto.length > 200000) a.texto = a.texto.slice(-100000);
          if (a.proxima) {
            const p = a.proxima;
            a.proxima = null;
            p(performance.now());
          }
        };
      });
      globalThis.entrarTodos = async () => {
        for (let i = 0; i < n; i++) await globalThis.ligar(i, null);
      };
      // Waits until device i has received the text since its mark.
      globalThis.esperarTexto = async (i, texto) => {
        for (let k = 0; k < 300; k++) {
          const a = aparelhos[i];
          const visto = a.texto.replace(/\x1b\[[0-9;?]*[A-Za-z]/g, "");
          const pos = visto.lastIndexOf(texto);
          if (pos >= 0) {
            a.texto = "";
            return true;
          }
          await new Promise((r) => setTimeout(r, 50));
        }
        throw new Error(`device ${i + 1} never received ${JSON.stringify(texto)}`);
      };
      globalThis.teclar = (i, teclas) => aparelhos[i].ws.send(`T${teclas}`);
      // Key to echo, paced at one key per intervalo ms.
      globalThis.medirEco = async (i, quantas, intervalo) => {
        const a = aparelhos[i];
        const tempos = [];
        for (let k = 0; k < quantas; k++) {
          const eco = new Promise((r) => (a.proxima = r));
          const t0 = performance.now();
          a.ws.send(k % 2 === 0 ? "Tz" : "T\x7f");
          const t1 = await eco;
          tempos.push(t1 - t0);
          const resta = intervalo - (performance.now() - t0);
          if (resta > 0) await new Promise((r) => setTimeout(r, resta));
        }
        return tempos;
      };
    }, { token, n: DISPOSITIVOS });

    await pagina.evaluate(() => globalThis.entrarTodos());
    const cheios = memoria(pid);
    linhas.push(`${DISPOSITIVOS} devices in: VmRSS ${mib(cheios.rss)}, VmHWM ${mib(cheios.pico)}, ${cheios.threads} threads`);
    sala.teclar("Enter");
    await pagina.evaluate(() => globalThis.esperarTexto(0, "Nome do jogador 1: "));

    // Keys to echo on the first player's name, in blocks, the memory after each.
    const tempos = [];
    const bloco = Math.max(2, Math.floor(TECLAS / 4 / 2) * 2);
    const aoLongo = [];
    for (let feitas = 0; feitas < TECLAS; feitas += bloco) {
      tempos.push(...(await pagina.evaluate((q) => globalThis.medirEco(0, q, 8), Math.min(bloco, TECLAS - feitas))));
      aoLongo.push(memoria(pid).rss);
    }
    tempos.sort((a, b) => a - b);
    const mediana = percentil(tempos, 50);
    linhas.push(`key to echo, ${tempos.length} keys on a line being typed, 5 devices in: median ${mediana.toFixed(2)} ms, ` +
      `p90 ${percentil(tempos, 90).toFixed(2)} ms, p99 ${percentil(tempos, 99).toFixed(2)} ms, ` +
      `max ${tempos[tempos.length - 1].toFixed(2)} ms (goal: median under 20 ms: ${mediana < 20 ? "met" : "NOT met"})`);
    linhas.push(`VmRSS along the keys: ${aoLongo.map(mib).join(", ")}`);

    // Devices that leave and come back by their secret, while player 1
    // types: a waiting device's whole reconnection, again and again.
    const antesDasVoltas = memoria(pid).rss;
    const voltas = [];
    for (let v = 0; v < VOLTAS; v++) {
      await pagina.evaluate(async (i) => {
        const a = globalThis.aparelhos[i];
        const fechou = new Promise((r) => (a.ws.onclose = r));
        a.ws.close();
        await fechou;
        await globalThis.ligar(i, a.segredo);
      }, 1 + (v % (DISPOSITIVOS - 1)));
      if ((v + 1) % Math.max(1, Math.floor(VOLTAS / 3)) === 0) voltas.push(memoria(pid).rss);
    }
    linhas.push(`VmRSS along ${VOLTAS} devices leaving and coming back: ${mib(antesDasVoltas)} before, then ` +
      voltas.map(mib).join(", "));

    // The rest of a whole match of five.
    await pagina.evaluate(async (n) => {
      const t = globalThis.teclar;
      const esperar = globalThis.esperarTexto;
      const nomes = ["Ana", "Bia", "Caio", "Duda", "Eva"];
      t(0, "\x7f".repeat(4) + "Ana\r");
      for (let i = 1; i < n; i++) {
        await esperar(i, `Nome do jogador ${i + 1}: `);
        t(i, `${nomes[i]}\r`);
      }
      for (let rodada = 1; rodada <= 2; rodada++) {
        for (let i = 0; i < n; i++) {
          await esperar(i, `JOGADOR: ${nomes[i]}`);
          for (const [k, resposta] of ["Zebra", "Zinco", "Zarabatana", "Zara", "Zorrilho", "Zinabre"].entries()) {
            t(i, k === 0 ? "d" : "sd");
            await esperar(i, "]: ");
            t(i, `${resposta}\r`);
            await esperar(i, `: ${resposta}`);
          }
          t(i, "f");
        }
        for (let i = 0; i < n; i++) {
          await esperar(i, `AVALIANDO AGORA AS RESPOSTAS DE: ${nomes[(i + 1) % n]}`);
          t(i, "5\r".repeat(6));
        }
        await esperar(0, "Pressione ENTER para iniciar a proxima rodada...");
        await new Promise((r) => setTimeout(r, 1200));
        t(0, "\r");
      }
      for (let i = 0; i < n; i++) await esperar(i, "FIM DE JOGO!");
    }, DISPOSITIVOS);
    const fim = memoria(pid);
    linhas.push(`after a whole match of ${DISPOSITIVOS}: VmRSS ${mib(fim.rss)}, VmHWM ${mib(fim.pico)}, ${fim.threads} threads ` +
      `(goal: under 16 MiB: ${fim.pico < 16 * 1024 ? "met" : "NOT met"})`);
    sala.teclar("Enter");
  } finally {
    await navegador.close();
    sala.fechar();
  }
  for (const l of linhas) console.log(l);
})().catch((e) => {
  console.log(`FAILED: ${e.stack}`);
  process.exit(1);
});
