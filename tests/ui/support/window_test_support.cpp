#include "window_test_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace kelvo::test {

void WhenModalShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, qApp, [act = std::move(act)] { act(QApplication::activeModalWidget()); });
}

}  // namespace kelvo::test
