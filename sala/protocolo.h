// What a device and the room say to each other over the room's WebSocket
// (path /sala). Every message is one frame; its first byte says what it is.
//
// Device to room (text frames, UTF-8):
//   E<token>            joins: the first message, and only the first. The
//   E<token> <segredo>  token is the link's (after the #); segredo, when
//                       the device has one, takes its seat back.
//   T<bytes>            keys, as the terminal widget sends them.
//   D<colunas> <linhas> the widget's size, in decimal.
// Room to device:
//   A<segredo> <n>      (text) the device holds seat n (1 to 5); it keeps
//                       segredo to take the seat back after a reload.
//   O<bytes>            (binary) what to write in the widget.
//   F<texto>            (text) the room turns the device away or has
//                       closed: the text says why, in Portuguese. The
//                       device does not join again by itself.
// A message past MAX_MENSAGEM bytes, of an unknown kind, a second E or
// keys before the first, or more than MAX_MENSAGENS_POR_SEGUNDO in one
// second close the device's connection; its seat stays, to take back.
#pragma once

const char CAMINHO_SALA[] = "/sala";

const char MSG_ENTRAR = 'E';
const char MSG_TECLAS = 'T';
const char MSG_DIMENSOES = 'D';
const char MSG_ASSENTO = 'A';
const char MSG_SAIDA = 'O';
const char MSG_FIM = 'F';

const int TAM_TOKEN = 32;    // 128 bits, in lowercase hexadecimal
const int TAM_SEGREDO = 32;  // 128 bits, in lowercase hexadecimal

const int MAX_MENSAGEM = 1024;
const int MAX_MENSAGENS_POR_SEGUNDO = 200;
