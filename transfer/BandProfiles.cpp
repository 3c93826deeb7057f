#include "BandProfiles.h"

#include <QSettings>

namespace BandProfiles {

static const QString settingsKey = QStringLiteral("band/id");
// Where earlier versions kept the choice, when "plan" still meant more than
// the channel plan: read once and moved.
static const QString earlierKey = QStringLiteral("plan/band");

// Each plan's figures are its source's, quoted beside it; the tests check the
// edges against the same figures.
static QVector<BandProfile> make()
{
    BandProfile none;
    none.id = QStringLiteral("none");
    none.name = QStringLiteral("无");
    none.source = QStringLiteral("不检查频段。");

    BandProfile publicRadio;
    publicRadio.id = QStringLiteral("public");
    publicRadio.name = QStringLiteral("公众对讲机 409 MHz");
    publicRadio.source = QStringLiteral("信息产业部《关于公众对讲机管理有关问题的通知》（信部无〔2001〕869号，2001 年 10 月 23 日）："
                                        "409.7500–409.9875 MHz，20 个信道，间隔 12.5 kHz，同频单工。");
    publicRadio.bands = { { 409'750'000, 409'987'500, 0 } };
    publicRadio.rasterHz = 12'500;

    BandProfile dedicated;
    dedicated.id = QStringLiteral("dedicated");
    dedicated.name = QStringLiteral("专用对讲机 150/400 MHz");
    dedicated.source = QStringLiteral("工业和信息化部《关于150MHz、400MHz频段专用对讲机频率规划和使用管理有关事宜的通知》"
                                      "（2011 年 12 月 12 日）：137–167 MHz、403–423.5 MHz，信道间隔 12.5 kHz；"
                                      "双频使用时收发间隔 150 MHz 频段 5.7 MHz、400 MHz 频段 10 MHz；"
                                      "144–146 MHz（业余）与 409.75–409.9875 MHz（公众对讲机）除外。");
    dedicated.bands = { { 137'000'000, 167'000'000, 5'700'000 }, { 403'000'000, 423'500'000, 10'000'000 } };
    dedicated.excluded = { { 144'000'000, 146'000'000, QStringLiteral("是业余业务专用频段，不作专用对讲机频率") },
                           { 409'750'000, 409'987'500, QStringLiteral("是公众对讲机频率") } };
    dedicated.rasterHz = 12'500;

    BandProfile amateur;
    amateur.id = QStringLiteral("amateur");
    amateur.name = QStringLiteral("业余 144–148 / 430–440 MHz");
    amateur.source = QStringLiteral("《中华人民共和国无线电频率划分规定》（工业和信息化部，2018 年 7 月 1 日起施行）："
                                    "业余业务 144–148 MHz、430–440 MHz；中继的收发间隔不限。");
    amateur.bands = { { 144'000'000, 148'000'000, 0 }, { 430'000'000, 440'000'000, 0 } };
    amateur.anySplit = true;

    BandProfile pmr;
    pmr.id = QStringLiteral("pmr446");
    pmr.name = QStringLiteral("PMR446");
    pmr.source = QStringLiteral("CEPT ECC/DEC/(15)05（2015 年 7 月 3 日）：PMR446 模拟信道 446.00625–446.19375 MHz，"
                                "间隔 12.5 kHz，同频单工。");
    pmr.bands = { { 446'006'250, 446'193'750, 0 } };
    pmr.rasterHz = 12'500;
    pmr.rasterOffsetHz = 6'250;

    return { none, publicRadio, dedicated, amateur, pmr };
}

const QVector<BandProfile> &all()
{
    static const QVector<BandProfile> profiles = make();
    return profiles;
}


const BandProfile *find(const QString &id)
{
    for (const BandProfile &profile : all())
        if (profile.id == id)
            return &profile;
    return nullptr;
}

const BandProfile &none()
{
    return all().first();
}

// A setting nobody made is "无"; one this program does not know is said,
// since the checks would otherwise quietly hold the rows to nothing.
BandProfile saved(QString *notice)
{
    QSettings settings;
    if (!settings.contains(settingsKey) && settings.contains(earlierKey)) {
        settings.setValue(settingsKey, settings.value(earlierKey));
        settings.remove(earlierKey);
    }
    const QString id = settings.value(settingsKey).toString();
    if (id.isEmpty())
        return none();
    if (const BandProfile *profile = find(id))
        return *profile;
    if (notice)
        *notice = QStringLiteral("频段设置 “%1” 无法识别，按“无”检查。").arg(id);
    return none();
}

void save(const QString &id)
{
    QSettings().setValue(settingsKey, id);
}

} // namespace BandProfiles
