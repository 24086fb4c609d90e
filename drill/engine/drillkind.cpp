#include "drillkind.h"

QStringList LevelNames()
{
    return {QStringLiteral("ホームポジション"), QStringLiteral("横一列＋文字打ち"), QStringLiteral("文章打ち")};
}

QStringList ModeNames()
{
    return {QStringLiteral("１分間文字数トライアル"), QStringLiteral("３分間文字数トライアル"),
            QStringLiteral("５分間文字数トライアル"), QStringLiteral("100文字タイムトライアル"),
            QStringLiteral("200文字タイムトライアル")};
}
