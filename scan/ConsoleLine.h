// One line of a console, as the console draws it: each character takes one cell, or two for
// the wide characters of East Asian scripts (and those outside the Basic Multilingual Plane,
// emoji among them). A progress line rewritten in place must fit the window's width in cells,
// or it wraps and the console scrolls a new line at every rewrite. Pure rules.
#pragma once

#include <string>

// The cells that ch (a UTF-16 unit; a surrogate counts for its pair) takes.
int ConsoleCells(wchar_t ch);
// text cut to at most cells cells (never between the halves of a surrogate pair), then filled
// with blanks to exactly that many.
std::wstring FitToCells(const std::wstring& text, int cells);
