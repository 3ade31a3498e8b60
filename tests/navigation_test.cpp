// Start-up, the menu and the way between windows: exactly one window visible,
// centred once per run, kept whole while hidden, and the end of the run.

#include "guitest.h"
#include "toolwindow.h"
#include "windows.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Fails the test if a window is ever shown while another is still visible.
class ShowWatcher final : public QObject
{
public:
    int overlaps = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *w = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && w && w->isWindow())
            overlaps += visibleWindowNames().size() > 1;
        return false;
    }
};

const char *const kMenuButtons[] = {"Command1", "Command2", "Command3", "Command5", "Command6"};
const char *const kTargets[] = {"Form1", "Form4", "Form3", "Form5", "Form6"};

QPoint expectedCentre(QWidget *w)
{
    const QRect screen = w->screen()->geometry();
    return screen.topLeft() + centredPosition(screen.size(), w->frameGeometry().size());
}

} // namespace

class NavigationTest final : public QObject
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

    void centring_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("12000 twips, menu 2100")
            << QSize(800, 600) << QSize(140, 200) << QPoint(330, 200);
        QTest::newRow("odd difference, half dropped")
            << QSize(800, 601) << QSize(141, 200) << QPoint(329, 200);
        QTest::newRow("larger than the screen")
            << QSize(300, 200) << QSize(489, 483) << QPoint(-95, -142);
    }
    void centring()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, frame);
        QFETCH(QPoint, position);
        QCOMPARE(centredPosition(screen, frame), position);
    }

    void startsWithTheMenuAloneCentredAndFocused()
    {
        QWidget *menu = visibleWindow();
        QCOMPARE(menu->objectName(), "Form2");
        QCOMPARE(menu->pos(), expectedCentre(menu));
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QCOMPARE(QApplication::focusWidget()->objectName(), "Command1");
    }

    void everyButtonOpensItsWindowAndCloseReturns_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 5; ++i)
            QTest::newRow(kTargets[i]) << i;
    }
    void everyButtonOpensItsWindowAndCloseReturns()
    {
        QFETCH(int, index);
        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        for (int round = 0; round < 2; ++round) {
            QWidget *window = openFromMenu(kMenuButtons[index]);
            QCOMPARE(window->objectName(), kTargets[index]);
            QCOMPARE(window->pos(), expectedCentre(window));
            QTest::mouseClick(control<QAbstractButton>(window, "Command1"), Qt::LeftButton);
            QCOMPARE(visibleWindow()->objectName(), "Form2");
        }
        qApp->removeEventFilter(&watcher);
        QCOMPARE(watcher.overlaps, 0);
    }

    // Any order of menu buttons, Close buttons and frame closes.
    void oneWindowVisibleAfterAnySequence()
    {
        for (int step = 0; step < 30; ++step) {
            QWidget *window = openFromMenu(kMenuButtons[(step * 7) % 5]);
            if (step % 3 == 0)
                window->close(); // close box, Alt+F4, system menu
            else
                QTest::mouseClick(control<QAbstractButton>(window, "Command1"), Qt::LeftButton);
            QCOMPARE(visibleWindow()->objectName(), "Form2");
            QVERIFY(!window->isVisible());
        }
    }

    void hiddenWindowKeepsPositionAndContents()
    {
        QWidget *objects = openFromMenu("Command1");
        QTest::keyClicks(control(objects, "IDname"), "bike1");
        control<QLineEdit>(objects, "OriginX")->setText("512");
        control<QPlainTextEdit>(objects, "Output")->setPlainText("kept");
        objects->move(17, 23);
        objects->close(); // from the frame, like the Close button
        QCOMPARE(visibleWindow()->objectName(), "Form2");

        QCOMPARE(openFromMenu("Command1"), objects); // the same instance, not centred again
        QCOMPARE(objects->pos(), QPoint(17, 23));
        QCOMPARE(control<QLineEdit>(objects, "IDname")->text(), "bike1");
        QCOMPARE(control<QLineEdit>(objects, "OriginX")->text(), "512");
        QCOMPARE(control<QPlainTextEdit>(objects, "Output")->toPlainText(), "kept");
    }

    void menuKeepsItsPlace()
    {
        QWidget *menu = visibleWindow();
        menu->move(40, 50);
        QTest::mouseClick(control<QAbstractButton>(openFromMenu("Command3"), "Command1"),
                          Qt::LeftButton);
        QCOMPARE(menu->pos(), QPoint(40, 50));
    }

    void endTheRun_data()
    {
        QTest::addColumn<bool>("fromFrame");
        QTest::newRow("Close button") << false;
        QTest::newRow("frame close") << true;
    }
    void endTheRun()
    {
        QFETCH(bool, fromFrame);
        // Other windows loaded and hidden do not keep the run going.
        QTest::mouseClick(control<QAbstractButton>(openFromMenu("Command1"), "Command1"),
                          Qt::LeftButton);
        QWidget *menu = visibleWindow();
        QTimer::singleShot(0, menu, [menu, fromFrame] {
            if (fromFrame)
                menu->close();
            else
                QTest::mouseClick(control<QAbstractButton>(menu, "Command4"), Qt::LeftButton);
        });
        bool ended = true;
        QTimer watchdog; // fails instead of hanging if the run does not end
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&ended] {
            ended = false;
            QCoreApplication::exit(1);
        });
        watchdog.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(ended);
    }
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
