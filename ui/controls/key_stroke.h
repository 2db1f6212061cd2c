// ReadKeyStroke: a queued key message with the modifiers held when it was
// retrieved. User-interface thread (the thread's key state is read).
#pragma once

#include <windows.h>

#include "ui/core/frame_keys.h"

KeyStroke ReadKeyStroke(const MSG& msg);

// A key-down message of a frame key (IsFrameKey).
bool IsFrameKeyMessage(const MSG& msg);
