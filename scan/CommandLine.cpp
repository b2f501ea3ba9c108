#include "CommandLine.h"

#include "JunkFilter.h"
#include "Patterns.h"

namespace {

CString Lower(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char ch = text.GetAt(i);
        out += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return out;
}

// "/Scan" and "-scan" are the switch "scan"; anything else is no switch.
bool SwitchName(const CString& arg, CString* pName)
{
    if (arg.GetLength() < 2 || (arg.GetAt(0) != '/' && arg.GetAt(0) != '-'))
        return false;
    *pName = Lower(arg.Mid(1));
    return true;
}

// "tmp,old,log,~$*" -> {"*.tmp", "*.old", "*.log", "~$*"}: one of the six by its key, a bare
// word as an extension, anything with *, ? or a dot inside as a pattern of the whole name
// (thumbs.db); "none" alone, no
// pattern. False, with *pError, on anything else.
bool ParseTypes(const CString& list, std::vector<CString>* pPatterns, CString* pError)
{
    pPatterns->clear();
    if (Lower(list) == "none")
        return true;
    int start = 0;
    while (start <= list.GetLength()) {
        int comma = list.Find(',', start);
        if (comma < 0)
            comma = list.GetLength();
        const CString typed = TrimBlanks(list.Mid(start, comma - start));
        CString type = Lower(typed);
        if (type.GetLength() > 2 && type.GetAt(0) == '*' && type.GetAt(1) == '.')
            type = type.Mid(2);
        else if (type.GetLength() > 1 && type.GetAt(0) == '.')
            type = type.Mid(1);
        CString pattern;
        for (const char* fixed : kPatterns) {
            if (type == CString(fixed).Mid(2))
                pattern = fixed;
        }
        if (pattern.IsEmpty()) {
            // A dot inside makes it a whole name too (thumbs.db).
            const bool wild = typed.Find('*') >= 0 || typed.Find('?') >= 0 || typed.Find('.', 1) >= 0;
            pattern = wild ? typed : typed.GetLength() > 0 && typed.GetAt(0) == '.' ? "*" + typed : "*." + typed;
            CString why;
            if (typed.IsEmpty() || !IsValidUserPattern(pattern, &why)) {
                *pError = typed.IsEmpty() ? CString("/types 中有空的文件类型。") : why;
                return false;
            }
        }
        bool already = false;
        for (const CString& p : *pPatterns)
            already |= p == pattern;
        if (!already)
            pPatterns->push_back(pattern);
        start = comma + 1;
    }
    return !pPatterns->empty();
}

}  // namespace

bool IsUtf8Switch(const CString& arg)
{
    CString name;
    return SwitchName(arg, &name) && name == "utf8";
}

