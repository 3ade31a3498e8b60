// The Models List window through its real list boxes, buttons and clipboard.

#include "catalogue.h"
#include "guitest.h"
#include "windows.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QString kNoItem = "There is no item to copy to clipboard!";
const QString kCopied = "The object has been copied to clipboard!";

struct Half
{
    const char *list, *get, *copy, *item, *noSelection;
};
const Half kCommon{"List1", "Command2", "Command3", "Text1",
                   "You need to select an item out of the common list first!"};
const Half kUncommon{"List2", "Command5", "Command4", "Text2",
                     "You need to select an item out of the un-common list first!"};

void select(QWidget *w, const Half &half, const QString &entry)
{
    auto *list = control<QListWidget>(w, half.list);
    const QList<QListWidgetItem *> found = list->findItems(entry, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
    QCOMPARE(list->selectedItems().value(0), found.first());
}

QString itemText(QWidget *w, const Half &half) { return control<QLineEdit>(w, half.item)->text(); }

} // namespace

class ModelsTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Windows> m_windows;
    QWidget *m_window = nullptr;

private slots:
    void initTestCase() { prepareApplication(); }
    void init()
    {
        m_windows = std::make_unique<Windows>();
        m_windows->start();
        m_window = openFromMenu("Command5");
        QGuiApplication::clipboard()->setText("before");
    }
    void cleanup() { m_windows.reset(); }

    void listsHoldTheCatalogueInStoredOrder_data()
    {
        QTest::addColumn<bool>("common");
        QTest::newRow("common") << true;
        QTest::newRow("un-common") << false;
    }
    void listsHoldTheCatalogueInStoredOrder()
    {
        QFETCH(bool, common);
        auto *list = control<QListWidget>(m_window, common ? "List1" : "List2");
        const catalogue::List entries = common ? catalogue::common() : catalogue::uncommon();
        QCOMPARE(std::size_t(list->count()), entries.size());
        for (int row = 0; row < list->count(); ++row)
            QCOMPARE(list->item(row)->text().toStdString(), entries[std::size_t(row)]);
        QVERIFY(!list->isSortingEnabled());
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void usageHints()
    {
        const QString common = control<QTextEdit>(m_window, "RichTextBox1")->toPlainText();
        QCOMPARE(common,
                 "Select an object from the common list and then click get item, then if "
                 "you wish to copy the item to the clipboard allowing you to paste it in the "
                 "object script creation part you click the field combo box for the "
                 "\"Model Name\" input field and press Control + V");
        QString uncommon = common;
        uncommon.replace("the common list", "the un-common list");
        QCOMPARE(control<QTextEdit>(m_window, "RichTextBox2")->toPlainText(), uncommon);
    }

    void getAndCopy_data()
    {
        QTest::addColumn<bool>("common");
        QTest::addColumn<QString>("entry");
        QTest::newRow("first common") << true << "static/30cal_crate.tik";
        QTest::newRow("heading taken like a path") << true << "Vehicles to spawn";
        QTest::newRow("longest common")
            << true << "static/vehicle_european_delivery_truck_green.tik";
        QTest::newRow("un-common heading") << false << "emitters such as smoke and fire";
        QTest::newRow("longest un-common") << false << "player/german_Panzer_Tankcommander_fps.tik";
        QTest::newRow("last un-common") << false << "posed/mg42_posed.tik";
    }
    void getAndCopy()
    {
        QFETCH(bool, common);
        QFETCH(QString, entry);
        const Half &half = common ? kCommon : kUncommon;
        const Half &other = common ? kUncommon : kCommon;
        select(m_window, half, entry);
        QVERIFY(clickAndAnswer(m_window, half.get).isEmpty());
        QCOMPARE(itemText(m_window, half), entry);
        const QList<Message> seen = clickAndAnswer(m_window, half.copy);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kCopied);
        QCOMPARE(seen[0].title, "Spawnsmith");
        QVERIFY(seen[0].plain);
        QCOMPARE(QGuiApplication::clipboard()->text(), entry); // no line end, no quotes
        QCOMPARE(itemText(m_window, other), "");               // the other half is untouched
    }

    void nothingSelectedOrTaken_data()
    {
        QTest::addColumn<bool>("common");
        QTest::newRow("common") << true;
        QTest::newRow("un-common") << false;
    }
    void nothingSelectedOrTaken()
    {
        QFETCH(bool, common);
        const Half &half = common ? kCommon : kUncommon;
        QList<Message> seen = clickAndAnswer(m_window, half.get);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, QString(half.noSelection));
        QVERIFY(seen[0].plain);

        // Copy reads the item box, not the list: a selection alone is not enough.
        select(m_window, half, common ? "static/cart.tik" : "animal/cockroach.tik");
        seen = clickAndAnswer(m_window, half.copy);
        QCOMPARE(seen.value(0).text, kNoItem);
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");
    }

    void copyWithoutGetTakesTheOlderItem()
    {
        select(m_window, kCommon, "static/cart.tik");
        clickAndAnswer(m_window, kCommon.get);
        select(m_window, kCommon, "static/cello.tik");
        clickAndAnswer(m_window, kCommon.copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), "static/cart.tik");
        // A later get with nothing new keeps the item box filled.
        control<QListWidget>(m_window, "List1")->clearSelection();
        clickAndAnswer(m_window, kCommon.get);
        QCOMPARE(itemText(m_window, kCommon), "static/cart.tik");
    }

    void failedClipboardWriteIsReported()
    {
        select(m_window, kUncommon, "lights/tablelamp.tik");
        clickAndAnswer(m_window, kUncommon.get);
        grabClipboardOnNextWrite();
        const QList<Message> seen = clickAndAnswer(m_window, kUncommon.copy);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, "The object could not be copied to the clipboard!");
        QCOMPARE(itemText(m_window, kUncommon), "lights/tablelamp.tik");
    }

    void selectionsSurviveClosing()
    {
        select(m_window, kUncommon, "items/papers2.tik");
        clickAndAnswer(m_window, kUncommon.get);
        QTest::mouseClick(control<QAbstractButton>(m_window, "Command1"), Qt::LeftButton);
        QCOMPARE(openFromMenu("Command5"), m_window);
        QCOMPARE(control<QListWidget>(m_window, "List2")->selectedItems().value(0)->text(),
                 "items/papers2.tik");
        QCOMPARE(itemText(m_window, kUncommon), "items/papers2.tik");
    }

    void spaceOnTheFirstFocusCloses()
    {
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(visibleWindow()->objectName(), "Form2");
    }
};

QTEST_MAIN(ModelsTest)
#include "models_test.moc"
