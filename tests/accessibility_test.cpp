// Screen readers can name every control, and the keyboard alone reaches every
// operation.

#include "guitest.h"
#include "windows.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QWidget *focused()
{
    if (!QApplication::focusWidget())
        qFatal("no control has the focus");
    return QApplication::focusWidget();
}

void press(Qt::Key key, int times = 1, Qt::KeyboardModifiers modifiers = {})
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(focused(), key, modifiers);
}

void typeText(const char *text) { QTest::keyClicks(focused(), text); }

// Space on the focused button; any message box is answered with Return.
QStringList pressButton()
{
    QStringList seen;
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start();
    QWidget *window = focused()->window();
    press(Qt::Key_Space);
    answer.stop();
    // The offscreen platform has no window manager to hand the activation
    // back once a message box closes; do what one would.
    if (!seen.isEmpty()) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qFatal("the window did not get the focus back");
    }
    return seen;
}

QString focusName() { return focused()->objectName(); }

} // namespace

class AccessibilityTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Windows> m_windows;

private slots:
    void initTestCase() { prepareApplication(); }
    void init()
    {
        m_windows = std::make_unique<Windows>();
        m_windows->start();
    }
    void cleanup() { m_windows.reset(); }

    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6"})
            QTest::newRow(name) << name;
    }
    void everyControlHasAName()
    {
        QFETCH(QString, window);
        QWidget *w = windowNamed(*m_windows, window);
        for (QWidget *c : w->findChildren<QWidget *>()) {
            if (c->objectName().isEmpty() || c->objectName().startsWith("qt_"))
                continue; // Qt's own parts of a compound control
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(c);
            QVERIFY(a);
            QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(c->objectName()));
        }
    }

    void objectsByKeyboardAlone()
    {
        QVERIFY(QTest::qWaitForWindowActive(visibleWindow()));
        press(Qt::Key_Space); // "Object Spawn" has the focus
        QWidget *w = visibleWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(focusName(), "Output");
        press(Qt::Key_Tab, 2);
        typeText("by keys");
        press(Qt::Key_Tab, 8); // past the origin, angle and scale boxes to the model box
        typeText("static/cart.tik");
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), "IDname");
        typeText("cart1");
        press(Qt::Key_Tab, 10, Qt::ShiftModifier);
        QCOMPARE(focusName(), "Add");
        QVERIFY(pressButton().isEmpty());
        QVERIFY(control<QPlainTextEdit>(w, "Output")
                    ->toPlainText()
                    .startsWith("//by keys\nlocal.cart1 = spawn script_model\nlocal.cart1 model "
                                "\"static/cart.tik\"\n"));
        press(Qt::Key_Tab, 12); // Add, fields, Close, then "Copy To ClipBoard"
        QCOMPARE(focusName(), "Command2");
        QCOMPARE(pressButton(), QStringList{"The script has been copied to clipboard!"});
        press(Qt::Key_Tab, 1, Qt::ShiftModifier);
        QCOMPARE(focusName(), "Command1");
        press(Qt::Key_Space);
        QCOMPARE(visibleWindow()->objectName(), "Form2");
    }

    void modelsByKeyboardAlone()
    {
        QVERIFY(QTest::qWaitForWindowActive(visibleWindow()));
        press(Qt::Key_Tab, 4); // Object Spawn, Trigger Spawn, About, Close, Object List
        QCOMPARE(focusName(), "Command5");
        press(Qt::Key_Space);
        QWidget *w = visibleWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), "List1");
        press(Qt::Key_Down, 2);
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), "Command2");
        QVERIFY(pressButton().isEmpty());
        QCOMPARE(control<QLineEdit>(w, "Text1")->text(),
                 control<QListWidget>(w, "List1")->selectedItems().value(0)->text());
        press(Qt::Key_Tab);
        QCOMPARE(pressButton(), QStringList{"The object has been copied to clipboard!"});
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
