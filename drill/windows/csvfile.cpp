#include "csvfile.h"

#include "platform.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

QString AskCsvPath(QWidget* parent, const QString& title, const QString& name)
{
    return QFileDialog::getSaveFileName(parent, title, QDir::home().filePath(name), QStringLiteral("CSV (*.csv)"));
}

bool SaveCsv(const QString& path, const QByteArray& csv, const char* caption)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return true;
    CurrentPlatform().showError(
        QStringLiteral("%1 に書き出せませんでした。\n%2").arg(path, file.errorString()).toStdString(), caption);
    return false;
}
