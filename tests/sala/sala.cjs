// What the room's test and its load figures share: a room (zova --sala)
// in a real terminal emulator (tmux), and devices in Chromium that join it
// by its link, each a browser context of its own (its own storage, as a
// phone's), whose screens and received messages the test can read.
"use strict";
const { chromium } = require("playwright-core");
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");

const CHROMIUM = process.env.ZOVA_CHROMIUM || "/usr/bin/chromium";
const dormir = (ms) => new Promise((r) => setTimeout(r, ms));

function aspas(texto) {
  return `'${String(texto).replace(/'/g, "'\\''")}'`;
}

// The room in a tmux window of its own server, listening on loopback; when
// it exits the shell says its status and the terminal's settings, and
// stays, so the test can read them. The shell lives through the Ctrl-C
// that goes to the room, whatever shell tmux runs.
function abrirSala(zova, site, nome) {
  const soquete = `zova-sala-${nome}-${process.pid}`;
  const tmux = (...args) => execFileSync("tmux", ["-L", soquete, "-f", "/dev/null", ...args], {
    encoding: "utf8", env: { ...process.env, LC_ALL: "C.UTF-8" } });
  const comando = `trap : INT; ZOVA_PAGINA_SALA=${aspas(site)} ${aspas(zova)} --sala --endereco 127.0.0.1; ` +
    `echo "saiu=$?"; stty -a; sleep 600`;
  tmux("new-session", "-d", "-s", "sala", "-x", "100", "-y", "60", comando);
  const sala = {
    tela: () => tmux("capture-pane", "-p", "-t", "sala"),
    teclar: (...teclas) => tmux("send-keys", "-t", "sala", ...teclas),
    // The server and its socket's file, which tmux leaves behind.
    fechar: () => {
      try {
        tmux("kill-server");
      } catch (e) {
        // Already gone.
      }
      fs.rmSync(path.join(process.env.TMUX_TMPDIR || "/tmp", `tmux-${process.getuid()}`, soquete), { force: true });
    },
    // The room's own process (zova execs zova-sala in the shell's place).
    pid: () => {
      const shell = tmux("display-message", "-p", "-t", "sala", "#{pane_pid}").trim();
      const filhos = fs.readFileSync(`/proc/${shell}/task/${shell}/children`, "utf8").trim().split(/\s+/);
      return filhos.find((p) => p && fs.readFileSync(`/proc/${p}/comm`, "utf8").trim() === "zova-sala");
    },
  };
  return sala;
}

// The link the room's terminal shows, once it shows it.
async function linkDaSala(sala) {
  for (let i = 0; i < 100; i++) {
    const m = /http:\/\/127\.0\.0\.1:[0-9]+\/#[0-9a-f]{32}/.exec(sala.tela());
    if (m) return m[0];
    await dormir(100);
  }
  throw new Error(`the room shows no link:\n${sala.tela()}`);
}

function abrirNavegador() {
  return chromium.launch({ executablePath: CHROMIUM, args: ["--no-sandbox"] });
}

// A device: a context of its own, with its page wrapped as it loads so
// the test reaches the widget (terminalDoTeste) and the room's socket
// (socketDoTeste), and hears every message the room sends it, across
// reloads: the output as text (escape sequences kept), the A and F
// messages each on a line of their own.
async function abrirAparelho(navegador, nome, opcoes) {
  const contexto = await navegador.newContext(opcoes);
  const aparelho = { nome, contexto, pagina: null, recebido: "", assentos: 0, erros: [] };
  await contexto.exposeFunction("registrarDoTeste", (tipo, texto) => {
    if (tipo === "O") aparelho.recebido += texto;
    else aparelho.recebido += `\n[${tipo}${texto}]\n`;
    if (tipo === "A") aparelho.assentos++;
  });
  await contexto.addInitScript(() => {
    const Original = globalThis.WebSocket;
    globalThis.WebSocket = class extends Original {
      constructor(...args) {
        super(...args);
        globalThis.socketDoTeste = this;
        const utf8 = new TextDecoder();
        this.addEventListener("message", (evento) => {
          if (typeof evento.data === "string") {
            globalThis.registrarDoTeste(evento.data.charAt(0), evento.data.slice(1));
          } else {
            const bytes = new Uint8Array(evento.data);
            globalThis.registrarDoTeste("O", utf8.decode(bytes.subarray(1), { stream: true }));
          }
        });
      }
    };
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
      },
    });
  });
  aparelho.pagina = await contexto.newPage();
  // A reload asks first while the match is on: the player says yes.
  aparelho.pagina.on("dialog", (d) => d.accept());
  aparelho.pagina.on("pageerror", (e) => aparelho.erros.push(`page error: ${e.message}`));
  aparelho.pagina.on("console", (m) => {
    if (m.type() === "error") aparelho.erros.push(`console error: ${m.text()}`);
  });
  return aparelho;
}

// The widget's lines, scroll-back included, a wrapped row joined to the one
// it goes on from, blanks at their ends and the blank lines at the end gone.
function telaDe(aparelho) {
  return aparelho.pagina.evaluate(() => {
    const t = globalThis.terminalDoTeste;
    if (!t) return [];
    const b = t.buffer.active;
    const linhas = [];
    for (let i = 0; i < b.length; i++) {
      const linha = b.getLine(i);
      const texto = linha.translateToString(false);
      if (linha.isWrapped && linhas.length > 0) linhas[linhas.length - 1] += texto;
      else linhas.push(texto);
    }
    const saida = linhas.map((l) => l.replace(/\u00a0/g, " ").trimEnd());
    while (saida.length > 0 && saida[saida.length - 1] === "") saida.pop();
    return saida;
  });
}

// What a device received, as text: the escape sequences taken out, so
// that text the room wrote in pieces reads whole.
function textoRecebido(aparelho, desde = 0) {
  return aparelho.recebido.slice(desde).replace(/\x1b\[[0-9;?]*[A-Za-z]/g, "").replace(/\x1b./g, "");
}

module.exports = { abrirSala, linkDaSala, abrirNavegador, abrirAparelho, telaDe, textoRecebido, dormir };
