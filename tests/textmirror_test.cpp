// The script box's copy for the reading: after every kind of edit a user
// makes, the copy changed by the edits handed on is the box's text, character
// for character.

#include "textmirror.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>

class TextMirrorTest final : public QObject
{
    Q_OBJECT

private slots:
    void followsEveryEdit()
    {
        QPlainTextEdit box;
        TextChanges changes;
        TextMirror mirror;
        mirror.apply(changes.reset(*box.document()));
        int resets = 0;
        connect(box.document(), &QTextDocument::contentsChange, this,
                [&](int position, int removed, int added) {
                    const TextEdit edit = changes.follow(*box.document(), position, removed, added);
                    resets += edit.whole;
                    mirror.apply(edit);
                });
        const auto same = [&] {
            return mirror.before().toString() + mirror.after().toString()
                   == box.document()->toRawText();
        };
        box.show();
        QTest::keyClicks(&box, "local.a = 1");
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, "local.b\u00a0= ( 1 2 3 )");
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier); // a line separator
        QTest::keyClicks(&box, "end");
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_Home, Qt::ControlModifier); // typing at the start
        QTest::keyClicks(&box, "main:");
        QTest::keyClick(&box, Qt::Key_Return);
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_Down);
        QTest::keyClick(&box, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_Delete); // a selection across the middle
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(same());
        QGuiApplication::clipboard()->setText(QString("pasted\nlines\r\nhere\n").repeated(500));
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&box, "x");
        QVERIFY(same());
        box.clear(); // empties the document without saying what it removed
        QVERIFY(same());
        box.setPlainText("set\nwhole");
        QVERIFY(same());
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QVERIFY(same());
        QCOMPARE(resets, 1); // only clear() needs the whole text again, an empty one
    }
};

QTEST_MAIN(TextMirrorTest)
#include "textmirror_test.moc"
