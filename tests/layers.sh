#!/usr/bin/env bash
# Fails when a source of the product includes a header from a layer above its
# own, or from a host or tool beside it. The layers, from the bottom:
#
#   base  config  core  seed  picture  render  saver  dialog  | host/win32  host/x11  host/web  tools
#
# Each may include its own folder and the ones to its left; the four on the
# right are peers and include none of each other. Tests, benchmarks and fuzz
# targets stand above everything and are not checked.
#
#   layers.sh ROOT         checks the tree at ROOT
#   layers.sh --self-test  checks that a planted upward include is caught
set -u

layers=(base config core seed picture render saver dialog host/win32 host/x11 host/web tools)
declare -A rank=([base]=0 [config]=1 [core]=2 [seed]=3 [picture]=4 [render]=5 [saver]=6 [dialog]=7
                 [host/win32]=8 [host/x11]=8 [host/web]=8 [tools]=8)

# The layer a path inside the tree belongs to, or nothing, into REPLY (no
# subshell: it runs for every include of the tree).
layer_of() {
    local rest
    case $1 in
    host/win32/* | host/x11/* | host/web/*) rest=${1#*/}; REPLY=host/${rest%%/*} ;;
    host/*) REPLY=host ;;
    */*) REPLY=${1%%/*} ;;
    *) REPLY= ;;
    esac
}

# Whether render/NAME.h belongs to the OpenGL 1.1 renderer.
is_gl11() {
    local stem=${1%.*}
    grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("render/gl\.h"|<GL/)' "$stem.h" "$stem.cpp" 2>/dev/null
}

check() {
    local root=$1 bad=0 file from to line target
    cd "$root" || return 2
    while IFS= read -r file; do
        layer_of "$file"
        from=$REPLY
        while IFS= read -r line; do
            target=${line#*\"}
            target=${target%%\"*}
            layer_of "$target"
            to=$REPLY
            [ -z "$to" ] && continue  # beside the including file
            if [ "$to" = render ] && [ "$from" = render ]; then
                case $file:$target in
                render/gles3/*:render/gles3/*) ;;
                render/gles3/*:*) if is_gl11 "$target"; then
                    echo "$file: $target: the OpenGL ES renderer includes none of the OpenGL 1.1 one"
                    bad=1
                fi ;;
                *:render/gles3/*)
                    echo "$file: $target: the OpenGL 1.1 renderer includes none of the OpenGL ES one"
                    bad=1 ;;
                esac
            fi
            if [ "$to" = "$from" ]; then continue; fi
            if [ "$from" = host ] || [ "$to" = host ]; then
                echo "$file: $target: files of one host belong in that host's folder"
                bad=1
            elif [ -z "${rank[$to]+x}" ]; then
                echo "$file: $target: not a layer of the product"
                bad=1
            elif [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
                echo "$file: $target: $to is not below $from"
                bad=1
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
    done < <(find "${layers[@]%%/*}" -type f \( -name '*.h' -o -name '*.c' -o -name '*.cpp' -o -name '*.rc' \) \
        2>/dev/null | sort -u)
    return $bad
}

if [ "${1:-}" = --self-test ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/core" "$scratch/render" "$scratch/host/x11" "$scratch/tools"
    printf '#include "core/rules.h"\n' >"$scratch/render/scene.h"
    printf '#include <vector>\n#include "render/scene.h"\n' >"$scratch/host/x11/main.cpp"
    (check "$scratch") >/dev/null || { echo "self-test: a tree that keeps the order was refused"; exit 1; }
    mkdir -p "$scratch/render/gles3"
    printf '#include <GL/gl.h>\n' >"$scratch/render/gl.h"
    printf '#include "render/gl.h"\n' >"$scratch/render/scene.cpp"
    printf '#include "render/cell_walk.h"\n' >"$scratch/render/gles3/gles3_renderer.cpp"
    (check "$scratch") >/dev/null || { echo "self-test: a tree that keeps the renderers apart was refused"; exit 1; }
    planted=("core/automaton.h:#include \"render/scene.h\""
             "render/gles3/shaded.cpp:#include \"render/scene.h\""
             "render/cell_walk.h:#include \"render/gles3/gles3_renderer.h\""
             "tools/main.cpp:  #  include \"host/x11/main.cpp\"")
    for plant in "${planted[@]}"; do
        printf '%s\n' "${plant#*:}" >"$scratch/${plant%%:*}"
        if (check "$scratch") >/dev/null; then
            echo "self-test: the planted include in ${plant%%:*} went through"
            exit 1
        fi
        rm "$scratch/${plant%%:*}"
    done
    echo "1 passed, 0 failed"
    exit 0
fi

if check "$1"; then
    echo "1 passed, 0 failed"
else
    echo "includes that point up the layers: see above"
    exit 1
fi
