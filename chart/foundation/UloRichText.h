// Chart texts with a small HTML-like markup (sizes, styles, colours, line
// breaks, centring, rules and images).
#pragma once

#include <string>

class TUloCanvas;

// Draws Text from (X, Y) on the canvas's current font, switching fonts as
// the tags ask.
void DrawRichText(TUloCanvas &canvas, int x, int y, const std::string &text);
