// Hostile input through the real widgets: huge values, scripts from every
// writing system, control characters, and long click sequences. The script
// library, tested on its own, is the oracle for the bytes.

#include "feedback.h"
#include "guitest.h"
#include "script.h"
#include "windows.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

const QStringList kObjectFields{"comment", "IDname", "ModelCombo", "OriginX", "OriginY",
                                "OriginZ", "AngleY", "AngleP",     "AngleR",  "ScaleSize"};
const QStringList kTriggerFields{"comment",  "IDname",   "OriginXa", "OriginYa", "OriginZa",
                                 "OriginX2", "OriginY2", "OriginZ2", "OriginX3", "OriginY3",
                                 "OriginZ3", "Text1",    "Text2",    "Text3",    "Text4"};

QLineEdit *field(QWidget *window, const QString &name)
{
    if (auto *combo = window->findChild<QComboBox *>(name))
        return combo->lineEdit();
    return control<QLineEdit>(window, qPrintable(name));
}

void paste(QWidget *target, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
}

// The block the script library composes from the window's fields, in order.
std::string expectedBlock(QWidget *window, bool objects)
{
    std::vector<std::string> v;
    for (const QString &name : objects ? kObjectFields : kTriggerFields)
        v.push_back(toUtf8(field(window, name)->text()));
    if (objects)
        return script::blockText(
            script::objectBlock({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]}));
    return script::blockText(script::triggerBlock({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7],
                                                   v[8], v[9], v[10], v[11], v[12], v[13], v[14]}));
}

QByteArray copied(QWidget *window)
{
    const QList<Message> seen = clickAndAnswer(window, "Command2");
    if (seen.value(0).text != "The script has been copied to clipboard!")
        return "<not copied: " + seen.value(0).text.toUtf8() + ">";
    return QGuiApplication::clipboard()->text().toUtf8();
}

} // namespace

class HostileInputTest final : public QObject
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

    void values_data()
    {
        QTest::addColumn<bool>("objects");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("kept"); // what a single-line field holds afterwards
        const QString mega = QString(1 << 20, QChar(u'm')) + QString::fromUtf8("ü自🚲");
        const QString controls = QString::fromUtf16(u"a\u0000b\u0001\u001b\u007f\tc\u0085\u200b");
        const QString world = QString::fromUtf8(
            "שלום مرحبا e\u0301 👨‍👩‍👧 \u202Eevil 𝔘𝔫𝔦");
        for (bool objects : {true, false}) {
            const char *w = objects ? "objects" : "trigger";
            QTest::addRow("%s: 1 MB", w) << objects << mega << mega;
            QTest::addRow("%s: control characters", w) << objects << controls << controls;
            QTest::addRow("%s: right-to-left and astral", w) << objects << world << world;
            QTest::addRow("%s: frame marks dropped", w)
                << objects << QString::fromUtf16(u"a\uFDD0b\uFDD1c") << "abc";
        }
    }
    // The value pasted into every field comes out byte for byte.
    void values()
    {
        QFETCH(bool, objects);
        QFETCH(QString, value);
        QFETCH(QString, kept);
        QWidget *w = openFromMenu(objects ? "Command1" : "Command2");
        for (const QString &name : objects ? kObjectFields : kTriggerFields) {
            paste(field(w, name), value);
            QCOMPARE(field(w, name)->text().size(), kept.size());
            QVERIFY(field(w, name)->text() == kept);
        }
        QVERIFY(clickAndAnswer(w, "Add").isEmpty());
        const QByteArray expected = QByteArray::fromStdString(expectedBlock(w, objects));
        QVERIFY(expected.contains(kept.toUtf8()));
        QVERIFY(copied(w) == expected);
    }

    void megabyteTypedIntoTheScript()
    {
        QWidget *w = openFromMenu("Command2");
        const QString own = QString(1 << 20, QChar(u'o')) + "\n" + QString::fromUtf8("ñ\u00a0x");
        paste(control(w, "Output"), own);
        for (const char *name : {"IDname", "Text1", "Text2"})
            paste(field(w, name), "v");
        clickAndAnswer(w, "Add");
        QByteArray expected = own.toUtf8();
        expected.replace("\n", "\r\n");
        expected += QByteArray::fromStdString(expectedBlock(w, false));
        QVERIFY(copied(w) == expected);
    }

    void tenThousandClicks()
    {
        QWidget *w = openFromMenu("Command1");
        paste(field(w, "IDname"), "crate");
        paste(field(w, "ModelCombo"), "static/30cal_crate.tik");
        auto *add = control<QAbstractButton>(w, "Add");
        for (int i = 0; i < 10000; ++i)
            QTest::mouseClick(add, Qt::LeftButton);
        const QByteArray block = QByteArray::fromStdString(expectedBlock(w, true));
        const QByteArray script = copied(w);
        QCOMPARE(script.size(), block.size() * 10000);
        QCOMPARE(script.count(block), 10000);
    }

    // Add, clear and copy in a fixed shuffle; the clipboard always matches.
    void alternatingOperations()
    {
        QWidget *w = openFromMenu("Command2");
        paste(field(w, "IDname"), "t");
        paste(field(w, "Text1"), "go");
        paste(field(w, "Text2"), "hi");
        const QByteArray block = QByteArray::fromStdString(expectedBlock(w, false));
        QByteArray model;
        QGuiApplication::clipboard()->setText("start");
        QByteArray lastCopy = "start";
        const QString steps = "AACAXCCAAXXCACAAACXAC";
        for (QChar step : steps) {
            if (step == 'A') {
                QVERIFY(clickAndAnswer(w, "Add").isEmpty());
                model += block;
            } else if (step == 'X') {
                clickAndAnswer(w, "Command3");
                model.clear();
            } else {
                const QList<Message> seen = clickAndAnswer(w, "Command2");
                QCOMPARE(seen.size(), 1);
                if (!model.isEmpty())
                    lastCopy = model;
                QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), lastCopy);
            }
        }
    }
};

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
