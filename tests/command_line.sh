#!/bin/sh
# Exit statuses and option errors as a script or an operator meets them, with
# no display: each row gives the locale, the status and how standard error
# starts. Usage: command_line.sh QT7020
qt7020=$1
cd "$(mktemp -d)" || exit 1
failed=0
run() {
    # shellcheck disable=SC2086 # the arguments are words
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL= LC_MESSAGES= LANG="$locale" "$qt7020" $arguments
}
while IFS='|' read -r locale status error arguments; do
    said=$(run 2>&1 >/dev/null | head -n 1)
    code=$(run >/dev/null 2>&1; echo $?)
    case "$said" in
    "$error"*) [ "$code" = "$status" ] && continue ;;
    esac
    echo "FAIL: LANG=$locale qt7020 $arguments: $code '$said', expected $status '$error'"
    failed=1
done <<'ROWS'
zh_CN.UTF-8|2|未知选项：--bogus|--bogus
zh_CN.UTF-8|2|未知选项：--bogus、-x|--check --bogus -x
en_US.UTF-8|2|Unknown option 'bogus'.|--bogus
zh_CN.UTF-8|2|选项 --db 缺少参数|--db
zh_CN.UTF-8|2|选项 --help 不带参数|--help=yes
zh_CN.UTF-8|2|信道文件 |--check --db missing.mdb
zh_CN.UTF-8|1|信道文件 |--frames --db missing.mdb
zh_CN.UTF-8|2|一次只能做一件事。|--check --frames
zh_CN.UTF-8|2|journal:0 不是传送记录的序号|--diff journal:0 missing.mdb
zh_CN.UTF-8|2|信道文件 |--diff missing.mdb journal:1
zh_CN.UTF-8|2|--since 的日期应写成 YYYY-MM-DD：2026/01/31|--journal --since 2026/01/31
zh_CN.UTF-8|2|--from 只能和 --journal 或 --diff 一起用。|--check --from pc2.log
zh_CN.UTF-8|2|--radio 只能和 --send 或 --journal 一起用，且须写明电台。|--diff journal:1 --radio 巡逻01
zh_CN.UTF-8|2|传送记录 missing.log 不存在。|--journal --from missing.log
zh_CN.UTF-8|2|传送记录中没有电台 无此电台 收到帧的传送。|--diff radio:无此电台 missing.mdb
C.UTF-8|0||--version
ROWS
rmdir "$PWD"
exit $failed
