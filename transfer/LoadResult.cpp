#include "LoadResult.h"

QString resultText(LoadResult result)
{
    switch (result) {
    case LoadResult::Done: return QStringLiteral("完成");
    case LoadResult::Failed: return QStringLiteral("失败");
    case LoadResult::Interrupted: return QStringLiteral("中断");
    }
    return QString();
}
