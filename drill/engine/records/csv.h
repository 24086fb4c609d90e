#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the records and the class are written as for a spreadsheet.

// A field as a spreadsheet reads it: quoted where it holds a comma, a quote
// or a line end, its quotes doubled.
QString CsvField(const QString& text);

// The rows, a header first: UTF-8 with a byte order mark (which a Japanese
// spreadsheet needs to read UTF-8), fields quoted as CsvField does, a CR LF
// after every row.
QByteArray CsvFile(const QList<QStringList>& rows);
