#pragma once

// Whether the current OpenGL context names `extension` (e.g. "GL_ARB_shadow")
// in its extension string. Whole names only: "GL_ARB_shadow" is not found in
// "GL_ARB_shadow_ambient". False without a current context.
bool hasGlExtension(const char *extension);

// Whether the space-separated list `extensions` holds `extension` as a whole name.
bool extensionListHas(const char *extensions, const char *extension);

// Whether a GLUT window, and with it its OpenGL context, is current: GL
// objects can only be deleted then (at program exit the window may be gone).
bool glWindowCurrent();
