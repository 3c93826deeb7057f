#pragma once

// The program's exit statuses. --help lists this table and the manual page
// is made from --help, so what a script may rely on is written in one place.
namespace ExitCode {

enum : int {
    Ok = 0,
    Failed = 1,
    Unusable = 2,
};

// Meanings of one code follow each other; --help joins them on one line.
struct Meaning
{
    int code;
    const char16_t *text;
};

inline constexpr Meaning meanings[] = {
    { Ok, u"完成" },
    { Failed, u"没有做成；--check 查出了错误或警告" },
    { Failed, u"--diff 比较的两次传送不同；--journal --radio 没有这部电台的传送" },
    { Unusable, u"用法错误；--check 读不了信道文件；--frames 有行不能传送" },
    { Unusable, u"--diff 有一边读不了或找不到这部电台；--journal --from 的文件读不了" },
};

} // namespace ExitCode
