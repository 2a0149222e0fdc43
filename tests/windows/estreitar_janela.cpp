// Makes the console's window narrower than its screen buffer, for
// tests/windows/partida_wine.sh: the window keeps the given number of
// columns, the buffer its width, so rows still wrap at the buffer's width
// while the window shows fewer. Status 1 when the console refuses.
//   estreitar_janela.exe COLUNAS

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (argc != 2 || !GetConsoleScreenBufferInfo(console, &info)) return 2;
    SMALL_RECT janela = info.srWindow;
    janela.Right = static_cast<SHORT>(janela.Left + atoi(argv[1]) - 1);
    if (janela.Right < janela.Left || janela.Right >= info.dwSize.X) return 2;
    if (!SetConsoleWindowInfo(console, TRUE, &janela) || !GetConsoleScreenBufferInfo(console, &info)) return 1;
    return info.srWindow.Right - info.srWindow.Left + 1 == atoi(argv[1]) ? 0 : 1;
}
