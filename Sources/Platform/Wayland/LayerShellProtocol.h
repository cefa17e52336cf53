#pragma once

// The generated layer-shell header names a parameter "namespace", which C++
// reserves; it is renamed while the header is read.
#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
