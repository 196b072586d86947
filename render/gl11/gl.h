// The one way into OpenGL 1.1 and GLU for the OpenGL 1.1 renderer. Windows needs
// its own header before the GL headers; nothing outside render/gl11/ includes this.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <GL/gl.h>
#include <GL/glu.h>
