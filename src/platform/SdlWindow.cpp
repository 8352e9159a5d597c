// SDL2 window, GL context and the offscreen picture target.
//
// The picture lives in a framebuffer object (RGBA8 colour, 24-bit depth with
// 8-bit stencil) of the settings' size. Present blits it into the window with
// linear filtering, inside black bars. The blit and the clears here touch a
// few GL states (scissor, write masks, clear values) and put them back, so
// the drawing code's own state survives a frame boundary.
#include "platform/SdlWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>

#ifdef KV_SANITIZE
#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>
#endif

namespace platform {

namespace {

#ifdef KV_SANITIZE
// LeakSanitizer looks for leaks at exit, after SDL has unloaded the GL
// driver: blocks that only the driver's own globals pointed to then look
// leaked, and their frames name no library, so no suppression can match
// them. The sanitizer build therefore keeps every library loaded so far (the
// driver among them) until the process ends: the driver's globals stay
// scanned and its frames stay named for scripts/lsan.supp.
int CollectLibrary(dl_phdr_info* info, std::size_t, void* names)
{
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    }
    return 0;
}

void KeepLibrariesForLeakCheck()
{
    std::vector<std::string> names;
    dl_iterate_phdr(CollectLibrary, &names);
    for (const std::string& name : names) {
        if (void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) {
            dlclose(handle);
        }
    }
}
#else
void KeepLibrariesForLeakCheck() {}
#endif

// GL state that a clear or the blit must override for a moment.
class ClearStateGuard {
public:
    ClearStateGuard()
    {
        scissor_ = glIsEnabled(GL_SCISSOR_TEST);
        glGetBooleanv(GL_COLOR_WRITEMASK, colorMask_);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask_);
        glGetIntegerv(GL_STENCIL_WRITEMASK, &stencilMask_);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor_);
        glGetDoublev(GL_DEPTH_CLEAR_VALUE, &clearDepth_);
        glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &clearStencil_);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glStencilMask(0xFFFFFFFFu);
        glDisable(GL_SCISSOR_TEST);
    }
    ~ClearStateGuard()
    {
        glColorMask(colorMask_[0], colorMask_[1], colorMask_[2], colorMask_[3]);
        glDepthMask(depthMask_);
        glStencilMask(static_cast<GLuint>(stencilMask_));
        glClearColor(clearColor_[0], clearColor_[1], clearColor_[2], clearColor_[3]);
        glClearDepth(clearDepth_);
        glClearStencil(clearStencil_);
        if (scissor_) {
            glEnable(GL_SCISSOR_TEST);
        } else {
            glDisable(GL_SCISSOR_TEST);
        }
    }
    ClearStateGuard(const ClearStateGuard&) = delete;
    ClearStateGuard& operator=(const ClearStateGuard&) = delete;

private:
    GLboolean scissor_ = GL_FALSE;
    GLboolean colorMask_[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLboolean depthMask_ = GL_TRUE;
    GLint stencilMask_ = -1;
    GLfloat clearColor_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    GLdouble clearDepth_ = 1.0;
    GLint clearStencil_ = 0;
};

void ReportSdlFailure(const char* what)
{
    std::fprintf(stderr, "Kostrivane: %s failed: %s\n", what, SDL_GetError());
}

bool HaveFramebufferObjects()
{
    return epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_framebuffer_object");
}

} // namespace

std::unique_ptr<SdlWindow> SdlWindow::Open(const WindowConfig& config)
{
    std::unique_ptr<SdlWindow> window(new SdlWindow(config));
    if (!window->Create()) {
        return nullptr;
    }
    return window;
}

SdlWindow::SdlWindow(const WindowConfig& config) : config_(config) {}

