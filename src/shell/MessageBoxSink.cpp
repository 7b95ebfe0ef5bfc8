#include "MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

Messages::Answer MessageBoxSink::show(const Messages::Message &message)
{
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
