#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// A CSV that a window writes for a spreadsheet (the records, the class).

// Where to write it: the file dialog, `name` suggested in the home folder;
// empty when nothing was chosen.
QString AskCsvPath(QWidget* parent, const QString& title, const QString& name);

// Writes it whole or not at all; false, having said why under `caption`,
// when it cannot be written.
bool SaveCsv(const QString& path, const QByteArray& csv, const char* caption);
