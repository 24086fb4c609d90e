#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <string>

// Another program's transaction on a records file, as a teacher's sqlite3
// holds it ("BEGIN EXCLUSIVE"), until this is destroyed. A connection of
// its own, so that SQLite's locks part it from the program's.
class HeldRecords {
public:
    HeldRecords(const std::string& path, const QStringList& statements)
        : name_(QStringLiteral("held-%1").arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(QString::fromStdString(path));
        held_ = db.open();
        QSqlQuery q(db);
        for (const QString& sql : statements)
            held_ = held_ && q.exec(sql);
    }
    ~HeldRecords()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    HeldRecords(const HeldRecords&) = delete;
    HeldRecords& operator=(const HeldRecords&) = delete;

    bool held() const { return held_; }

private:
    QString name_;
    bool held_ = false;
};
