#!/usr/bin/env bash
# Includes point down the layers, never up: app, ui, tools, render, model, geometry, io, platform.
# X11 headers stay inside platform/. Prints each offending include and fails.
cd "${1:-$(dirname "$0")/../src}" || exit 2
layers=(app ui tools render model geometry io platform)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i"; done; }
bad=0
while read -r file; do
    own=$(rank "${file%%/*}")
    [ -n "$own" ] || { echo "$file: in no layer"; bad=1; continue; }
    while read -r inc; do
        r=$(rank "${inc%%/*}")
        if [ -n "$r" ] && [ "$r" -lt "$own" ]; then echo "$file includes $inc, a layer above it"; bad=1; fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
    if [ "${file%%/*}" != platform ] && grep -qE '^#include <(xcb|X11)/' "$file"; then
        echo "$file reaches X11 outside platform/"; bad=1
    fi
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||')
exit $bad
