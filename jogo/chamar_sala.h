// zova --sala: the room is a program of its own (zova-sala), built where
// its libraries are; the game hands the command line over to it.
#pragma once

// Replaces this process with the room, given the arguments after --sala;
// returns only when there is no room to run, with the status to exit with.
int chamarSala(int argc, char* argv[]);
