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

"$bin/velmora" "$@"
