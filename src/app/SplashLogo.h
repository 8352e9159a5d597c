// Holder of the splash logo's texture, loaded before the main loop starts and
// drawn by the splash frame. The texture stays null when the logo could not
// be loaded.
#pragma once

#include "core/Singleton.h"

class Texture;

class SplashLogo : public Singleton<SplashLogo> {
    friend class Singleton<SplashLogo>;

public:
    Texture* GetTexture() const { return texture_; }
    void SetTexture(Texture* texture) { texture_ = texture; }

private:
    SplashLogo() = default;

    Texture* texture_ = nullptr;
};
