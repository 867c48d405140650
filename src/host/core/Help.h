#pragma once

#include <functional>

// F1 in a host window asks for its help context. Without a handler the person is told the
// topic number (the help file itself is not part of this program).
void ShowHelpContext(int context);
void SetHelpHandler(std::function<void(int context)> handler);
