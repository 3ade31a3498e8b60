// Every window as the user meets it: opened from the menu and centred once,
// its captions, geometry in twips (15 to a pixel), tab order and fonts, every
// text whole in its box; the way back to the menu, and the end of the run.

#include "guitest.h"
#include "toolwindow.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace {

struct Control
{
    const char *name;
    const char *text; // caption or initial text; nullptr where none is checked
    int left, top, width, height;
    const char *parent = nullptr; // the frame it stands in, if any
};

struct Window
{
    const char *name, *menuButton; // no button for the menu itself
    const char *title;
    int width, height; // client area
    double heading;    // point size of the Arial bold heading "Label1", if any
    const char *tabOrder;
    std::vector<Control> controls;
};

// clang-format off
const Window kWindows[] = {
    {"Form2", nullptr, "MoH:AA - Spawnsmith V1.0", 1980, 2955, 0,
     "Command1 Command2 Command3 Command4 Command5 Command6",
     {
      {"Command3", "About", 75, 45, 1815, 375}, {"Command2", "Trigger Spawn", 90, 540, 1815, 375},
      {"Command1", "Object Spawn", 90, 1035, 1815, 375},
      {"Command5", "Object List", 90, 1530, 1815, 375},
      {"Command6", "Contact", 90, 2025, 1815, 375}, {"Command4", "Close", 90, 2520, 1815, 375},
     }},
    {"Form1", "Command1", "MoH - Spawnsmith V1.0 - Objects", 7320, 7230, 0,
     "Output Add comment OriginX OriginY OriginZ AngleY AngleP AngleR ScaleSize ModelCombo IDname "
     "Command1 Command2 Command3 Command4",
     {
      {"Output", "", 120, 2835, 6975, 3795}, {"Add", "Add to script", 135, 2340, 1215, 375},
      {"comment", "", 1710, 60, 5355, 285}, {"Label1", "Script Comment", 60, 120, 1110, 195},
      {"OriginX", "0", 1860, 1110, 645, 285}, {"Label2", "Origin", 750, 1170, 405, 195},
      {"OriginY", "0", 2730, 1110, 645, 285}, {"OriginZ", "0", 3600, 1110, 645, 285},
      {"Label3", "X", 1710, 1170, 105, 195}, {"Label4", "Y", 2580, 1170, 105, 195},
      {"Label5", "Z", 3450, 1170, 105, 195}, {"AngleY", "0", 1860, 1440, 645, 285},
      {"Label6", "Angle", 750, 1500, 405, 195}, {"AngleP", "0", 2730, 1440, 645, 285},
      {"AngleR", "0", 3600, 1440, 645, 285}, {"Label7", "Y", 1710, 1500, 105, 195},
      {"Label8", "P", 2580, 1500, 105, 195}, {"Label9", "R", 3450, 1500, 120, 195},
      {"ScaleSize", "1.0", 1680, 1800, 825, 285}, {"Label10", "Scale", 750, 1860, 405, 195},
      {"Label11", "Model", 720, 810, 435, 195}, {"ModelCombo", "", 1710, 750, 5355, 315},
      {"IDname", "", 1710, 390, 915, 285}, {"Label12", "ID Name", 540, 450, 630, 195},
      {"Command1", "Close", 120, 6720, 1215, 375},
      {"Command2", "Copy To ClipBoard", 1485, 2340, 1815, 375},
      {"Command3", "Clear Script", 3465, 2340, 1185, 375},
      {"Command4", "Clear Input Fields", 4815, 2340, 1410, 375},
      {"Image1", nullptr, 6750, 6705, 480, 480},
     }},
    {"Form4", "Command2", "MoH - Spawnsmith V1.0 - Trigger Spawn", 7215, 7410, 0,
     "Command2 Command1 IDname OriginZa OriginYa OriginXa comment Add Output OriginZ2 OriginY2 "
     "OriginX2 OriginZ3 OriginY3 OriginX3 Text1 Text2 Text3 Text4 Command4 Command3",
     {
      {"Command2", "Copy To ClipBoard", 1440, 3060, 1815, 375},
      {"Command1", "Close", 90, 6900, 1215, 375}, {"IDname", "", 1665, 570, 915, 285},
      {"OriginZa", "0", 3555, 885, 645, 285}, {"OriginYa", "0", 2685, 900, 645, 285},
      {"OriginXa", "0", 1815, 885, 645, 285}, {"comment", "", 1665, 240, 5355, 285},
      {"Add", "Add to script", 90, 3060, 1215, 375}, {"Output", "", 75, 3525, 6975, 3300},
      {"Label12", "Trigger ID Name", 0, 600, 1215, 255}, {"Label5", "Z", 3405, 945, 105, 195},
      {"Label4", "Y", 2535, 945, 105, 195}, {"Label3", "X", 1665, 945, 105, 195},
      {"Label2", "Origin", 795, 945, 405, 195}, {"Label1", "Script Comment", 105, 300, 1110, 195},
      {"OriginZ2", "0", 3285, 1215, 465, 285}, {"OriginY2", "0", 2565, 1215, 465, 285},
      {"OriginX2", "0", 1800, 1215, 465, 285}, {"Label5_2", "Z", 3105, 1260, 105, 195},
      {"Label4_2", "Y", 2370, 1275, 105, 195}, {"Label3_2", "X", 1680, 1275, 105, 195},
      {"Label2_2", "Set Size", 630, 1275, 585, 195}, {"OriginZ3", "0", 5565, 1215, 465, 285},
      {"OriginY3", "0", 4800, 1215, 465, 285}, {"OriginX3", "0", 4140, 1215, 465, 285},
      {"Label5_3", "Z", 5385, 1260, 105, 195}, {"Label4_3", "Y", 4650, 1275, 105, 195},
      {"Label3_3", "X", 3960, 1275, 105, 195}, {"Text1", "", 1665, 1530, 2130, 285},
      {"Label6", "Set Thread", 405, 1575, 795, 195}, {"Text2", "", 1665, 1890, 2130, 285},
      {"Label7", "Message", 540, 1935, 645, 195}, {"Text3", "1", 1665, 2250, 555, 285},
      {"Label8", "Wait", 855, 2295, 330, 195}, {"Text4", "0", 1665, 2610, 555, 285},
      {"Label9", "Delay", 810, 2655, 405, 195},
      {"Command4", "Clear Input Fields", 4680, 3060, 1410, 375},
      {"Command3", "Clear Script", 3375, 3060, 1185, 375},
      {"Image1", nullptr, 6705, 6930, 480, 480},
     }},
    {"Form5", "Command5", "MoH:AA Spawnsmith - Models List", 7800, 8475, 0,
     "Command1 List1 Command2 Command3 RichTextBox1 Command4 Command5 List2 RichTextBox2",
     {
      {"Command1", "Close", 90, 8055, 1140, 330}, {"List1", nullptr, 225, 585, 3885, 3180},
      {"Text1", "", 4185, 1035, 3300, 330}, {"Command2", "Get Item", 4185, 585, 1275, 330},
      {"Command3", "Copy To Clipboard", 5580, 585, 1905, 330},
      {"Frame1", "Common", 90, 45, 7620, 3885},
      {"Label3", "Common Object List", 2565, 315, 1455, 240, "Frame1"},
      {"RichTextBox1", nullptr, 4095, 1485, 3300, 1320, "Frame1"},
      {"Command4", "Copy To Clipboard", 5580, 4680, 1905, 330},
      {"Command5", "Get Item", 4185, 4680, 1275, 330}, {"Text2", "", 4185, 5130, 3300, 330},
      {"List2", nullptr, 225, 4635, 3885, 3180}, {"Frame2", "Un-Common", 90, 4095, 7620, 3885},
      {"RichTextBox2", nullptr, 4095, 1485, 3300, 1320, "Frame2"},
      {"Label1", "Un-Common Object List", 2295, 315, 1770, 240, "Frame2"},
     }},
    {"Form3", "Command3", "MoH:AA Spawnsmith - About", 4860, 2625, 18,
     "Command1",
     {
      {"Label1", "About", 30, 45, 1095, 375},
      {"Label2", "Medal Of Honor: Allied Assault - Spawnsmith", 30, 645, 3255, 255},
      {"Label3", "Version 1.0 Build", 30, 1005, 1215, 255},
      {"Label4", nullptr, 30, 1365, 2655, 255},
      {"Label5", "This application was created for the benefit of MoH:AA Scripters", 30, 1725, 4575, 255},
      {"Image1", nullptr, 4320, 2115, 480, 480}, {"Command1", "Close", 30, 2205, 735, 375},
     }},
    {"Form6", "Command6", "Form6", 3390, 1845, 14.25,
     "Command1",
     {
      {"Label1", "Contact", 45, 45, 1140, 330}, {"Label2", nullptr, 45, 495, 2580, 240},
      {"Label3", nullptr, 45, 765, 3345, 240}, {"Label4", nullptr, 45, 1035, 3300, 240},
      {"Command1", "Close", 45, 1440, 1590, 375},
     }},
};
// clang-format on

