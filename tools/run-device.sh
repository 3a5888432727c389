#!/usr/bin/env bash
# ./dev run: the default device (made and filled on first use), its messaging service, and
# velmora on the phone screen. The service stops when velmora ends.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$top/build/bin"
device="${VELMORA_DEVICE:-$HOME/.local/share/velmora/device}"
export VELMORA_DEVICE="$device"

if [ ! -f "$device/registry.reg" ]; then
  "$bin/phonesim" init
fi
"$bin/phonesim" install

"$bin/phonesim" serve &
service=$!
trap 'kill "$service" 2>/dev/null || true; wait "$service" 2>/dev/null || true' EXIT

# Without a display the phone screen still runs, offscreen; phonesim drives and shows it.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
  echo "run: no display, so the phone screen runs offscreen; try" >&2
  echo "  build/bin/phonesim ui    build/bin/phonesim key Soft2    build/bin/phonesim screenshot shot.png" >&2
fi
"$bin/velmora" "$@"
