#pragma once

// The program's exit statuses. --help lists this table and the manual page
// is made from --help, so what a script may rely on is written in one place.
namespace ExitCode {

enum : int {
    Ok = 0,
    Failed = 1,
    Unusable = 2,
};

struct Meaning
{
    int code;
    const char16_t *text;
};

inline constexpr Meaning meanings[] = {
    { Ok, u"完成" },
    { Failed, u"没有做成；--check 查出了错误或警告" },
    { Unusable, u"用法错误；--check 读不了信道文件；--frames 有行不能传送" },
};

} // namespace ExitCode
