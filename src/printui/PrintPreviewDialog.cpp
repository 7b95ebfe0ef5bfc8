#include "PrintPreviewDialog.h"

#include "PagePreview.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PrintPreviewDialog::PrintPreviewDialog(const PrintPage &page, int copies,
                                       const RenderOptions &options, QWidget *parent,
                                       const std::optional<QMarginsF> &unprintable)
    : QDialog(parent), m_copies(std::max(copies, 1))
{
    setWindowTitle(u"Print Preview"_s);

    const SheetModel sheet = SheetModel::build(page, unprintable ? &*unprintable : nullptr);
    m_preview = new PagePreview(this);
    m_preview->setPage(page, options, sheet);

    // Plain text, one line per misfit, wrapped anywhere: an answer without
    // spaces may be wider than the dialog and is still read to its end.
    m_misfits = new QPlainTextEdit(this);
    m_misfits->setObjectName(u"misfits"_s);
    m_misfits->setReadOnly(true);
    m_misfits->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_misfits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QTextCursor cursor(m_misfits->document());
    QTextCharFormat red;
    red.setForeground(QColor(180, 0, 0));
    const QStringList lines = sheet.misfitLines();
    if (lines.isEmpty())
        cursor.insertText(u"Every answer prints inside its field."_s);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(lines[i], red);
    }
    m_misfits->moveCursor(QTextCursor::Start);
    // A few lines are in view at once; the rest scroll.
    const int shown = lines.isEmpty() ? 1 : 5;
    const int line = m_misfits->fontMetrics().lineSpacing();
    m_misfits->setFixedHeight(line * shown + line / 2
                              + 2 * (m_misfits->frameWidth() + int(m_misfits->document()->documentMargin())));

    m_previous = new QPushButton(u"< &Previous"_s, this);
    m_next = new QPushButton(u"&Next >"_s, this);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_current - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_current + 1); });

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *print = buttons->addButton(u"&Print"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    print->setAutoDefault(false);

    auto *pages = new QHBoxLayout;
    pages->addWidget(m_previous);
    pages->addWidget(m_pageLabel, 1);
    pages->addWidget(m_next);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_misfits);
    m_note = new QLabel(this);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_note->setVisible(false);
    layout->addWidget(m_note);
    layout->addLayout(pages);
    layout->addWidget(buttons);

    showPage(1);
}

void PrintPreviewDialog::showPage(int number)
{
    // Every copy is the same page; only the count and the buttons change.
    m_current = std::clamp(number, 1, m_copies);
    m_pageLabel->setText(pageText());
    m_previous->setEnabled(m_current > 1);
    m_next->setEnabled(m_current < m_copies);
}

QStringList PrintPreviewDialog::misfitTexts() const
{
    QStringList texts;
    for (QTextBlock b = m_misfits->document()->begin(); b.isValid(); b = b.next())
        texts.append(b.text());
    return texts;
}

QString PrintPreviewDialog::pageText() const
{
    return u"Page %1 of %2"_s.arg(m_current).arg(m_copies);
}

void PrintPreviewDialog::setNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

QString PrintPreviewDialog::note() const
{
    return m_note->text();
}
