// The OpenGL ES 3.0 entry points the second renderer uses, looked up by name
// through the loader of the context (eglGetProcAddress, or the browser's
// WebGL 2 bindings), never linked directly: a process may hold an OpenGL 1.1
// library beside it whose functions carry the same names.
#pragma once

#define GL_GLES_PROTOTYPES 0
#include <GLES3/gl3.h>

#include <string>

namespace orvex {

using Gles3ProcLoader = void* (*)(const char* name);

#define ORVEX_GLES3_FUNCTIONS(F)                                 \
    F(ActiveTexture, PFNGLACTIVETEXTUREPROC)                     \
    F(AttachShader, PFNGLATTACHSHADERPROC)                       \
    F(BindBuffer, PFNGLBINDBUFFERPROC)                           \
    F(BindFramebuffer, PFNGLBINDFRAMEBUFFERPROC)                 \
    F(BindRenderbuffer, PFNGLBINDRENDERBUFFERPROC)               \
    F(BindTexture, PFNGLBINDTEXTUREPROC)                         \
    F(BindVertexArray, PFNGLBINDVERTEXARRAYPROC)                 \
    F(BlendFunc, PFNGLBLENDFUNCPROC)                             \
    F(BlitFramebuffer, PFNGLBLITFRAMEBUFFERPROC)                 \
    F(BufferData, PFNGLBUFFERDATAPROC)                           \
    F(BufferSubData, PFNGLBUFFERSUBDATAPROC)                     \
    F(CheckFramebufferStatus, PFNGLCHECKFRAMEBUFFERSTATUSPROC)   \
    F(Clear, PFNGLCLEARPROC)                                     \
    F(ClearColor, PFNGLCLEARCOLORPROC)                           \
    F(ClearDepthf, PFNGLCLEARDEPTHFPROC)                         \
    F(CompileShader, PFNGLCOMPILESHADERPROC)                     \
    F(CreateProgram, PFNGLCREATEPROGRAMPROC)                     \
    F(CreateShader, PFNGLCREATESHADERPROC)                       \
    F(DeleteBuffers, PFNGLDELETEBUFFERSPROC)                     \
    F(DeleteFramebuffers, PFNGLDELETEFRAMEBUFFERSPROC)           \
    F(DeleteProgram, PFNGLDELETEPROGRAMPROC)                     \
    F(DeleteRenderbuffers, PFNGLDELETERENDERBUFFERSPROC)         \
    F(DeleteShader, PFNGLDELETESHADERPROC)                       \
    F(DeleteTextures, PFNGLDELETETEXTURESPROC)                   \
    F(DeleteVertexArrays, PFNGLDELETEVERTEXARRAYSPROC)           \
    F(Disable, PFNGLDISABLEPROC)                                 \
    F(DrawArrays, PFNGLDRAWARRAYSPROC)                           \
    F(DrawElements, PFNGLDRAWELEMENTSPROC)                       \
    F(Enable, PFNGLENABLEPROC)                                   \
    F(EnableVertexAttribArray, PFNGLENABLEVERTEXATTRIBARRAYPROC) \
    F(Finish, PFNGLFINISHPROC)                                   \
    F(FramebufferRenderbuffer, PFNGLFRAMEBUFFERRENDERBUFFERPROC) \
    F(FramebufferTexture2D, PFNGLFRAMEBUFFERTEXTURE2DPROC)       \
    F(GenBuffers, PFNGLGENBUFFERSPROC)                           \
    F(GenFramebuffers, PFNGLGENFRAMEBUFFERSPROC)                 \
    F(GenRenderbuffers, PFNGLGENRENDERBUFFERSPROC)               \
    F(GenTextures, PFNGLGENTEXTURESPROC)                         \
    F(GenVertexArrays, PFNGLGENVERTEXARRAYSPROC)                 \
    F(GetError, PFNGLGETERRORPROC)                               \
    F(GetIntegerv, PFNGLGETINTEGERVPROC)                         \
    F(GetProgramInfoLog, PFNGLGETPROGRAMINFOLOGPROC)             \
    F(GetProgramiv, PFNGLGETPROGRAMIVPROC)                       \
    F(GetShaderInfoLog, PFNGLGETSHADERINFOLOGPROC)               \
    F(GetShaderiv, PFNGLGETSHADERIVPROC)                         \
    F(GetString, PFNGLGETSTRINGPROC)                             \
    F(GetUniformLocation, PFNGLGETUNIFORMLOCATIONPROC)           \
    F(LinkProgram, PFNGLLINKPROGRAMPROC)                         \
    F(PixelStorei, PFNGLPIXELSTOREIPROC)                         \
    F(ReadPixels, PFNGLREADPIXELSPROC)                           \
    F(RenderbufferStorage, PFNGLRENDERBUFFERSTORAGEPROC)         \
    F(ShaderSource, PFNGLSHADERSOURCEPROC)                       \
    F(TexImage2D, PFNGLTEXIMAGE2DPROC)                           \
    F(TexParameteri, PFNGLTEXPARAMETERIPROC)                     \
    F(TexSubImage2D, PFNGLTEXSUBIMAGE2DPROC)                     \
    F(Uniform1f, PFNGLUNIFORM1FPROC)                             \
    F(Uniform1fv, PFNGLUNIFORM1FVPROC)                           \
    F(Uniform1i, PFNGLUNIFORM1IPROC)                             \
    F(Uniform1iv, PFNGLUNIFORM1IVPROC)                           \
    F(Uniform2f, PFNGLUNIFORM2FPROC)                             \
    F(Uniform3f, PFNGLUNIFORM3FPROC)                             \
    F(Uniform3fv, PFNGLUNIFORM3FVPROC)                           \
    F(Uniform4fv, PFNGLUNIFORM4FVPROC)                           \
    F(UniformMatrix4fv, PFNGLUNIFORMMATRIX4FVPROC)               \
    F(UseProgram, PFNGLUSEPROGRAMPROC)                           \
    F(VertexAttribPointer, PFNGLVERTEXATTRIBPOINTERPROC)         \
    F(Viewport, PFNGLVIEWPORTPROC)

struct Gles3Api {
#define ORVEX_GLES3_MEMBER(name, type) type name = nullptr;
    ORVEX_GLES3_FUNCTIONS(ORVEX_GLES3_MEMBER)
#undef ORVEX_GLES3_MEMBER

    // Looks every entry point up; false, with the first missing name in
    // missing, when the loader lacks one.
    bool load(Gles3ProcLoader loader, std::string* missing);
    // Drops the errors earlier calls left behind (a context keeps a few at most).
    void clear_errors() const;
};

}  // namespace orvex
