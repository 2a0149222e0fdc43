# Sourced by the test scripts: what a test does when something it needs is
# missing. It skips (status 77) and says why, or, where every tool must be
# there (ZOVA_EXIGIR_FERRAMENTAS=1, as in CI), it fails.
#   pular REASON [WHAT_IS_MISSING]     falta TOOL
pular() {
  if [ "${ZOVA_EXIGIR_FERRAMENTAS:-0}" = 1 ]; then echo "missing: ${2:-$1}"; exit 1; fi
  echo "skipped: $1"
  exit 77
}
falta() { pular "no $1" "$1"; }
