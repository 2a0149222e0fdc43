// Secrets from the operating system's generator: the link's token and each
// seat's secret.
#pragma once

// digitos lowercase hexadecimal digits (4 random bits each) and a NUL;
// false when the system gave no random bytes.
bool hexAleatorio(char* destino, int digitos);
