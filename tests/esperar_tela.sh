# Sourced by the scripts that play the game in a terminal emulator: waits
# up to 10 s for the screen, as the script's own `tela` function reads it,
# to show a text; fails with the screen otherwise.
#   esperar TEXT
esperar() {
  for _ in $(seq 100); do
    tela | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  echo "FAILED: waiting for $1"; tela; exit 1
}
