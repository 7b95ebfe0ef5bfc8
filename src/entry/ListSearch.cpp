#include "ListSearch.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSortFilterProxyModel>

ListSearch::ListSearch(QLineEdit *line, QAbstractItemView *view, QSortFilterProxyModel *filter, int column,
                       QObject *parent)
    : QObject(parent), m_line(line), m_view(view), m_filter(filter), m_column(column)
{
    connect(m_line, &QLineEdit::textChanged, this, &ListSearch::setText);
    m_line->installEventFilter(this);
}

void ListSearch::setText(const QString &text)
{
    if (m_line->text() != text)
        m_line->setText(text); // comes back here through textChanged
    m_filter->setFilterFixedString(text);
    if (!m_keepCurrent || !m_view->currentIndex().isValid())
        selectRow(0);
    else
        Q_EMIT selectionChanged();
}

bool ListSearch::selectRow(int row)
{
    const QModelIndex index = m_filter->index(row, m_column);
    if (index.isValid())
        m_view->setCurrentIndex(index);
    else
        m_view->selectionModel()->clear();
    Q_EMIT selectionChanged();
    return index.isValid();
}

QStringList ListSearch::shownTexts() const
{
    QStringList texts;
    texts.reserve(m_filter->rowCount());
    for (int row = 0; row < m_filter->rowCount(); ++row)
        texts.append(m_filter->index(row, m_column).data().toString());
    return texts;
}

bool ListSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_line && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_view, event);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
