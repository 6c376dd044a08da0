#pragma once

// The off-screen OpenGL renderer, loaded at run time: gravik and gravik-cli must start on a
// machine without it, where 3D layers then stay empty. The library is opened on first use and
// every entry point the 3D drawing needs is resolved once into YKOSMesa.

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <string>

struct YKOSMesa {
    // --- Contexts
    OSMesaContext (*CreateContextExt)(GLenum format, GLint depthBits, GLint stencilBits,
                                      GLint accumBits, OSMesaContext sharelist);
    GLboolean (*MakeCurrent)(OSMesaContext context, void* buffer, GLenum type, GLsizei width,
                             GLsizei height);
    void (*PixelStore)(GLint name, GLint value);
    void (*DestroyContext)(OSMesaContext context);
    OSMesaContext (*GetCurrentContext)();

    // --- OpenGL 1.x
    void (*Enable)(GLenum capability);
    void (*Disable)(GLenum capability);
    void (*ShadeModel)(GLenum mode);
    void (*Lightfv)(GLenum light, GLenum name, const GLfloat* values);
    void (*LightModelfv)(GLenum name, const GLfloat* values);
    void (*CullFace)(GLenum mode);
    void (*ReadBuffer)(GLenum mode);
    void (*DrawBuffer)(GLenum mode);
    void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*MatrixMode)(GLenum mode);
    void (*ClearColor)(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
    void (*Clear)(GLbitfield mask);
    void (*PushMatrix)();
    void (*PopMatrix)();
    void (*LoadIdentity)();
    void (*Rotatef)(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
    void (*Materialfv)(GLenum face, GLenum name, const GLfloat* values);
    void (*Color3f)(GLfloat red, GLfloat green, GLfloat blue);
    void (*Normal3f)(GLfloat x, GLfloat y, GLfloat z);
    void (*Vertex3f)(GLfloat x, GLfloat y, GLfloat z);
    void (*Begin)(GLenum mode);
    void (*End)();
    void (*GetFloatv)(GLenum name, GLfloat* values);
    void (*Finish)();
    void (*Flush)();
};

// The entry points, loaded on the first call; null when the library or one of them is
// missing. The first failure prints its reason on one line.
const YKOSMesa* yk_osmesa();
// Why the last load failed; empty after a success or before any load.
std::string yk_osmesa_error();
// Loads `library` from the next call on instead of the system's ("libOSMesa.so.8", then
// "libOSMesa.so", or $GRAVIK_OSMESA_LIBRARY when set); null returns to those. The library
// loaded earlier stays open, as contexts may still use it.
void yk_osmesa_use_library(const char* library);
