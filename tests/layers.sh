#!/usr/bin/env bash
# Fails when a source of the product includes a header from a layer above its
# own, or from a host or tool beside it. The layers, from the bottom:
#
#   base  config  core  seed  picture  render  saver  dialog  | host/win32  host/x11  host/web  tools
#
# Each may include its own folder and the ones to its left; the four on the
# right are peers and include none of each other. Inside render/ the two
# renderers, render/gl11 (OpenGL 1.1) and render/gles3 (OpenGL ES 3.0), include
# none of each other, and render/ itself includes neither. Everything below the
# renderers, render/ itself included, draws nothing: no GL, GL ES or EGL header.
# Tests, benchmarks and fuzz targets stand above everything and are not checked.
#
#   layers.sh ROOT         checks the tree at ROOT
#   layers.sh --self-test  checks that a planted include across each boundary is caught
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

# The part of render/ a path is in: gl11, gles3 or the shared files (render),
# into REPLY.
render_part() {
    case $1 in
    render/gl11/*) REPLY=gl11 ;;
    render/gles3/*) REPLY=gles3 ;;
    *) REPLY=render ;;
    esac
}

check() {
    local root=$1 bad=0 file from from_part gl_free line target to
    local angle='^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]*)>'
    cd "$root" || return 2
    while IFS= read -r file; do
        layer_of "$file"
        from=$REPLY
        render_part "$file"
        from_part=$REPLY
        gl_free=
        if [ "$from" = render ]; then
            [ "$from_part" = render ] && gl_free=1
        elif [ -n "${rank[$from]+x}" ] && [ "${rank[$from]}" -lt "${rank[render]}" ]; then
            gl_free=1
        fi
        while IFS= read -r line; do
            if [[ $line =~ $angle ]]; then  # only the GL headers are listed
                if [ -n "$gl_free" ]; then
                    echo "$file: <${BASH_REMATCH[1]}>: $from draws nothing and includes no GL header"
                    bad=1
                fi
                continue
            fi
            target=${line#*\"}
            target=${target%%\"*}
            layer_of "$target"
            to=$REPLY
            [ -z "$to" ] && continue  # beside the including file
            if [ "$to" = render ] && [ "$from" = render ]; then
                render_part "$target"
                if [ "$REPLY" != render ] && [ "$REPLY" != "$from_part" ]; then
                    if [ "$from_part" = render ]; then
                        echo "$file: $target: the shared render files include neither renderer"
                    else
                        echo "$file: $target: render/$from_part includes nothing of render/$REPLY"
                    fi
                    bad=1
                fi
                continue
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
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*("|<(GL|GLES[0-9]*|EGL|KHR)/)' "$file")
    done < <(find "${layers[@]%%/*}" -type f \( -name '*.h' -o -name '*.c' -o -name '*.cpp' -o -name '*.rc' \) \
        2>/dev/null | sort -u)
    return $bad
}

if [ "${1:-}" = --self-test ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    plant() { mkdir -p "$(dirname "$scratch/$1")" && printf '%s\n' "$2" >>"$scratch/$1"; }
    # A tree that keeps every boundary: each include here is one the product may make.
    plant config/settings.h '#include "base/clock.h"'
    plant picture/bmp_reader.h '#include "base/message_sink.h"'
    plant picture/pictures.cpp '#include "config/settings.h"'
    plant render/renderer.h '#include "core/automaton.h"'
    plant render/renderer.h '#include "picture/bmp_reader.h"'
    plant render/cell_walk.h '#include "render/cell_colours.h"'
    plant render/gl11/gl.h '#include <GL/gl.h>'
    plant render/gl11/scene.cpp '#include "render/gl11/gl.h"'
    plant render/gl11/scene.cpp '#include "render/cell_walk.h"'
    plant render/gles3/gles3_api.h '#include <GLES3/gl3.h>'
    plant render/gles3/egl_surface.cpp '#include <EGL/egl.h>'
    plant render/gles3/gles3_renderer.cpp '#include "render/gles3/gles3_api.h"'
    plant render/gles3/gles3_renderer.cpp '#include "render/renderer.h"'
    plant saver/saver_session.h '#include "render/gl11/scene.h"'
    plant host/x11/main.cpp '#include <GL/glx.h>'
    plant host/x11/main.cpp '#include "render/gl11/scene.h"'
    plant host/web/page_gl.cpp '#include <GLES3/gl3.h>'
    plant tools/main.cpp '#include "render/gles3/egl_surface.h"'
    if ! out=$(check "$scratch"); then
        printf 'self-test: a tree that keeps every boundary was refused:\n%s\n' "$out"
        exit 1
    fi
    # One include across each boundary, with what the check must say of it.
    planted=("seed/field_setup.cpp|#include \"render/renderer.h\"|render is not below seed"
             "render/cell_walk.h|#include \"render/gl11/cell_drawing.h\"|include neither renderer"
             "render/renderer.h|#include \"render/gles3/gles3_api.h\"|include neither renderer"
             "render/cell_colours.cpp|#include <GL/gl.h>|includes no GL header"
             "render/gl11/scene.cpp|#include \"render/gles3/gles3_api.h\"|render/gl11 includes nothing of render/gles3"
             "render/gles3/shaded.cpp|#include \"render/gl11/scene.h\"|render/gles3 includes nothing of render/gl11"
             "picture/pictures.cpp|#include \"render/cell_colours.h\"|render is not below picture"
             "picture/picture_reduce.cpp|#include <GL/gl.h>|includes no GL header"
             "picture/picture_worker.cpp|  #  include <GLES3/gl3.h>|includes no GL header"
             "tools/main.cpp|  #  include \"host/x11/main.cpp\"|host/x11 is not below tools"
             "host/web/page_gl.cpp|#include \"host/x11/main.cpp\"|host/x11 is not below host/web")
    trap 'rm -rf "$scratch" "$scratch.plant"' EXIT
    passed=0 failed=0
    for entry in "${planted[@]}"; do
        file=${entry%%|*}
        rest=${entry#*|}
        include=${rest%%|*}
        said=${rest#*|}
        cp -a "$scratch" "$scratch.plant"
        mkdir -p "$(dirname "$scratch.plant/$file")"
        printf '%s\n' "$include" >>"$scratch.plant/$file"
        if out=$(check "$scratch.plant"); then
            echo "self-test: $include in $file went through"
            failed=$((failed + 1))
        elif [[ $out != *"$file: "*"$said"* ]]; then
            printf 'self-test: %s in %s was refused for another reason:\n%s\n' "$include" "$file" "$out"
            failed=$((failed + 1))
        else
            passed=$((passed + 1))
        fi
        rm -rf "$scratch.plant"
    done
    echo "$((passed + 1)) passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
fi

if check "$1"; then
    echo "1 passed, 0 failed"
else
    echo "includes that point up the layers: see above"
    exit 1
fi
