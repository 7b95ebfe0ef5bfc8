#include "MessageBoxSink.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolTip>

using namespace Qt::StringLiterals;

Messages::Answer MessageBoxSink::show(const Messages::Message &message)
{
    if (message.buttons == Messages::Buttons::None) {
        // In the window's status bar, which takes neither the focus nor the
        // keys and stays while typing goes on; a window without one gets a
        // tooltip under the focused control.
        QWidget *at = QApplication::focusWidget();
        if (auto *main = qobject_cast<QMainWindow *>(at ? at->window() : QApplication::activeWindow())) {
            main->statusBar()->showMessage(message.text, NoticeMilliseconds);
        } else {
            const QPoint where = at ? at->mapToGlobal(QPoint(0, at->height())) : QCursor::pos();
            QToolTip::showText(where, u"<p style='white-space:pre-wrap'>"_s + message.text.toHtmlEscaped() + u"</p>"_s,
                               at, {}, NoticeMilliseconds);
        }
        return Messages::Answer::Ok;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(message.title.isEmpty() ? Messages::applicationTitle() : message.title);
    box.setText(message.text);
    switch (message.icon) {
    case Messages::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Messages::Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Messages::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Messages::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Messages::Icon::None:
        break;
    }
    const auto toButton = [](Messages::Answer a) {
        switch (a) {
        case Messages::Answer::Cancel:
            return QMessageBox::Cancel;
        case Messages::Answer::Save:
            return QMessageBox::Save;
        case Messages::Answer::Discard:
            return QMessageBox::Discard;
        case Messages::Answer::Ok:
            break;
        }
        return QMessageBox::Ok;
    };
    switch (message.buttons) {
    case Messages::Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Messages::Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Messages::Buttons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        break;
    case Messages::Buttons::None:
        break;
    }
    box.setDefaultButton(toButton(message.defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Save:
        return Messages::Answer::Save;
    case QMessageBox::Discard:
        return Messages::Answer::Discard;
    case QMessageBox::Ok:
        return Messages::Answer::Ok;
    default:
        // Closing the box is Cancel where there is one, else OK.
        return message.buttons == Messages::Buttons::Ok ? Messages::Answer::Ok
                                                        : Messages::Answer::Cancel;
    }
}
