#pragma once
// Every user action runs inside one guard: an escaping error never crosses the
// event loop; its text is shown in a message box instead.
#include <functional>

#include "common/Prompts.h"

// Runs the action; returns false when it raised (the error has been shown).
bool RunGuarded(Prompts& prompts, const std::function<void()>& action);
