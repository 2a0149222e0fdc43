#!/usr/bin/python3
"""Renders a tmux capture (capture-pane -p -e) to a PNG, in the colours of
the classic console palette, so the README shows the game as it looks."""

import re
import sys

from PIL import Image, ImageDraw, ImageFont

# ANSI colour index -> RGB, in the console's palette (ANSI order: black, red,
# green, yellow, blue, magenta, cyan, white; then the bright ones).
PALETA = [
    (12, 12, 12), (197, 15, 31), (19, 161, 14), (193, 156, 0),
    (0, 55, 218), (136, 23, 152), (58, 150, 221), (204, 204, 204),
    (118, 118, 118), (231, 72, 86), (22, 198, 12), (249, 241, 165),
    (59, 120, 255), (180, 0, 158), (97, 214, 214), (242, 242, 242),
]
FONTE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"


def cor(indice, padrao):
    return PALETA[indice] if indice is not None else padrao


def main(entrada, saida, colunas=90, linhas=15):
    fonte = ImageFont.truetype(FONTE, 18)
    largura = fonte.getbbox("M")[2]
    altura = 24
    imagem = Image.new("RGB", (colunas * largura + 24, linhas * altura + 24), PALETA[0])
    desenho = ImageDraw.Draw(imagem)
    texto = open(entrada, encoding="utf-8").read().split("\n")[:linhas]
    frente, fundo = None, None
    for y, linha in enumerate(texto):
        x = 0
        for parte in re.split(r"(\x1b\[[0-9;]*m)", linha):
            if parte.startswith("\x1b["):
                codigos = [int(c) if c else 0 for c in parte[2:-1].split(";")]
                i = 0
                while i < len(codigos):
                    c = codigos[i]
                    if c == 0:
                        frente, fundo = None, None
                    elif 30 <= c <= 37:
                        frente = c - 30
                    elif 90 <= c <= 97:
                        frente = c - 90 + 8
                    elif 40 <= c <= 47:
                        fundo = c - 40
                    elif 100 <= c <= 107:
                        fundo = c - 100 + 8
                    elif c == 39:
                        frente = None
                    elif c == 49:
                        fundo = None
                    elif c in (38, 48) and i + 2 < len(codigos) and codigos[i + 1] == 5:
                        if c == 38:
                            frente = codigos[i + 2] if codigos[i + 2] < 16 else None
                        else:
                            fundo = codigos[i + 2] if codigos[i + 2] < 16 else None
                        i += 2
                    i += 1
                continue
            for caractere in parte:
                px, py = 12 + x * largura, 12 + y * altura
                desenho.rectangle([px, py, px + largura, py + altura], fill=cor(fundo, PALETA[0]))
                desenho.text((px, py + 2), caractere, font=fonte, fill=cor(frente, PALETA[7]))
                x += 1
    imagem.save(saida)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
