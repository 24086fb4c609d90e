#include "records/csv.h"

QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QByteArray CsvFile(const QList<QStringList>& rows)
{
    QByteArray csv("\xEF\xBB\xBF");
    for (const QStringList& row : rows) {
        QStringList quoted;
        for (const QString& field : row)
            quoted << CsvField(field);
        csv += quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return csv;
}
