// Holder of the splash logo's texture, loaded before the main loop starts and
// drawn by the splash frame. The texture stays null when the logo could not
// be loaded (or there is no drawing device).
#pragma once

#include "core/Singleton.h"
#include "platform/RenderDevice.h"

#include <memory>

class SplashLogo : public Singleton<SplashLogo> {
    friend class Singleton<SplashLogo>;

public:
    platform::Texture* GetTexture() const { return texture_.get(); }
    void SetTexture(std::unique_ptr<platform::Texture> texture) { texture_ = std::move(texture); }

private:
    SplashLogo() = default;

    std::unique_ptr<platform::Texture> texture_;
};
