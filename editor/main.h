#pragma once

#include "editrules.h"
#include "romajiconversion.h"
#include "wordlist.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class PendingText;

// The editor's one window: the user's own entries in a list, and four boxes
// in which one entry is written. Everything happens in the table until
// "保存して終了" writes it to "wordu.txt".
class TForm1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    // Tells the user something that needs no answer. The program shows a
    // message box; tests record the text.
    using Tell = std::function<void(QWidget* parent, const QString& text)>;
    static void ShowMessage(QWidget* parent, const QString& text);

    // `directory` holds "wordu.txt"; `appDirectory` the drill's shipped
    // "roma.txt", which says what the drill can type.
    TForm1(const QString& directory, const QString& appDirectory, Tell tell = ShowMessage,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // False when "wordu.txt" exists but could not be read: the program then
    // ends without showing the window, so nothing can be saved over it.
    bool loaded() const { return loaded_; }
    // False when the file held more entries than the table: saving would
    // drop the rest, so "保存して終了" stays disabled.
    bool saveAllowed() const { return saveAllowed_; }
    const WordTable& table() const { return *table_; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* g1 = nullptr; // sentence
    QLineEdit* h1 = nullptr; // reading
    QLineEdit* y1 = nullptr; // first meaning line
    QLineEdit* y2 = nullptr; // second meaning line
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QLabel* count1 = nullptr;
    QLabel* note1 = nullptr; // what the drill cannot type in the reading
    QListWidget* List1 = nullptr;

    void FormCreate();
    void g1Change();
    // Says what keeps the boxes from being stored (SeparatorNote), else
    // names the first character of the reading that the drill's romaji
    // table cannot type (nothing without a table to ask).
    void noteChange();
    // True when the key was taken: Enter moves the focus on in tab order.
    bool g1KeyPress(QKeyEvent* event);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void List1DblClick();
    void Button5Click();
    void Button6Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct AnchoredControl {
        QWidget* widget;
        QRect place; // as laid out for the initial client size
        Anchor anchor;
    };

    QLineEdit* makeBox(const QRect& place, std::size_t limit);
    QPushButton* makeButton(const QString& caption, const QRect& place, void (TForm1::*click)(),
                            Anchor anchor = Anchor::Fixed);
    QLabel* makeLabel(const QString& caption, QPoint place);
    void placeControls(QSize client);
    int selectedLine() const;
    std::optional<WordEntry> boxEntry() const;
    void clearBoxes();
    void readyForTheNext();
    void showCount();

    std::unique_ptr<WordTable> table_;
    std::string path_;
    std::unique_ptr<RomajiTableData> romaji_; // empty when the drill's table cannot be read
    FixedString<3> sokuon_;
    Tell tell_;
    std::vector<AnchoredControl> anchored_;
    PendingText* pending_ = nullptr; // what an input method holds in the boxes
    bool loaded_ = true;
    bool saveAllowed_ = true;
};