SdlWindow::~SdlWindow()
{
    if (context_) {
        SDL_GL_MakeCurrent(window_, context_);
        DestroyPictureTarget();
        SDL_GL_DeleteContext(context_);
    }
    if (window_) {
        SDL_DestroyWindow(window_);
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool SdlWindow::Create()
{
    // Quit signals are the game's own (platform/QuitRequest.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportSdlFailure("starting SDL video");
        return false;
    }
    videoStarted_ = true;

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    int width = config_.windowWidth > 0 ? config_.windowWidth : config_.width;
    int height = config_.windowHeight > 0 ? config_.windowHeight : config_.height;
    SDL_DisplayMode desktop{};
    if (!config_.windowed && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        // Made at the desktop's size from the start: without a window manager
        // to act on the full-screen request the window would keep its first size.
        width = desktop.w;
        height = desktop.h;
    }
    const Uint32 mode = config_.windowed ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(config_.title.c_str(), 0, 0, width, height, SDL_WINDOW_OPENGL | mode);
    if (!window_) {
        ReportSdlFailure("creating the window");
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        ReportSdlFailure("creating the OpenGL context");
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    KeepLibrariesForLeakCheck();
    SDL_GL_SetSwapInterval(config_.swapInterval);
    SDL_ShowCursor(SDL_DISABLE);

    if (!CreatePictureTarget()) {
        std::fprintf(stderr, "Kostrivane: no framebuffer objects; drawing straight into the window\n");
    }
    BindPicture();
    return true;
}

bool SdlWindow::CreatePictureTarget()
{
    if (!HaveFramebufferObjects()) {
        return false;
    }
    glGenRenderbuffers(1, &colorBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, config_.width, config_.height);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, config_.width, config_.height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        DestroyPictureTarget();
        return false;
    }
    return true;
}

void SdlWindow::DestroyPictureTarget()
{
    if (framebuffer_ != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer_);
    }
    if (colorBuffer_ != 0) {
        glDeleteRenderbuffers(1, &colorBuffer_);
    }
    if (depthBuffer_ != 0) {
        glDeleteRenderbuffers(1, &depthBuffer_);
    }
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
}

void SdlWindow::SetCaption(const std::string& caption)
{
    SDL_SetWindowTitle(window_, caption.c_str());
}

bool SdlWindow::BeginFrame()
{
    if (!context_) {
        return false;
    }
    BindPicture();
    if (!HasPictureTarget()) {
        // The bars are part of the window itself here; keep them black.
        int width = 0;
        int height = 0;
        GetDrawableSize(width, height);
        const ClearStateGuard guard;
        glViewport(0, 0, width, height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        BindPicture();
    }
    return true;
}

void SdlWindow::Clear(std::uint32_t argb)
{
    const ClearStateGuard guard;
    if (!HasPictureTarget()) {
        const PixelRect rect = PictureRectInWindow();
        glScissor(rect.x, rect.y, rect.width, rect.height);
        glEnable(GL_SCISSOR_TEST);
    }
    const auto channel = [argb](int shift) { return static_cast<GLfloat>((argb >> shift) & 0xFFu) / 255.0f; };
    glClearColor(channel(16), channel(8), channel(0), channel(24));
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void SdlWindow::Present()
{
    ComposeToWindow();
    SwapBuffers();
}

void SdlWindow::ComposeToWindow()
{
    if (!HasPictureTarget()) {
        return;
    }
    int width = 0;
    int height = 0;
    GetDrawableSize(width, height);
    const PixelRect rect = PictureRectInWindow();
    const ClearStateGuard guard;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    // Bars only where the picture leaves some: when it fills the window the
    // blit writes every pixel and a clear under it is wasted (about 0.3 ms of
    // processor on llvmpipe at 1024x768, against 2.7 ms for the blit).
    if (!FillsWindow(rect, width, height)) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBlitFramebuffer(0, 0, config_.width, config_.height, rect.x, rect.y, rect.x + rect.width, rect.y + rect.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

void SdlWindow::SwapBuffers()
{
    SDL_GL_SwapWindow(window_);
    BindPicture();
}

void SdlWindow::BindPicture()
{
    if (HasPictureTarget()) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glViewport(0, 0, config_.width, config_.height);
        return;
    }
    const PixelRect rect = PictureRectInWindow();
    glViewport(rect.x, rect.y, rect.width, rect.height);
}

void SdlWindow::SetMouseCaptured(bool captured)
{
    SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::GetDrawableSize(int& width, int& height) const
{
    SDL_GL_GetDrawableSize(window_, &width, &height);
}

PixelRect SdlWindow::PictureRectInWindow() const
{
    int width = 0;
    int height = 0;
    GetDrawableSize(width, height);
    return FitPicture(config_.width, config_.height, width, height);
}

} // namespace platform
