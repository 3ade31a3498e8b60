// Every window's stored layout: names, captions, geometry (in twips, 15 to a
// pixel), parents, tab order, and that every text fits its box.

#include "guitest.h"
#include "windows.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace {

struct Control
{
    const char *name;
    const char *text; // caption or initial text; nullptr where none is checked
    int left, top, width, height;
    const char *parent = nullptr; // a frame, where the control stands inside one
};

struct Layout
{
    const char *window;
    const char *title;
    int width, height; // client area
    std::vector<Control> controls;
    QStringList tabOrder;
};

const std::vector<Layout> &layouts()
{
    static const std::vector<Layout> all = {
        {"Form2",
         "MoH:AA - Spawnsmith V1.0",
         1980,
         2955,
         {{"Command3", "About", 75, 45, 1815, 375},
          {"Command2", "Trigger Spawn", 90, 540, 1815, 375},
          {"Command1", "Object Spawn", 90, 1035, 1815, 375},
          {"Command5", "Object List", 90, 1530, 1815, 375},
          {"Command6", "Contact", 90, 2025, 1815, 375},
          {"Command4", "Close", 90, 2520, 1815, 375}},
         {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"}},
        {"Form1",
         "MoH - Spawnsmith V1.0 - Objects",
         7320,
         7230,
         {{"Output", "", 120, 2835, 6975, 3795},
          {"Add", "Add to script", 135, 2340, 1215, 375},
          {"comment", "", 1710, 60, 5355, 285},
          {"Label1", "Script Comment", 60, 120, 1110, 195},
          {"OriginX", "0", 1860, 1110, 645, 285},
          {"Label2", "Origin", 750, 1170, 405, 195},
          {"OriginY", "0", 2730, 1110, 645, 285},
          {"OriginZ", "0", 3600, 1110, 645, 285},
          {"Label3", "X", 1710, 1170, 105, 195},
          {"Label4", "Y", 2580, 1170, 105, 195},
          {"Label5", "Z", 3450, 1170, 105, 195},
          {"AngleY", "0", 1860, 1440, 645, 285},
          {"Label6", "Angle", 750, 1500, 405, 195},
          {"AngleP", "0", 2730, 1440, 645, 285},
          {"AngleR", "0", 3600, 1440, 645, 285},
          {"Label7", "Y", 1710, 1500, 105, 195},
          {"Label8", "P", 2580, 1500, 105, 195},
          {"Label9", "R", 3450, 1500, 120, 195},
          {"ScaleSize", "1.0", 1680, 1800, 825, 285},
          {"Label10", "Scale", 750, 1860, 405, 195},
          {"Label11", "Model", 720, 810, 435, 195},
          {"ModelCombo", "", 1710, 750, 5355, 315},
          {"IDname", "", 1710, 390, 915, 285},
          {"Label12", "ID Name", 540, 450, 630, 195},
          {"Command1", "Close", 120, 6720, 1215, 375},
          {"Command2", "Copy To ClipBoard", 1485, 2340, 1815, 375},
          {"Command3", "Clear Script", 3465, 2340, 1185, 375},
          {"Command4", "Clear Input Fields", 4815, 2340, 1410, 375},
          {"Image1", nullptr, 6750, 6705, 480, 480}},
         {"Output", "Add", "comment", "OriginX", "OriginY", "OriginZ", "AngleY", "AngleP", "AngleR",
          "ScaleSize", "ModelCombo", "IDname", "Command1", "Command2", "Command3", "Command4"}},
        {"Form4",
         "MoH - Spawnsmith V1.0 - Trigger Spawn",
         7215,
         7410,
         {{"Command2", "Copy To ClipBoard", 1440, 3060, 1815, 375},
          {"Command1", "Close", 90, 6900, 1215, 375},
          {"IDname", "", 1665, 570, 915, 285},
          {"OriginZa", "0", 3555, 885, 645, 285},
          {"OriginYa", "0", 2685, 900, 645, 285},
          {"OriginXa", "0", 1815, 885, 645, 285},
          {"comment", "", 1665, 240, 5355, 285},
          {"Add", "Add to script", 90, 3060, 1215, 375},
          {"Output", "", 75, 3525, 6975, 3300},
          {"Label12", "Trigger ID Name", 0, 600, 1215, 255},
          {"Label5", "Z", 3405, 945, 105, 195},
          {"Label4", "Y", 2535, 945, 105, 195},
          {"Label3", "X", 1665, 945, 105, 195},
          {"Label2", "Origin", 795, 945, 405, 195},
          {"Label1", "Script Comment", 105, 300, 1110, 195},
          {"OriginZ2", "0", 3285, 1215, 465, 285},
          {"OriginY2", "0", 2565, 1215, 465, 285},
          {"OriginX2", "0", 1800, 1215, 465, 285},
          {"Label5_2", "Z", 3105, 1260, 105, 195},
          {"Label4_2", "Y", 2370, 1275, 105, 195},
          {"Label3_2", "X", 1680, 1275, 105, 195},
          {"Label2_2", "Set Size", 630, 1275, 585, 195},
          {"OriginZ3", "0", 5565, 1215, 465, 285},
          {"OriginY3", "0", 4800, 1215, 465, 285},
          {"OriginX3", "0", 4140, 1215, 465, 285},
          {"Label5_3", "Z", 5385, 1260, 105, 195},
          {"Label4_3", "Y", 4650, 1275, 105, 195},
          {"Label3_3", "X", 3960, 1275, 105, 195},
          {"Text1", "", 1665, 1530, 2130, 285},
          {"Label6", "Set Thread", 405, 1575, 795, 195},
          {"Text2", "", 1665, 1890, 2130, 285},
          {"Label7", "Message", 540, 1935, 645, 195},
          {"Text3", "1", 1665, 2250, 555, 285},
          {"Label8", "Wait", 855, 2295, 330, 195},
          {"Text4", "0", 1665, 2610, 555, 285},
          {"Label9", "Delay", 810, 2655, 405, 195},
          {"Command4", "Clear Input Fields", 4680, 3060, 1410, 375},
          {"Command3", "Clear Script", 3375, 3060, 1185, 375},
          {"Image1", nullptr, 6705, 6930, 480, 480}},
         {"Command2", "Command1", "IDname",   "OriginZa", "OriginYa", "OriginXa", "comment",
          "Add",      "Output",   "OriginZ2", "OriginY2", "OriginX2", "OriginZ3", "OriginY3",
          "OriginX3", "Text1",    "Text2",    "Text3",    "Text4",    "Command4", "Command3"}},
        {"Form5",
         "MoH:AA Spawnsmith - Models List",
         7800,
         8475,
         {{"Command1", "Close", 90, 8055, 1140, 330},
          {"List1", nullptr, 225, 585, 3885, 3180},
          {"Text1", "", 4185, 1035, 3300, 330},
          {"Command2", "Get Item", 4185, 585, 1275, 330},
          {"Command3", "Copy To Clipboard", 5580, 585, 1905, 330},
          {"Frame1", "Common", 90, 45, 7620, 3885},
          {"Label3", "Common Object List", 2565, 315, 1455, 240, "Frame1"},
          {"RichTextBox1", nullptr, 4095, 1485, 3300, 1320, "Frame1"},
          {"Command4", "Copy To Clipboard", 5580, 4680, 1905, 330},
          {"Command5", "Get Item", 4185, 4680, 1275, 330},
          {"Text2", "", 4185, 5130, 3300, 330},
          {"List2", nullptr, 225, 4635, 3885, 3180},
          {"Frame2", "Un-Common", 90, 4095, 7620, 3885},
          {"RichTextBox2", nullptr, 4095, 1485, 3300, 1320, "Frame2"},
          {"Label1", "Un-Common Object List", 2295, 315, 1770, 240, "Frame2"}},
         {"Command1", "List1", "Command2", "Command3", "RichTextBox1", "Command4", "Command5",
          "List2", "RichTextBox2"}},
        {"Form3",
         "MoH:AA Spawnsmith - About",
         4860,
         2625,
         {{"Label1", "About", 30, 45, 1095, 375},
          {"Label2", "Medal Of Honor: Allied Assault - Spawnsmith", 30, 645, 3255, 255},
          {"Label3", "Version 1.0 Build", 30, 1005, 1215, 255},
          {"Label4", nullptr, 30, 1365, 2655, 255},
          {"Label5", "This application was created for the benefit of MoH:AA Scripters", 30, 1725,
           4575, 255},
          {"Image1", nullptr, 4320, 2115, 480, 480},
          {"Command1", "Close", 30, 2205, 735, 375}},
         {"Command1"}},
        {"Form6",
         "Form6",
         3390,
         1845,
         {{"Label1", "Contact", 45, 45, 1140, 330},
          {"Label2", nullptr, 45, 495, 2580, 240},
          {"Label3", nullptr, 45, 765, 3345, 240},
          {"Label4", nullptr, 45, 1035, 3300, 240},
          {"Command1", "Close", 45, 1440, 1590, 375}},
         {"Command1"}},
    };
    return all;
}

QString shownText(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return g->title();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        return p->toPlainText();
    return {};
}

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    while (w && w->objectName().isEmpty()) // a combo box's own line edit
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

} // namespace

class LayoutTest final : public QObject
{
    Q_OBJECT

private:
    Windows *m_windows = nullptr;

private slots:
    void initTestCase()
    {
        prepareApplication();
        m_windows = new Windows;
    }
    void cleanupTestCase() { delete m_windows; }

    void controls_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("parent");
        for (const Layout &layout : layouts())
            for (const Control &c : layout.controls)
                QTest::addRow("%s.%s", layout.window, c.name)
                    << layout.window << c.name << (c.text ? QString(c.text) : QString())
                    << QRect(c.left, c.top, c.width, c.height)
                    << QString(c.parent ? c.parent : layout.window);
    }
    void controls()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(QString, parent);
        QWidget *w = windowNamed(*m_windows, window);
        QWidget *c = w->findChild<QWidget *>(name);
        QVERIFY(c);
        const QRect g = c->geometry();
        QCOMPARE(QRect(g.x() * 15, g.y() * 15, g.width() * 15, g.height() * 15), twips);
        QCOMPARE(c->parentWidget()->objectName(), parent);
        if (!text.isNull())
            QCOMPARE(shownText(c), text);
    }

    void windows_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("twips");
        for (const Layout &layout : layouts())
            QTest::newRow(layout.window)
                << layout.window << layout.title << QSize(layout.width, layout.height);
    }
    void windows()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QFETCH(QSize, twips);
        QWidget *w = windowNamed(*m_windows, window);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->size() * 15, twips);
        QCOMPARE(w->minimumSize(), w->maximumSize()); // fixed size
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 255, 192));
        QCOMPARE(w->windowIcon().isNull(), window == "Form6");
        for (auto *button : w->findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(),
                     qPrintable(button->objectName()));
        for (auto *label : w->findChildren<QLabel *>(QRegularExpression("^Image1$")))
            QCOMPARE(label->pixmap().size(), QSize(32, 32));
    }

    // Every caption and value is whole in its box with the fonts in use.
    void textsFitTheirBoxes_data() { windows_data(); }
    void textsFitTheirBoxes()
    {
        QFETCH(QString, window);
        QWidget *w = windowNamed(*m_windows, window);
        for (QWidget *c : w->findChildren<QWidget *>()) {
            const QString text = shownText(c);
            if (text.isEmpty() || qobject_cast<QPlainTextEdit *>(c) || qobject_cast<QGroupBox *>(c))
                continue;
            const QFontMetrics metrics(c->font());
            const int padding = qobject_cast<QLabel *>(c) ? 0 : 6;
            QVERIFY2(metrics.horizontalAdvance(text) <= c->width() - padding,
                     qPrintable(c->objectName() + ": " + text));
            QVERIFY2(metrics.tightBoundingRect(text).height() <= c->height(),
                     qPrintable(c->objectName() + ": " + text));
        }
    }

    void fonts()
    {
        const QFont about = control<QLabel>(windowNamed(*m_windows, "Form3"), "Label1")->font();
        QCOMPARE(about.family(), "Arial");
        QCOMPARE(about.pointSizeF(), 18.0);
        QVERIFY(about.bold());
        const QFont contact = control<QLabel>(windowNamed(*m_windows, "Form6"), "Label1")->font();
        QCOMPARE(contact.family(), "Arial");
        QCOMPARE(contact.pointSizeF(), 14.25);
        QVERIFY(contact.bold());
    }

    void makerLines()
    {
        QWidget *contact = windowNamed(*m_windows, "Form6");
        const QString email = control<QLabel>(contact, "Label2")->text();
        QVERIFY(email.startsWith("Email:  ") && email.size() > 8);
        // The messenger account is the same address as the e-mail line.
        QCOMPARE(control<QLabel>(contact, "Label3")->text(), "Msn Messenger:  " + email.mid(8));
        QVERIFY(control<QLabel>(contact, "Label4")->text().startsWith("Yahoo Messenger:  "));
        QVERIFY(!control<QLabel>(windowNamed(*m_windows, "Form3"), "Label4")->text().isEmpty());
    }

    void itemBoxesAreDisabled()
    {
        for (const char *name : {"Text1", "Text2"})
            QVERIFY(!control(windowNamed(*m_windows, "Form5"), name)->isEnabled());
    }

    // Tab walks the controls in order and comes back to the first.
    void tabOrder_data() { windows_data(); }
    void tabOrder()
    {
        QFETCH(QString, window);
        QWidget *w = windowNamed(*m_windows, window);
        QStringList expected;
        for (const Layout &layout : layouts())
            if (window == layout.window)
                expected = layout.tabOrder;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(focusName(), expected.first()); // focus on first show
        QStringList walked{focusName()};
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << focusName();
        }
        w->hide();
        QCOMPARE(walked, expected + QStringList{expected.first()});
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
