#!/usr/bin/env bash
# Includes point down the layers, never up: app, ui, tools, render, model, geometry, io, platform;
# X11 and Wayland headers stay inside platform/. Prints each offending include and fails.
cd "${1:-$(dirname "$0")/../src}" || exit 2
rank() { case $1 in app) echo 0 ;; ui) echo 1 ;; tools) echo 2 ;; render) echo 3 ;; model) echo 4 ;; geometry) echo 5 ;;
    io) echo 6 ;; platform) echo 7 ;; esac; }
bad=0
for file in $(find . -name '*.[ch]*' | sed 's|^\./||'); do
    own=$(rank "${file%%/*}")
    [ -n "$own" ] || { echo "$file: in no layer"; bad=1; }
    for inc in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
        r=$(rank "${inc%%/*}")
        [ -z "$r" ] || [ -z "$own" ] || [ "$r" -ge "$own" ] || { echo "$file includes $inc, a layer above it"; bad=1; }
    done
    [ "${file%%/*}" = platform ] || ! grep -qE '^#include <(xcb|X11|wayland-)' "$file" || { echo "$file reaches X11 or Wayland outside platform/"; bad=1; }
done
exit $bad
