#include "CommandLine.h"

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

// "tmp,old" -> {"*.tmp", "*.old"}, each one of the six; false on anything else.
bool ParseTypes(const CString& list, std::vector<CString>* pPatterns, CString* pError)
{
    pPatterns->clear();
    int start = 0;
    while (start <= list.GetLength()) {
        int comma = list.Find(',', start);
        if (comma < 0)
            comma = list.GetLength();
        CString type = Lower(list.Mid(start, comma - start));
        if (type.GetLength() > 2 && type.GetAt(0) == '*' && type.GetAt(1) == '.')
            type = type.Mid(2);
        else if (type.GetLength() > 1 && type.GetAt(0) == '.')
            type = type.Mid(1);
        bool known = false;
        for (const char* pattern : kPatterns) {
            if (type == CString(pattern).Mid(2)) {
                known = true;
                bool already = false;
                for (const CString& p : *pPatterns)
                    already |= p == pattern;
                if (!already)
                    pPatterns->push_back(pattern);
            }
        }
        if (!known) {
            *pError = "未知的文件类型：" + list.Mid(start, comma - start);
            return false;
        }
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
    bool haveScan = false, haveTypes = false;
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
    cmd.action = CCommandLine::Action::Scan;
    return cmd;
}

CString UsageText()
{
    return "用法：\r\n"
           "  KelvaroCli /scan <磁盘或文件夹> [/types tmp,old,gid,_mp,syd,??~] [/delete] [/report <文件>] [/quiet]\r\n"
           "  KelvaroCli /?\r\n"
           "\r\n"
           "  /scan     要扫描的磁盘（C、C: 或 C:\\）或文件夹的完整路径。\r\n"
           "  /types    只查找这些类型，以逗号分隔；默认六种全部查找。\r\n"
           "  /delete   扫描后删除找到的垃圾文件（不放入回收站）。\r\n"
           "  /report   把每个垃圾文件的路径、大小和结果写入 CSV 文件（UTF-8）。\r\n"
           "  /quiet    不显示扫描进度。\r\n"
           "  /utf8     输出被重定向时以 UTF-8 写出（默认用控制台的代码页）。\r\n"
           "  /addpath <文件夹>、/removepath <文件夹>\r\n"
           "            把文件夹加入系统的 PATH 或从中去掉（安装程序用；需要管理员权限），其余各项原样保留。\r\n"
           "\r\n"
           "退出代码：0 完成且没有失败；1 有文件未能删除；2 用法错误或无法打开磁盘（此时未删除任何文件）；3 被用户中止；\r\n"
           "4 报告未能放到指定位置（错误输出说明原因，以及完整报告的临时文件所在）。\r\n";
}
