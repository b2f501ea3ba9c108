#include "RootPath.h"

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

bool IsDriveLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

char Upper(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

// Blanks are ASCII, and no byte of a longer UTF-8 character is one: trimming bytes is safe.
CString Trimmed(const CString& text)
{
    int first = 0;
    int last = text.GetLength();
    while (first < last && IsBlank(text.GetAt(first)))
        ++first;
    while (last > first && IsBlank(text.GetAt(last - 1)))
        --last;
    return text.Mid(first, last - first);
}

}  // namespace

CString NormalizeRootText(const CString& typed)
{
    CString text = Trimmed(typed);

    // "/" as a separator, as Windows itself takes it.
    for (int slash = text.Find('/'); slash >= 0; slash = text.Find('/', slash + 1))
        text = text.Left(slash) + "\\" + text.Mid(slash + 1);

    const int n = text.GetLength();
    if (n == 0)
        return CString();
    if (!IsDriveLetter(text.GetAt(0))) {
        // A network folder (\\server\share\...) is a full path too; "\foo" is not.
        if (n > 2 && text.GetAt(0) == '\\' && text.GetAt(1) == '\\' && text.GetAt(2) != '\\' &&
            text.GetAt(2) != '?' && text.GetAt(2) != '.')
            return text;
        return CString();
    }
    CString drive;
    drive += Upper(text.GetAt(0));
    drive += ":\\";
    if (n == 1)
        return drive;
    if (text.GetAt(1) != ':')
        return CString();
    if (n == 2)
        return drive;
    if (text.GetAt(2) != '\\')
        return CString();  // "C:foo" is relative to the drive's current folder
    return drive + text.Mid(3);
}

CString BadRootText(const CString& typed)
{
    CString shown = NormalizeRootText(typed);
    if (shown.IsEmpty())
        shown = Trimmed(typed);  // as typed, so the user sees what was refused
    if (shown.IsEmpty())
        return "请选择一个磁盘。";
    return "无法打开 " + shown + "，请选择一个磁盘。";
}
