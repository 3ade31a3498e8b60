// Under a real X server: the script copied by the Objects window is read back
// by another process, byte for byte, CR LF line ends included.

#include "guitest.h"
#include "windows.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts Xvfb on a free display, which it reports through a pipe.
pid_t startXvfb(std::string &display)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        // Dies with the test, and keeps none of the test's output pipes open:
        // CTest waits for those to close.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Read up to the line end: Xvfb dies if the pipe closes before it has written it.
    display = ":";
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(fds[0]);
    return display.size() > 1 ? pid : -1;
}

} // namespace

class X11ClipboardTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), "xcb");
        prepareApplication();
    }

    void anotherProcessReadsTheScript()
    {
        Windows windows;
        windows.start();
        QWidget *w = openFromMenu("Command1");
        control<QLineEdit>(w, "comment")->setText("spawn the bike");
        QTest::keyClicks(control<QLineEdit>(w, "IDname"), "bike1");
        QTest::keyClicks(control<QComboBox>(w, "ModelCombo")->lineEdit(), "vehicles/bmwbike.tik");
        QTest::mouseClick(control<QAbstractButton>(w, "Add"), Qt::LeftButton);
        QTest::mouseClick(control<QAbstractButton>(w, "Add"), Qt::LeftButton);
        QCOMPARE(clickAndAnswer(w, "Command2").value(0).text,
                 "The script has been copied to clipboard!");

        // This process must keep serving the selection while xclip asks for it.
        QProcess xclip;
        xclip.start("xclip", {"-o", "-selection", "clipboard"});
        QVERIFY2(xclip.waitForStarted(), "xclip is not installed");
        QTRY_COMPARE_WITH_TIMEOUT(xclip.state(), QProcess::NotRunning, 10000);
        const QByteArray block = "//spawn the bike\r\n"
                                 "local.bike1 = spawn script_model\r\n"
                                 "local.bike1 model \"vehicles/bmwbike.tik\"\r\n"
                                 "local.bike1.origin = ( 0 0 0 )\r\n"
                                 "local.bike1.angle = ( 0 0 0 )\r\n"
                                 "local.bike1.scale = 1.0\r\n"
                                 "\r\n";
        QCOMPARE(xclip.readAllStandardOutput(), block + block);
    }
};

int main(int argc, char *argv[])
{
    std::string display;
    const pid_t xvfb = startXvfb(display);
    if (xvfb < 0) {
        std::fprintf(stderr, "FAIL: could not start Xvfb (is the xvfb package installed?)\n");
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        X11ClipboardTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}

#include "x11_clipboard_test.moc"
