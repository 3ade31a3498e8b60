#include "feedback.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

void showMessage(QWidget *window, std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), fromUtf8(text),
                    QMessageBox::Ok, window);
    box.exec();
}

bool putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    return clipboard->text() == text;
}
