// How a present's 16-bit back buffer reaches the renderer: uploaded once as it is, into a
// texture of its own format where the renderer has one, or handed to OpenGL as 5-6-5 pixels for
// the graphics card to widen; elsewhere SDL converts it on the processor.
#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstring>

#include "engine/platform/log.h"
#include "engine/platform/sdl_internal.h"

namespace {

// The few OpenGL calls the upload needs, from the renderer's own library.
struct GlCalls {
    void(APIENTRY* pixelStore)(GLenum, GLint) = nullptr;
    void(APIENTRY* getInteger)(GLenum, GLint*) = nullptr;
    GLenum(APIENTRY* getError)() = nullptr;
    void(APIENTRY* texSubImage)(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum,
                                const void*) = nullptr;

    bool Load() {
        pixelStore = reinterpret_cast<decltype(pixelStore)>(SDL_GL_GetProcAddress("glPixelStorei"));
        getInteger = reinterpret_cast<decltype(getInteger)>(SDL_GL_GetProcAddress("glGetIntegerv"));
        getError = reinterpret_cast<decltype(getError)>(SDL_GL_GetProcAddress("glGetError"));
        texSubImage =
            reinterpret_cast<decltype(texSubImage)>(SDL_GL_GetProcAddress("glTexSubImage2D"));
        return pixelStore && getInteger && getError && texSubImage;
    }
};

GlCalls gGl;

bool takesRgb565(const SDL_RendererInfo& info) {
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == SDL_PIXELFORMAT_RGB565) return true;
    return false;
}

}  // namespace

SDL_Texture* presentCreateTexture(SDL_Renderer* renderer, int width, int height, bool* glUpload) {
    *glUpload = false;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) info = SDL_RendererInfo{};
    // The desktop OpenGL renderer has no 16-bit textures, but OpenGL itself takes 5-6-5 pixels.
    if (!takesRgb565(info) && info.name && strcmp(info.name, "opengl") == 0 && gGl.Load()) {
        SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                                 SDL_TEXTUREACCESS_STREAMING, width, height);
        if (texture) {
            *glUpload = true;
            return texture;
        }
    }
    return SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width,
                             height);
}

bool presentUpload(SDL_Renderer* renderer, SDL_Texture** texture, bool* glUpload,
                   const uint16_t* pixels, int width, int height, int pitchBytes) {
    if (*glUpload) {
        if (SDL_GL_BindTexture(*texture, nullptr, nullptr) == 0) {
            while (gGl.getError() != GL_NO_ERROR) {
            }
            // Without non-power-of-two textures the renderer keeps rectangle textures.
            GLint bound = 0;
            gGl.getInteger(GL_TEXTURE_BINDING_2D, &bound);
            gGl.pixelStore(GL_UNPACK_ALIGNMENT, 2);
            gGl.pixelStore(GL_UNPACK_ROW_LENGTH, pitchBytes / 2);
            gGl.texSubImage(bound ? GL_TEXTURE_2D : GL_TEXTURE_RECTANGLE_ARB, 0, 0, 0, width,
                            height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels);
            gGl.pixelStore(GL_UNPACK_ROW_LENGTH, 0);
            const GLenum error = gGl.getError();
            SDL_GL_UnbindTexture(*texture);
            if (error == GL_NO_ERROR) return true;
            logPrintf("platPresent: OpenGL refused 16-bit pixels (error 0x%x); converting them "
                      "from now on\n", error);
        }
        // From here on SDL converts, into a texture of the back buffer's format.
        *glUpload = false;
        SDL_DestroyTexture(*texture);
        *texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     width, height);
        if (!*texture) return false;
    }
    return SDL_UpdateTexture(*texture, nullptr, pixels, pitchBytes) == 0;
}
