// The Models List window through its real list boxes, buttons and clipboard,
// and the catalogue it shows, pinned entry by entry.

#include "guitest.h"

#include <QCryptographicHash>
#include <QListWidget>
#include <QTextEdit>

namespace {

// The common half, then the un-common half: list, "Get Item", "Copy To Clipboard", item box.
const char *const kHalves[2][4] = {{"List1", "Command2", "Command3", "Text1"},
                                   {"List2", "Command5", "Command4", "Text2"}};
const QString kCopied = "The object has been copied to clipboard!";

void select(QWidget *w, int half, int position)
{
    auto *list = control<QListWidget>(w, kHalves[half][0]);
    QListWidgetItem *item = list->item(position - 1);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

QString item(QWidget *w, int half) { return field(w, kHalves[half][3])->text(); }

} // namespace

class ModelsTest final : public WindowTest
{
    Q_OBJECT

private:
    QWidget *m_window = nullptr;

    QStringList click(int half, int button)
    {
        return clickAndAnswer(m_window, kHalves[half][button]);
    }

private slots:
    void init()
    {
        WindowTest::init();
        m_window = openFromMenu("Command5");
    }

    // Digests of the published lists, their entries joined by LF in stored order.
    void listsHoldTheCatalogue_data()
    {
        QTest::addColumn<int>("half");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("sha256");
        QTest::addColumn<QString>("name"); // as the usage hint beside it names it
        QTest::newRow("common") << 0 << 508
                                << QByteArray("e047faabf429bb25525454b722395720"
                                              "c780e25a289fbdcb8d0a0ec6fddb4551")
                                << "common";
        QTest::newRow("un-common") << 1 << 388
                                   << QByteArray("aedc25918ff73c65be785154954e7702"
                                                 "1789c8080473c0fab38148ae34efa5a0")
                                   << "un-common";
    }
    void listsHoldTheCatalogue()
    {
        QFETCH(int, half);
        QFETCH(int, count);
        QFETCH(QByteArray, sha256);
        QFETCH(QString, name);
        auto *list = control<QListWidget>(m_window, kHalves[half][0]);
        QStringList rows;
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
        QCOMPARE(rows.size(), count);
        const QByteArray joined = rows.join('\n').toUtf8();
        QCOMPARE(QCryptographicHash::hash(joined, QCryptographicHash::Sha256).toHex(), sha256);
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!field(m_window, kHalves[half][3])->isEnabled());
        QCOMPARE(
            control<QTextEdit>(m_window, half ? "RichTextBox2" : "RichTextBox1")->toPlainText(),
            "Select an object from the " + name
                + " list and then click get item, then if you wish to copy the item to the "
                  "clipboard allowing you to paste it in the object script creation part "
                  "you click the field combo box for the \"Model Name\" input field and "
                  "press Control + V");
    }

    // The other half holds an item of its own (its second entry), which
    // neither button touches.
    void getAndCopy_data()
    {
        QTest::addColumn<int>("half");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("other");
        const QString common = "static/45cal_crate.tik", uncommon = "animal/german_shepherd.tik";
        QTest::newRow("longest common")
            << 0 << 371 << "static/vehicle_european_delivery_truck_green.tik" << uncommon;
        QTest::newRow("un-common heading") << 1 << 3 << "emitters such as smoke and fire" << common;
        QTest::newRow("last un-common") << 1 << 388 << "posed/mg42_posed.tik" << common;
    }
    void getAndCopy()
    {
        QFETCH(int, half);
        QFETCH(int, position);
        QFETCH(QString, entry);
        QFETCH(QString, other);
        select(m_window, 1 - half, 2);
        QCOMPARE(click(1 - half, 1), QStringList());

        select(m_window, half, position);
        QCOMPARE(click(half, 1), QStringList());
        QCOMPARE(item(m_window, half), entry);
        QCOMPARE(item(m_window, 1 - half), other);
        QCOMPARE(click(half, 2), QStringList{kCopied});
        QCOMPARE(QGuiApplication::clipboard()->text(), entry); // no line end, no quotes
        QCOMPARE(item(m_window, 1 - half), other);
    }

    // Copy reads the item box, not the list; Get needs a selected row.
    void copyTakesTheItemBox_data()
    {
        QTest::addColumn<int>("half");
        QTest::addColumn<QString>("noSelection");
        QTest::addColumn<QString>("fifth");
        QTest::newRow("common") << 0 << "You need to select an item out of the common list first!"
                                << "static/alarmbell.tik";
        QTest::newRow("un-common")
            << 1 << "You need to select an item out of the un-common list first!"
            << "emitters/aircraft_explosion.tik";
    }
    void copyTakesTheItemBox()
    {
        QFETCH(int, half);
        QFETCH(QString, noSelection);
        QFETCH(QString, fifth);
        QCOMPARE(click(half, 1), QStringList{noSelection});
        select(m_window, half, 5);
        QCOMPARE(click(half, 2), QStringList{"There is no item to copy to clipboard!"});
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");

        click(half, 1);
        select(m_window, half, 6);
        QCOMPARE(click(half, 2), QStringList{kCopied});
        QCOMPARE(QGuiApplication::clipboard()->text(), fifth); // the older item

        control<QListWidget>(m_window, kHalves[half][0])->clearSelection();
        QCOMPARE(click(half, 1), QStringList{noSelection});
        QCOMPARE(item(m_window, half), fifth);

        const auto taker = takeClipboard();
        QCOMPARE(click(half, 2), QStringList{"The object could not be copied to the clipboard!"});
    }
};

QTEST_MAIN(ModelsTest)
#include "models_test.moc"
