#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The readme dialog: shows the text of "readme.txt" and asks the user to agree
// with it. "I Agree", Escape and closing the window by its frame all agree;
// "I Do Not Agree" declines, after which the program ends.
class frmReadme : public QDialog
{
    Q_OBJECT

public:
    explicit frmReadme(QWidget *parent = nullptr);

    // Shows text as it is, never as markup.
    void setText(const QString &text);
    QString text() const;

    // True once the user chose "I Do Not Agree".
    bool declined() const { return m_declined; }

    // The most of a readme that is shown: a longer file is cut there, with a
    // note naming the file.
    static constexpr qint64 MaxShownBytes = 1024 * 1024;

    // Reads the file as Windows-1252 bytes, with its line ends made "\n".
    // On failure, error names the file and the reason.
    static bool loadReadme(const QString &path, QString *text, QString *error);

    // Reads the file and shows it modally. False only when the user declined;
    // a file that cannot be read is reported through a message and the
    // program goes on.
    static bool showReadme(QWidget *parent, const QString &path);

public Q_SLOTS:
    // Any way of closing other than declining counts as agreeing.
    void reject() override;

private:
    void buAgree_Click();
    void buAgreeNot_Click();

    QPlainTextEdit *m_Text1 = nullptr;
    QPushButton *m_buAgree = nullptr;
    QPushButton *m_buAgreeNot = nullptr;
    bool m_declined = false;
};
