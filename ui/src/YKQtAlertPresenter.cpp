#include "YKQtAlertPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <vector>

#include "YKAlert.h"

int32 YKQtAlertPresenter::Present(const YKAlert& alert) {
    int32 answer = alert.CountButtons() - 1;
    const auto ask = [&alert, &answer] {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                        QString::fromStdString(alert.Text()));
        std::vector<QPushButton*> buttons;
        for (int32 i = 0; i < alert.CountButtons(); ++i) {
            buttons.push_back(
                box.addButton(QString::fromUtf8(alert.ButtonLabel(i)), QMessageBox::ActionRole));
        }
        // The last button is by habit the one the return key means.
        box.setDefaultButton(buttons.back());
        box.exec();
        for (int32 i = 0; i < static_cast<int32>(buttons.size()); ++i) {
            if (box.clickedButton() == buttons[static_cast<size_t>(i)]) {
                answer = i;
            }
        }
    };
    if (QThread::currentThread() == qApp->thread()) {
        ask();
    } else {
        QMetaObject::invokeMethod(qApp, ask, Qt::BlockingQueuedConnection);
    }
    return answer;
}
