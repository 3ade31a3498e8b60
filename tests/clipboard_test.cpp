// The system clipboard for real: the script that the Objects window copies is
// read back by another process, byte for byte. Under X11 (CTest starts an X
// server with xvfb-run) that is xclip; on Windows, a plain Win32 program, since
// that is what a Windows program pastes (Wine's bridge to the X selection
// rewrites line ends, so xclip would prove nothing there).

#include "guitest.h"
#include "worked_examples.h"

#include <QPlainTextEdit>
#include <QProcess>

class ClipboardTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        QCOMPARE(QGuiApplication::platformName(), "windows");
#else
        QCOMPARE(QGuiApplication::platformName(), "xcb");
#endif
        prepareApplication();
    }

    // Typed lines, Shift+Enter among them, then the worked example twice.
    void anotherProcessReadsTheScript()
    {
        Windows windows;
        windows.start();
        QWidget *w = openFromMenu("Command1");
        auto *output = control<QPlainTextEdit>(w, "Output");
        QTest::keyClicks(output, "ab");
        QTest::keyClick(output, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(output, "cd");
        QTest::keyClick(output, Qt::Key_Return);
        for (const auto &[name, value] : examples::kObjectFields)
            type(w, name, value);
        QCOMPARE(clickAndAnswer(w, "Add"), QStringList());
        QCOMPARE(clickAndAnswer(w, "Add"), QStringList());
        QCOMPARE(clickAndAnswer(w, "Command2"),
                 QStringList{"The script has been copied to clipboard!"});

        // This process must keep serving the clipboard while the reader asks for it.
        QProcess reader;
#ifdef Q_OS_WIN
        reader.start(QCoreApplication::applicationDirPath() + "/win_helper.exe", {"read"});
#else
        reader.start("xclip", {"-o", "-selection", "clipboard"});
#endif
        QVERIFY2(reader.waitForStarted(), qPrintable(reader.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(reader.state(), QProcess::NotRunning, 10000);
        const QByteArray block(examples::kObjectBlock.data(), examples::kObjectBlock.size());
        QCOMPARE(reader.readAllStandardOutput(), "ab\r\ncd\r\n" + block + block);
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
