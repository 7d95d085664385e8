// Chart texts with a small HTML-like markup: sizes (<BIG>, <SMALL>, <H1>..
// <H6>, <SUB>, <SUPER>), styles (<B>, <I>, <U>, <STRIKE>), fonts (<FONT
// NAME= SIZE= COLOR= WEIGHT=>, <PRE>), line breaks (<BR>, <P>, CR LF),
// centring, rules (<HR>) and image placeholders (<IMG>). "</>" closes the
// latest opening tag; "&lt;", "&gt;", "&amp;" and "&quot;" stand for their
// characters.
//
// Both the measuring and the drawing work on the canvas's current font and
// leave it as the tags last set it; callers apply their own font first.
#pragma once

#include <string>
#include <string_view>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Colors.h"
#include "platform/rtl/Exceptions.h"

class TUloCanvas;
class TFont;

// A tag without its closing ">". Unknown FONT fields and weights raise the
// general rtl::Exception instead.
class HtmlParserException : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// The size the text takes when drawn from (0, 0), drawing nothing: cx the
// farthest right any run reaches, cy the bottom of the last line.
void MeasureRichText(TUloCanvas &canvas, const std::string &text, gdi::Size &size);
// Draws Text from (X, Y).
void DrawRichText(TUloCanvas &canvas, int x, int y, const std::string &text);
// The common core; nothing is painted unless Draw. Every call starts with
// empty font and tag stacks, so an unclosed tag never reaches another text.
void LayoutRichText(TUloCanvas &canvas, int x, int y, gdi::Size &size, bool draw, const std::string &text);

// Takes the next token off the front of Text: a run of text up to the next
// "<", or a tag up to its first ">". Raises HtmlParserException
// "Missing > at <rest>" for a tag that does not close.
std::string NextRichTextToken(std::string &text);

// Applies the name=value pairs of a "<FONT ...>" tag (everything between
// "<FONT " and the last character) to Font: NAME or FAMILY, SIZE (relative
// with a sign), COLOR and WEIGHT (BOLD, ITALIC, UNDERLINE, STRIKE or NORMAL,
// or several of them separated by commas).
void ApplyFontTagAttributes(TFont &font, std::string_view attributes);

// BLACK, RED, BLUE, YELLOW, WHITE, GREEN, LIME, #RRGGBB, colour constant
// names (clBtnFace, any case) or integers ($00FF00, 255). Anything else
// raises rtl::EConvertError.
TColor ParseColorName(std::string_view text);

std::string DecodeEntities(std::string text);
