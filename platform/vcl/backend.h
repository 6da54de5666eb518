// What the layer's units share behind the public headers: the SDL stand-ins chosen by default
// and the registry of live forms.
#pragma once
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"

namespace Platform {
WindowSystem& SdlWindowSystem();
DialogSource& SdlDialogs();
// Starts SDL's video once; false (with the reason on standard error) when there is no display.
bool StartSdlVideo();
bool FormAlive(const TForm* form);
}  // namespace Platform
