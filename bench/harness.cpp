#include "harness.h"

#include "worked_examples.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void fail(const QString &why)
{
    std::fprintf(stderr, "spawnsmith_bench: %s\n", qPrintable(why));
    std::exit(EXIT_FAILURE);
}

const QByteArray kBikeBlock = QByteArray::fromStdString(std::string(examples::kObjectBlock));
const QByteArray kDoorBlock = QByteArray::fromStdString(std::string(examples::kTriggerBlock));

namespace {

// The edit box behind a field; the model field is an editable combo box.
void setField(QWidget *window, const char *name, const char *text)
{
    QLineEdit *edit = nullptr;
    if (auto *combo = window->findChild<QComboBox *>(QString::fromLatin1(name)))
        edit = combo->lineEdit();
    else
        edit = control<QLineEdit>(window, name);
    edit->setText(QString::fromUtf8(text));
}

} // namespace

void fillBike(QWidget *objects)
{
    for (const auto &[name, text] : examples::kObjectFields)
        setField(objects, name, text);
}

void fillDoor(QWidget *trigger)
{
    const char *const fields[][2] = {
        {"comment", "door trigger"}, {"IDname", "trig1"}, {"OriginXa", "100"},
        {"OriginYa", "200"},         {"OriginZa", "0"},   {"OriginX2", "-64"},
        {"OriginY2", "-64"},         {"OriginZ2", "0"},   {"OriginX3", "64"},
        {"OriginY3", "64"},          {"OriginZ3", "96"},  {"Text1", "open_door"},
        {"Text2", "The door opens"}, {"Text3", "1"},      {"Text4", "0"},
    };
    for (const auto &[name, text] : fields)
        setField(trigger, name, text);
}

void prefill(QPlainTextEdit &output, const QByteArray &text)
{
    output.clear(); // also drops the undo history of the previous run
    QTextCursor end(output.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromUtf8(text));
    QCoreApplication::processEvents(); // the repaint belongs to the fill, not to the first click
}

FirstPaint::FirstPaint(const QString &windowName, const QElapsedTimer &clock)
    : m_windowName(windowName)
    , m_clock(clock)
{
    // Application-wide: the window may not exist yet when the wait starts.
    qApp->installEventFilter(this);
}

FirstPaint::~FirstPaint() { qApp->removeEventFilter(this); }

bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_painting && event->type() == QEvent::Paint) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window()->objectName() == m_windowName) {
            m_painting = true;
            // The window and all its children paint in this one pass; the
            // timer fires once control is back in the event loop.
            QTimer::singleShot(0, this, [this] {
                m_paintedAt = m_clock.nsecsElapsed();
                m_loop.quit();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

qint64 FirstPaint::wait()
{
    if (m_paintedAt < 0) {
        QTimer::singleShot(10'000, &m_loop, &QEventLoop::quit);
        m_loop.exec();
    }
    if (m_paintedAt < 0)
        fail(m_windowName + QStringLiteral(" never painted"));
    return m_paintedAt;
}

qint64 timedClick(QAbstractButton *button)
{
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents(); // the repaint the click asked for
    return clock.nsecsElapsed();
}

Answered clickAndAnswer(QAbstractButton *button)
{
    Answered answered;
    QElapsedTimer clock;
    QTimer answer;
    answer.setInterval(0);
    answer.callOnTimeout([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        answered = {clock.nsecsElapsed(), box->text()};
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start();
    clock.start();
    QTest::mouseClick(button, Qt::LeftButton); // returns once the box is answered
    answer.stop();
    if (answered.shownAfter < 0)
        fail(QStringLiteral("no message box after clicking ") + button->objectName());
    return answered;
}

NoMessageBoxes::NoMessageBoxes()
{
    m_guard.callOnTimeout([] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            fail(QStringLiteral("unexpected message: ") + box->text());
    });
    m_guard.start(100); // seldom enough to cost nothing measurable
}

double medianMs(QList<qint64> nanoseconds)
{
    if (nanoseconds.isEmpty())
        return 0;
    const auto middle = nanoseconds.begin() + nanoseconds.size() / 2;
    std::nth_element(nanoseconds.begin(), middle, nanoseconds.end());
    double median = double(*middle);
    if (nanoseconds.size() % 2 == 0)
        median = (median + double(*std::max_element(nanoseconds.begin(), middle))) / 2;
    return median / 1e6;
}

qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