CCommandLine ParseCommandLine(const std::vector<CString>& args)
{
    CCommandLine cmd;
    bool haveScan = false, haveTypes = false, haveAge = false;
    for (size_t i = 0; i < args.size(); ++i) {
        CString name;
        if (!SwitchName(args[i], &name)) {
            cmd.error = "无法识别的参数：" + args[i];
            return cmd;
        }
        // A switch's value: there, not empty, and given once.
        auto value = [&](CString* pOut) {
            if (!pOut->IsEmpty()) {
                cmd.error = "重复的开关：" + args[i];
                return false;
            }
            if (i + 1 >= args.size() || args[i + 1].IsEmpty()) {
                cmd.error = args[i] + " 后面缺少内容。";
                return false;
            }
            *pOut = args[++i];
            return true;
        };
        if (name == "?" || name == "help" || name == "h") {
            cmd.action = CCommandLine::Action::Help;
            return cmd;
        } else if (name == "addpath" || name == "removepath") {
            if (!value(&cmd.pathFolder))
                return cmd;
            cmd.action = name == "addpath" ? CCommandLine::Action::AddToPath : CCommandLine::Action::RemoveFromPath;
            return cmd;
        } else if (name == "scan") {
            if (!value(&cmd.root))
                return cmd;
            haveScan = true;
        } else if (name == "types") {
            CString list;
            if (haveTypes) {
                cmd.error = "重复的开关：" + args[i];
                return cmd;
            }
            if (!value(&list) || !ParseTypes(list, &cmd.patterns, &cmd.error)) {
                if (cmd.error.IsEmpty())
                    cmd.error = "/types 后面缺少文件类型。";
                return cmd;
            }
            haveTypes = true;
        } else if (name == "exclude") {
            CString folders;
            if (!value(&folders))
                return cmd;
            // Several at once, separated by ";"; the switch may come again.
            for (int at = 0; at <= folders.GetLength();) {
                int semi = folders.Find(';', at);
                if (semi < 0)
                    semi = folders.GetLength();
                const CString one = folders.Mid(at, semi - at);
                if (!one.IsEmpty())
                    cmd.excluded.push_back(one);
                at = semi + 1;
            }
            if (cmd.excluded.empty()) {
                cmd.error = "/exclude 后面缺少文件夹。";
                return cmd;
            }
        } else if (name == "olderthan") {
            CString days;
            if (haveAge) {
                cmd.error = "重复的开关：" + args[i];
                return cmd;
            }
            if (!value(&days))
                return cmd;
            int n = 0;
            bool digits = days.GetLength() <= 5;
            for (int k = 0; k < days.GetLength() && digits; ++k) {
                digits = days.GetAt(k) >= '0' && days.GetAt(k) <= '9';
                n = n * 10 + (days.GetAt(k) - '0');
            }
            if (!digits || n > 36500) {
                cmd.error = "/olderthan 后面应是天数（0 到 36500）：" + days;
                return cmd;
            }
            cmd.olderThanDays = n;
            haveAge = true;
        } else if (name == "places") {
            CString places;
            if (!value(&places))
                return cmd;
            if (Lower(places) != "temp") {
                cmd.error = "未知的位置：" + places + "（只能是 temp）";
                return cmd;
            }
            cmd.bTempFolders = true;
        } else if (name == "recycle") {
            cmd.bRecycle = true;
        } else if (name == "saved") {
            cmd.bSaved = true;
        } else if (name == "delete") {
            cmd.bDelete = true;
        } else if (name == "quiet") {
            cmd.bQuiet = true;
        } else if (name == "utf8") {
            cmd.bUtf8 = true;
        } else if (name == "report") {
            if (!value(&cmd.report))
                return cmd;
        } else {
            cmd.error = "无法识别的开关：" + args[i];
            return cmd;
        }
    }
    if (!haveScan) {
        cmd.error = args.empty() ? CString("请用 /scan 指定要扫描的磁盘或文件夹。") : CString("缺少 /scan <磁盘或文件夹>。");
        return cmd;
    }
    if (!haveTypes)
        cmd.patterns.assign(kPatterns, kPatterns + kPatternCount);
    if (cmd.patterns.empty() && !cmd.bTempFolders && !cmd.bSaved) {
        cmd.error = "/types none 只能与 /places temp 一起使用。";
        return cmd;
    }
    if (cmd.bRecycle && !cmd.bDelete) {
        cmd.error = "/recycle 只能与 /delete 一起使用。";
        return cmd;
    }
    cmd.action = CCommandLine::Action::Scan;
    return cmd;
}

CString UsageText()
{
    return "用法：\r\n"
           "  KelvaroCli /scan <磁盘或文件夹> [/types <类型>] [/exclude <文件夹>] [/olderthan <天数>]\r\n"
           "             [/places temp] [/saved] [/delete [/recycle]] [/report <文件>] [/quiet]\r\n"
           "  KelvaroCli /?\r\n"
           "\r\n"
           "  /scan      要扫描的磁盘（C、C: 或 C:\\）或文件夹的完整路径。\r\n"
           "  /types     只查找这些类型，以逗号分隔：tmp、old、gid、_mp、syd、??~ 六种之一，\r\n"
           "             单词表示扩展名（log 即 *.log），含 *、? 或中间有 . 的表示整个文件名（~$*、thumbs.db）；\r\n"
           "             none 表示不按名称查找（与 /places 一起用）。默认六种全部查找。不区分大小写。\r\n"
           "  /exclude   不进入这些文件夹，多个以 ; 分隔，或重复此开关。\r\n"
           "  /olderthan 只列出至少这么多天前修改的文件（0 表示全部）。\r\n"
           "  /places temp  另外列出用户和系统临时文件夹（在所扫描的范围内）中超过一天未修改的全部文件。\r\n"
           "  /delete    扫描后删除找到的垃圾文件（不放入回收站）。\r\n"
           "  /recycle   与 /delete 一起用：移到回收站，而不是永久删除。\r\n"
           "  /saved     另外使用窗口中“清理规则”保存的规则（自己的文件类型、不扫描的文件夹、天数、临时文件夹）。\r\n"
           "  /report    把每个垃圾文件的路径、大小、结果和所匹配的类型写入 CSV 文件（UTF-8）。\r\n"
           "  /quiet     不显示扫描进度。\r\n"
           "  /utf8      输出被重定向时以 UTF-8 写出（默认用控制台的代码页）。\r\n"
           "  /addpath <文件夹>、/removepath <文件夹>\r\n"
           "            把文件夹加入系统的 PATH 或从中去掉（安装程序用；需要管理员权限），其余各项原样保留。\r\n"
           "\r\n"
           "退出代码：0 完成且没有失败；1 有文件未能删除；2 用法错误或无法打开磁盘（此时未删除任何文件）；3 被用户中止；\r\n"
           "4 报告未能放到指定位置（错误输出说明原因，以及完整报告的临时文件所在）。\r\n";
}