// The face every caption and value is drawn in: the one the tool asks for, so
// the fit checks below measure the face on screen, not a fallback.
#ifdef Q_OS_WIN
const QString kFace = "Tahoma";
#else
const QString kFace = "Liberation Sans Narrow";
#endif

// A caption, an initial text or a frame's title; none for lists and text areas.
QString shownText(QWidget *w)
{
    for (const char *property : {"text", "title", "currentText"})
        if (const QVariant value = w->property(property); value.isValid())
            return value.toString();
    return {};
}

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    while (w && w->objectName().isEmpty()) // a combo box's own line edit
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// Counts the windows shown while another one is still visible.
class ShowWatcher final : public QObject
{
public:
    ShowWatcher() { qApp->installEventFilter(this); }
    int overlaps = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow())
            overlaps +=
                std::ranges::count_if(QApplication::topLevelWidgets(), &QWidget::isVisible) > 1;
        return false;
    }
};

} // namespace

class WindowsTest final : public WindowTest
{
    Q_OBJECT

private slots:
    void everyWindow_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(kWindows[i].name) << i;
    }
    // Closed twice: by its Close button, then by the frame's close box.
    void everyWindow()
    {
        QFETCH(int, index);
        const Window &expected = kWindows[index];
        ShowWatcher watcher;
        const QPoint menuAt = visibleWindow()->pos();
        QWidget *w = expected.menuButton ? openFromMenu(expected.menuButton) : visibleWindow();
        QCOMPARE(w->objectName(), expected.name);
        // The outer frame centred on the whole screen, half a pixel from an odd
        // difference dropped.
        const QRect screen = w->screen()->geometry(), frame = w->frameGeometry();
        QCOMPARE(
            frame.topLeft() - screen.topLeft(),
            QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));
        // The focus starts on the first control; Tab walks them all and comes back.
        QVERIFY(QTest::qWaitForWindowActive(w));
        const QStringList tabOrder = QString(expected.tabOrder).split(' ');
        QStringList walked{focusName()};
        for (qsizetype i = 0; i < tabOrder.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << focusName();
        }
        QCOMPARE(walked, tabOrder + QStringList{tabOrder.first()});

        QCOMPARE(w->windowTitle(), expected.title);
        QCOMPARE(w->size() * 15, QSize(expected.width, expected.height));
        QCOMPARE(w->minimumSize(), w->maximumSize()); // fixed size
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 255, 192));
        QCOMPARE(w->windowIcon().isNull(), w->objectName() == "Form6");
        if (auto *image = w->findChild<QLabel *>("Image1"))
            QCOMPARE(image->pixmap().size(), QSize(32, 32));
        for (const Control &c : expected.controls) {
            QWidget *control = w->findChild<QWidget *>(c.name);
            QVERIFY2(control, c.name);
            const QRect g = control->geometry();
            QCOMPARE(QRect(g.topLeft() * 15, g.size() * 15),
                     QRect(c.left, c.top, c.width, c.height));
            QCOMPARE(control->parentWidget()->objectName(), c.parent ? c.parent : expected.name);
            if (c.text)
                QCOMPARE(shownText(control), c.text);
        }
        // Every text whole in its box with the fonts in use; no value marked; no default button, so
        // Enter and Escape run nothing; a name for screen readers on every control.
        for (QWidget *c : w->findChildren<QWidget *>()) {
            const QString text = shownText(c);
            const QFontMetrics metrics(c->font());
            const int padding = qobject_cast<QLabel *>(c) ? 0 : 6;
            QVERIFY2(qobject_cast<QGroupBox *>(c)
                         || metrics.horizontalAdvance(text) <= c->width() - padding,
                     qPrintable(c->objectName() + ": " + text));
            QVERIFY2(metrics.tightBoundingRect(text).height() <= c->height(), qPrintable(text));
            if (!expected.heading || c->objectName() != "Label1")
                QCOMPARE(QFontInfo(c->font()).family(), kFace);
            QVERIFY2(c->toolTip().isEmpty(), qPrintable(c->objectName())); // nothing marked
            if (auto *button = qobject_cast<QPushButton *>(c))
                QVERIFY2(!button->isDefault() && !button->autoDefault(),
                         qPrintable(c->objectName()));
            if (!c->objectName().isEmpty() && !c->objectName().startsWith("qt_")) // Qt's own parts
                QVERIFY2(
                    !QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty(),
                    qPrintable(c->objectName()));
        }

        if (expected.heading) {
            const QFont heading = control<QLabel>(w, "Label1")->font();
            QCOMPARE(heading.family(), "Arial");
            QCOMPARE(heading.pointSizeF(), expected.heading);
            QVERIFY(heading.bold());
        }

        // Hidden, the window and the menu keep their places: neither is centred again.
        if (!expected.menuButton)
            return;
        w->move(17, 23);
        clickClose(w);
        QCOMPARE(visibleWindow()->pos(), menuAt);
        visibleWindow()->move(40, 50);
        QCOMPARE(openFromMenu(expected.menuButton), w); // the same window again
        QCOMPARE(w->pos(), QPoint(17, 23));
        w->close();
        QCOMPARE(visibleWindow()->pos(), QPoint(40, 50));
        QCOMPARE(watcher.overlaps, 0);
    }

    void makerLinesAndNoClamping()
    {
        QWidget *about = openFromMenu("Command3");
        QVERIFY(!control<QLabel>(about, "Label4")->text().isEmpty());
        clickClose(about);
        QWidget *contact = openFromMenu("Command6");
        const QString email = control<QLabel>(contact, "Label2")->text();
        QVERIFY(email.startsWith("Email:  ") && email.size() > 8);
        QCOMPARE(control<QLabel>(contact, "Label3")->text(), "Msn Messenger:  " + email.mid(8));
        QVERIFY(control<QLabel>(contact, "Label4")->text().startsWith("Yahoo Messenger:  "));
        // A window larger than the screen starts above and left of it.
        QCOMPARE(centredPosition(QSize(300, 200), QSize(489, 483)), QPoint(-95, -142));
    }

    void endTheRun_data()
    {
        QTest::addColumn<bool>("fromFrame");
        QTest::newRow("Close button") << false;
        QTest::newRow("frame close") << true;
    }
    // Other windows loaded and hidden do not keep the run going.
    void endTheRun()
    {
        QFETCH(bool, fromFrame);
        clickClose(openFromMenu("Command1"));
        QWidget *menu = visibleWindow();
        QTimer::singleShot(0, menu, [menu, fromFrame] {
            if (fromFrame)
                menu->close();
            else
                QTest::mouseClick(control<QAbstractButton>(menu, "Command4"), Qt::LeftButton);
        });
        QTimer watchdog; // fails instead of hanging if the run does not end
        watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
        watchdog.start(5000);
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
