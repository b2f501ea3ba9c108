#include "ConsoleLine.h"

int ConsoleCells(wchar_t ch)
{
    const unsigned c = static_cast<unsigned>(ch);
    if (c >= 0xD800 && c <= 0xDBFF)
        return 2;  // the pair's first half: the pair is one wide character
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 0;
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
                      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
    return wide ? 2 : 1;
}

std::wstring FitToCells(const std::wstring& text, int cells)
{
    std::wstring line;
    int used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int need = ConsoleCells(text[i]);
        if (used + need > cells)
            break;
        line += text[i];
        used += need;
        // A pair's second half goes with its first.
        if (need == 2 && text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size())
            line += text[++i];
    }
    line.append(static_cast<size_t>(cells - used), L' ');
    return line;
}
